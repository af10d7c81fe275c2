#include "app/descriptions.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QUiLoader>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

#include "runtime/fatal.h"

namespace {

constexpr std::string_view kWindowNames[] = {"MainWindow", "ListenWindow"};

std::map<std::string, QByteArray, std::less<>>& Descriptions() {
    static std::map<std::string, QByteArray, std::less<>> descriptions;
    return descriptions;
}

// The forms use only Qt's own widgets. A loader looks for Designer plugins in
// the library paths as it is constructed and loads every one (the web view's
// among them, which would start the web engine with the first window), so
// the one loader of the run is built while the paths are empty.
std::unique_ptr<QUiLoader>& Loader() {
    static std::unique_ptr<QUiLoader> loader;
    if (!loader) {
        const QStringList libraryPaths = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({});
        loader = std::make_unique<QUiLoader>();
        QCoreApplication::setLibraryPaths(libraryPaths);
    }
    return loader;
}

}  // namespace

void LoadWindowDescriptions() {
    // The forms are compiled into a static library, whose resources are
    // registered only on request.
    Q_INIT_RESOURCE(windows);
    for (std::string_view name : kWindowNames) {
        QFile file(QStringLiteral(":/windows/%1.ui").arg(QString::fromUtf8(name)));
        if (!file.open(QIODevice::ReadOnly)) FatalError(0, "载入窗口模板数据段出错!");
        QByteArray form = file.readAll();
        if (!form.contains("<ui")) FatalError(0, "载入窗口模板数据段出错!");
        Descriptions()[std::string(name)] = std::move(form);
    }
}

QWidget* CreateWindowFromDescription(std::string_view name) {
    const auto found = Descriptions().find(name);
    if (found == Descriptions().end()) return nullptr;
    QByteArray form = found->second;
    QBuffer buffer(&form);
    buffer.open(QIODevice::ReadOnly);
    return Loader()->load(&buffer, nullptr);
}

void FreeWindowDescriptions() {
    Descriptions().clear();
    Loader().reset();
}
