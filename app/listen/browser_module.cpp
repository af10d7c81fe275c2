#include "app/listen/browser_module.h"

#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "app/listen/player_scheme.h"

namespace {

// A page that can open no dialog of any kind.
class SilentPage final : public QWebEnginePage {
   public:
    using QWebEnginePage::QWebEnginePage;

   protected:
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override { return false; }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override { return {}; }
};

// The default profile keeps nothing on disk and lives exactly as long as
// the web engine, so pages never outlive it.
QWebEngineProfile* BrowserProfile() {
    static QWebEngineProfile* const profile = [] {
        RegisterPlayerScheme();
        QWebEngineProfile* created = QWebEngineProfile::defaultProfile();
        InstallPlayer(created);
        return created;
    }();
    return profile;
}

}  // namespace

extern "C" QWidget* CreateBrowser(QWidget* parent) {
    auto* view = new QWebEngineView(parent);
    auto* page = new SilentPage(BrowserProfile(), view);
    QObject::connect(page, &QWebEnginePage::certificateError, [](QWebEngineCertificateError error) {
        error.rejectCertificate();
    });
    page->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    page->setZoomFactor(1.0);
    view->setPage(page);
    view->setContextMenuPolicy(Qt::NoContextMenu);
    return view;
}
