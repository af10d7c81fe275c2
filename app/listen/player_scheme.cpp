#include "app/listen/player_scheme.h"

#include <QFile>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include <string_view>

#include "app/site.h"

namespace {

constexpr char kPlayerScheme[] = "varnoke-player";
constexpr char kPlayerPageHost[] = "player";

struct PlayerFile {
    std::string_view path;
    std::string_view contentType;
};
constexpr PlayerFile kPlayerFiles[] = {
    {"/player.html", "text/html"},
    {"/player.css", "text/css"},
    {"/player.js", "text/javascript"},
};

class PlayerRedirect final : public QWebEngineUrlRequestInterceptor {
   public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QUrl url = info.requestUrl();
        if (url.host() != QString::fromUtf8(kPlayerHost)) return;
        if (url.scheme() != QLatin1String("http") || url.path() != QLatin1String("/player.swf")) {
            info.block(true);
            return;
        }
        QUrl page;
        page.setScheme(QLatin1String(kPlayerScheme));
        page.setHost(QLatin1String(kPlayerPageHost));
        page.setPath(QStringLiteral("/player.html"));
        page.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
        info.redirect(page);
    }
};

class PlayerFiles final : public QWebEngineUrlSchemeHandler {
   public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        const QUrl url = job->requestUrl();
        for (const PlayerFile& file : kPlayerFiles) {
            if (url.host() != QLatin1String(kPlayerPageHost) || url.path() != QString::fromUtf8(file.path)) continue;
            auto* content = new QFile(QStringLiteral(":/player") + url.path(), job);
            if (job->requestMethod() == "GET" && content->open(QIODevice::ReadOnly)) {
                job->reply(QByteArray(file.contentType.data(), qsizetype(file.contentType.size())), content);
                return;
            }
        }
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    }
};

}  // namespace

void RegisterPlayerScheme() {
    QWebEngineUrlScheme scheme(kPlayerScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // The web engine follows a redirect from an http address only to a scheme
    // that is both secure and open to cross-origin requests.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void InstallPlayer(QWebEngineProfile* profile) {
    profile->setUrlRequestInterceptor(new PlayerRedirect(profile));
    profile->installUrlSchemeHandler(kPlayerScheme, new PlayerFiles(profile));
}
