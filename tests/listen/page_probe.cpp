// The probe module itself: one export, ProbeEvaluate.
#include <QEventLoop>
#include <QTimer>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

extern "C" QVariant ProbeEvaluate(QWidget* box, const QString& script) {
    auto* view = qobject_cast<QWebEngineView*>(box);
    if (view == nullptr) return {};
    struct Outcome {
        bool done = false;
        QVariant value;
        QEventLoop loop;
    };
    // The callback may come after the wait gave up.
    const auto outcome = std::make_shared<Outcome>();
    const std::weak_ptr<Outcome> waiting = outcome;
    view->page()->runJavaScript(script, [waiting](const QVariant& value) {
        if (const auto result = waiting.lock()) {
            result->done = true;
            result->value = value;
            result->loop.quit();
        }
    });
    QTimer::singleShot(1000, &outcome->loop, &QEventLoop::quit);
    if (!outcome->done) outcome->loop.exec();
    return outcome->value;
}
