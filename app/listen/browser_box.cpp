#include "app/listen/browser_box.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include "app/listen/browser_module.h"
#include "app/qt_text.h"
#include "runtime/fatal.h"
#include "runtime/library.h"

QT_BEGIN_NAMESPACE
// Exported by Qt's GUI library for its own modules; not in its public headers.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

constexpr char kAddressProperty[] = "varnokeAddress";

QOpenGLContext* shareContext = nullptr;

void DeleteShareContext() {
    qt_gl_set_global_share_context(nullptr);
    delete shareContext;
    shareContext = nullptr;
}

// The web engine draws on threads of its own, with OpenGL contexts that must
// share resources with the ones the windows draw with. Qt would make the
// shared context at start-up when asked to, loading the whole OpenGL stack
// before the first window; it is made here instead, before the web engine
// is loaded. Qt runs post routines last-registered first, so this one runs
// after the web engine's own clean-up.
void MakeShareContext() {
    if (QOpenGLContext::globalShareContext() != nullptr) return;
    shareContext = new QOpenGLContext;
    shareContext->create();
    qt_gl_set_global_share_context(shareContext);
    qAddPostRoutine(DeleteShareContext);
}

CreateBrowserFunction* LoadBrowserModule() {
    MakeShareContext();
    // It stays loaded for the rest of the run, as the web engine must.
    const ProgramModule module = OpenProgramModule(kBrowserModuleFile, VARNOKE_BROWSER_MODULE_PATH, kCreateBrowserExport);
    if (module.address == nullptr) FatalError(0, BindingFailureMessage({kBrowserModuleFile, kCreateBrowserExport}));
    return reinterpret_cast<CreateBrowserFunction*>(module.address);
}

}  // namespace

QWidget* ReplaceWithBrowserBox(QWidget* placeholder) {
    static CreateBrowserFunction* const create = LoadBrowserModule();
    QWidget* box = create(placeholder->parentWidget());
    box->setObjectName(placeholder->objectName());
    box->setGeometry(placeholder->geometry());
    box->setFocusPolicy(placeholder->focusPolicy());
    delete placeholder;
    return box;
}

void SetBrowserBoxAddress(QWidget* box, const Text& address) {
    const std::string_view bytes = address.View();
    box->setProperty(kAddressProperty, QByteArray(bytes.data(), qsizetype(bytes.size())));
    box->setProperty("url", QUrl(ToQString(address)));
}

Text BrowserBoxAddress(const QWidget* box) {
    return Text(box->property(kAddressProperty).toByteArray().toStdString());
}
