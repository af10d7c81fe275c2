#include "tests/listen/listening.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "tests/listen/page_probe.h"

namespace {

constexpr char kPlayerLocation[] = "http://player.varnoke.invalid/player.swf?soundFile=";
constexpr char kPlayerSettings[] =
    "&amp;bg=0xeeeeee&amp;leftbg=0xADADAD&amp;lefticon=0x333333&amp;rightbg=0xA3A3A3&amp;rightbghover=0x6E6E6E"
    "&amp;righticon=0x030303&amp;righticonhover=0xffffff&amp;text=0x666666&amp;slider=0x666666&amp;track=0xFFFFFF"
    "&amp;border=0x666666&amp;loader=0x999999&amp;loop=yes&amp;autostart=yes";
static_assert(sizeof kPlayerSettings - 1 == 284);

QWidget* ShownListenWindow() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("ListenWindow") && window->isVisible()) return window;
    return nullptr;
}

}  // namespace

std::string ExpectedPlayerAddress(std::string_view link) {
    return kPlayerLocation + std::string(link) + kPlayerSettings;
}

QString ExpectedPlayerSettings() { return QString::fromLatin1(kPlayerSettings); }

void WhileListening(const std::function<void()>& open, const std::function<void(QWidget* window)>& check) {
    bool shown = false;
    // Destroyed on return, so it cannot fire once this frame is gone.
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, [&] {
        QWidget* window = nullptr;
        if (!QTest::qWaitFor([&] { return (window = ShownListenWindow()) != nullptr; })) return;
        shown = true;
        const QPointer<QWidget> guard = window;
        check(window);
        if (guard && guard->isVisible()) guard->close();
    });
    start.start(0);
    open();
    EXPECT_TRUE(shown) << "the listen window did not show";
}

QWidget* BrowserBox(QWidget* listenWindow) {
    return listenWindow->findChild<QWidget*>(QStringLiteral("超文本浏览框1"));
}

double CurrentTime(QWidget* box) {
    return EvaluateInBox(box, QStringLiteral("document.getElementById('sound')?.currentTime ?? 0")).toDouble();
}

bool WaitForPlaying(QWidget* box) {
    return QTest::qWaitFor([&] { return CurrentTime(box) > 0; }, 15000);
}

bool WaitForPlayerPage(QWidget* box) {
    return QTest::qWaitFor(
        [&] {
            return EvaluateInBox(box, QStringLiteral("location.protocol === 'varnoke-player:' && "
                                                     "document.readyState === 'complete'"))
                .toBool();
        },
        15000);
}
