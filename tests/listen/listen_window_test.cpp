// The listen window driven as the user meets it, under Xvfb: its browser box
// loads the built-in player from the address the window hands it, and the
// player fetches and plays a sound from a loopback server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

#include "app/listen/browser_box.h"
#include "app/listen/listen_window.h"
#include "sound/fields.h"
#include "tests/app/gui_test_main.h"
#include "tests/listen/listening.h"
#include "tests/listen/page_probe.h"
#include "tests/listen/sound_server.h"
#include "text/codepage.h"

// Readable failure messages for Qt's strings and lists of them.
QT_BEGIN_NAMESPACE
void PrintTo(const QString& string, std::ostream* out) { *out << '"' << string.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

void SetSound(const std::string& link, const std::string& nameUtf8) {
    StoreSoundField(SoundFieldTable()[0], Text(link));
    StoreSoundField(SoundFieldTable()[3], nameUtf8.empty() ? Text() : Utf8ToAnsi(Text(nameUtf8)));
}

class ListenWindowTest : public testing::Test {
   protected:
    static void SetUpTestSuite() {
        directory = new QTemporaryDir;
        sound = new std::string(MakeTestSound(directory->path().toStdString()));
    }
    static void TearDownTestSuite() {
        delete sound;
        delete directory;
    }
    void TearDown() override { ReleaseSoundFields(); }

    static QTemporaryDir* directory;
    static std::string* sound;
    SoundServer server{*sound};
};
QTemporaryDir* ListenWindowTest::directory = nullptr;
std::string* ListenWindowTest::sound = nullptr;

TEST_F(ListenWindowTest, PlaysTheParsedSoundAtOnceAndNamesIt) {
    const std::string link = server.Address("/sound.mp3");
    SetSound(link, "雨声 No.3");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), QStringLiteral("正在试听：雨声 No.3 - www.varnoke.example"));
        QWidget* box = BrowserBox(window);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BrowserBoxAddress(box).View(), ExpectedPlayerAddress(link));
        EXPECT_EQ(box->geometry(), QRect(5, 8, 360, 27));
        EXPECT_TRUE(box->isVisible());

        ASSERT_TRUE(server.WaitFor("/sound.mp3")) << "the player never asked for the sound";
        ASSERT_TRUE(WaitForPlaying(box)) << "the sound never started";
        const double started = CurrentTime(box);
        EXPECT_TRUE(QTest::qWaitFor([&] { return CurrentTime(box) > started + 0.3; }, 5000))
            << "the sound stopped at " << started;
    });
}

// Under Xvfb there is no window manager and so no frame: the client area is
// the outer 386 x 81 less the nominal frame, and the outer box it would fill
// is centred.
TEST_F(ListenWindowTest, IsAFixedWindowCentredOnTheScreen) {
    SetSound(server.Address("/sound.mp3"), "x");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        EXPECT_EQ(window->size(), QSize(380, 52));
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(window->pos(), QPoint((screen.width() - 386) / 2 + 3, (screen.height() - 81) / 2 + 26));
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
    });
}

TEST_F(ListenWindowTest, CaptionWithoutANameKeepsItsFixedParts) {
    SetSound(server.Address("/sound.mp3"), "");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), QStringLiteral("正在试听： - www.varnoke.example"));
    });
}

// The link goes into the address as it is; the player then gets whatever the
// browser makes of it.
TEST_F(ListenWindowTest, HandsTheLinkOnUnchanged) {
    struct Case {
        std::string link;
        QString pageQuery;           // what the player page reads; empty: not checked
        std::string soundRequested;  // what the player then asks the server for; empty: nothing
    };
    const std::string port = std::to_string(server.Port());
    const Case cases[] = {
        {"A", QStringLiteral("?soundFile=A") + ExpectedPlayerSettings(), ""},
        {server.Address("/a b.mp3?x=1&y=2#part 2"), QString(), "/a%20b.mp3?x=1"},
        {server.Address("/other.mp3"), QString(), "/other.mp3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        SetSound(c.link, "name");
        WhileListening(OpenListenWindow, [&](QWidget* window) {
            QWidget* box = BrowserBox(window);
            EXPECT_EQ(BrowserBoxAddress(box).View(), ExpectedPlayerAddress(c.link));
            ASSERT_TRUE(WaitForPlayerPage(box));
            if (!c.pageQuery.isEmpty()) {
                EXPECT_EQ(EvaluateInBox(box, QStringLiteral("location.search")).toString(), c.pageQuery);
            }
            if (c.soundRequested.empty()) {
                EXPECT_FALSE(EvaluateInBox(box, QStringLiteral("document.getElementById('sound').hasAttribute('src')"))
                                 .toBool());
            } else {
                EXPECT_TRUE(server.WaitFor(c.soundRequested));
            }
        });
    }
}

// The computed colours of the bar's parts, as "part colour" pairs.
const QString kBarColours = QStringLiteral(
    "(() => { const style = (selector) => getComputedStyle(document.querySelector(selector));"
    "  return ['bar background-color', 'bar border-top-color', 'toggle background-color', 'toggle fill',"
    "          'track background-color', 'loaded background-color', 'slider background-color',"
    "          'elapsed color', 'volume background-color', 'volume fill']"
    "    .map((pair) => { const [id, property] = pair.split(' ');"
    "                     return id + ' ' + style('#' + id).getPropertyValue(property); }).join(', '); })()");

// The player draws its bar in the colours of its settings, with the hover
// colours under the pointer, and its play button pauses and plays.
TEST_F(ListenWindowTest, DrawsTheBarInTheSettingsColoursAndAnswersTheMouse) {
    SetSound(server.Address("/sound.mp3"), "name");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        QWidget* box = BrowserBox(window);
        ASSERT_TRUE(WaitForPlaying(box));
        EXPECT_EQ(EvaluateInBox(box, QStringLiteral("(() => { const r = document.getElementById('bar')"
                                                    ".getBoundingClientRect(); return r.width + 'x' + r.height; })()"))
                      .toString(),
                  QStringLiteral("360x27"));
        EXPECT_EQ(EvaluateInBox(box, kBarColours).toString(),
                  QStringLiteral("bar rgb(238, 238, 238), bar rgb(102, 102, 102), toggle rgb(173, 173, 173), "
                                 "toggle rgb(51, 51, 51), track rgb(255, 255, 255), loaded rgb(153, 153, 153), "
                                 "slider rgb(102, 102, 102), elapsed rgb(102, 102, 102), volume rgb(163, 163, 163), "
                                 "volume rgb(3, 3, 3)"));

        // Input goes to the widget the view renders in.
        QWidget* surface = box->focusProxy() != nullptr ? box->focusProxy() : box;
        QTest::mouseMove(surface, QPoint(340, 13));
        EXPECT_TRUE(QTest::qWaitFor([&] { return EvaluateInBox(box, kBarColours).toString().endsWith(
                                                  QStringLiteral("volume rgb(110, 110, 110), volume rgb(255, 255, 255)")); }))
            << EvaluateInBox(box, kBarColours).toString().toStdString();

        const QString paused = QStringLiteral("document.getElementById('sound').paused");
        QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(12, 13));
        EXPECT_TRUE(QTest::qWaitFor([&] { return EvaluateInBox(box, paused).toBool(); })) << "the click did not pause";
        QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(12, 13));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !EvaluateInBox(box, paused).toBool(); })) << "the click did not play";
    });
}

// Settings may also come introduced by a bare "&", and the first value of a
// key counts: a link that carries settings of its own overrides the fixed ones.
TEST_F(ListenWindowTest, ReadsSettingsAfterABareAmpersandToo) {
    SetSound(server.Address("/sound.mp3") + "&bg=0x123456&loop=no", "name");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        QWidget* box = BrowserBox(window);
        ASSERT_TRUE(WaitForPlayerPage(box));
        EXPECT_EQ(EvaluateInBox(box, QStringLiteral("getComputedStyle(document.body).backgroundColor")).toString(),
                  QStringLiteral("rgb(18, 52, 86)"));
        EXPECT_FALSE(EvaluateInBox(box, QStringLiteral("document.getElementById('sound').loop")).toBool());
        EXPECT_EQ(EvaluateInBox(box, QStringLiteral("getComputedStyle(document.getElementById('toggle'))"
                                                    ".backgroundColor")).toString(),
                  QStringLiteral("rgb(173, 173, 173)"));
        EXPECT_TRUE(server.WaitFor("/sound.mp3"));
    });
}

TEST_F(ListenWindowTest, EscClosesItAndLeavesTheOtherWindowEnabled) {
    QWidget mainWindow;
    mainWindow.show();
    SetSound(server.Address("/sound.mp3"), "name");
    QPointer<QWidget> listenWindow;
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        listenWindow = window;
        QWidget* box = BrowserBox(window);
        ASSERT_TRUE(WaitForPlayerPage(box));
        window->activateWindow();
        box->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return box->isAncestorOf(QApplication::focusWidget()) ||
                                                 QApplication::focusWidget() == box; }));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, Qt::ShiftModifier);
        QTest::qWait(300);
        EXPECT_TRUE(window->isVisible()) << "Shift+Esc closed the window";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); })) << "Esc did not close the window";
    });
    EXPECT_TRUE(listenWindow.isNull()) << "the listen window outlived its opening";
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(ListenWindowTest, DisablesEveryOtherWindowWhileOpenAndRestoresEach) {
    QWidget mainWindow;
    QPushButton* button = new QPushButton(QStringLiteral("按钮"), &mainWindow);
    QSignalSpy clicks(button, &QPushButton::clicked);
    mainWindow.show();
    QWidget disabledBefore;
    disabledBefore.setEnabled(false);
    disabledBefore.show();
    QWidget hidden;
    SetSound(server.Address("/sound.mp3"), "name");
    WhileListening(OpenListenWindow, [&](QWidget*) {
        EXPECT_FALSE(mainWindow.isEnabled());
        EXPECT_FALSE(disabledBefore.isEnabled());
        EXPECT_FALSE(hidden.isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(clicks.count(), 0) << "a click reached the main window";
    });
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(disabledBefore.isEnabled());
    EXPECT_TRUE(hidden.isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ListenWindowTest, SecondOpeningLoadsThePlayerAgainWithTheCurrentFields) {
    SetSound(server.Address("/sound.mp3"), "一");
    QPointer<QWidget> first;
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        first = window;
        ASSERT_TRUE(WaitForPlaying(BrowserBox(window)));
    });
    EXPECT_TRUE(first.isNull());

    const std::string link = server.Address("/other.mp3");
    SetSound(link, "二");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        EXPECT_EQ(window->windowTitle(), QStringLiteral("正在试听：二 - www.varnoke.example"));
        QWidget* box = BrowserBox(window);
        EXPECT_EQ(BrowserBoxAddress(box).View(), ExpectedPlayerAddress(link));
        ASSERT_TRUE(server.WaitFor("/other.mp3"));
        EXPECT_TRUE(WaitForPlaying(box));
    });
}

// Links from a remote page are data to the player: none of these may run a
// script, change the page's markup or become the sound's source.
TEST_F(ListenWindowTest, HostileLinksRunNoScript) {
    const std::string pwned = server.Address("/pwned");
    const std::string script = "fetch('" + pwned + "');window.pwned=1";
    const std::string links[] = {
        "javascript:" + script,
        "\"><img src=x onerror=\"" + script + "\">",
        "'><svg onload='" + script + "'>",
        "</script><script>" + script + "</script>",
        "');" + script + ";('",
        "data:text/html,<script>" + script + "</script>",
    };
    const QString markup = QStringLiteral("Array.from(document.querySelectorAll('*'), e => e.tagName).join()");
    QString cleanMarkup;
    SetSound(server.Address("/sound.mp3"), "name");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        ASSERT_TRUE(WaitForPlayerPage(BrowserBox(window)));
        cleanMarkup = EvaluateInBox(BrowserBox(window), markup).toString();
    });
    ASSERT_FALSE(cleanMarkup.isEmpty());

    for (const std::string& link : links) {
        SCOPED_TRACE(link);
        SetSound(link, "name");
        WhileListening(OpenListenWindow, [&](QWidget* window) {
            QWidget* box = BrowserBox(window);
            ASSERT_TRUE(WaitForPlayerPage(box));
            QTest::qWait(500);
            EXPECT_EQ(EvaluateInBox(box, QStringLiteral("typeof window.pwned")).toString(), QStringLiteral("undefined"));
            EXPECT_EQ(EvaluateInBox(box, markup).toString(), cleanMarkup);
            EXPECT_FALSE(EvaluateInBox(box, QStringLiteral("document.getElementById('sound').hasAttribute('src')"))
                             .toBool());
        });
    }
    EXPECT_FALSE(server.Received("/pwned"));
}

// Watches for modal dialogs other than the listen window while it lives;
// closes each one it sees and keeps its class name.
class DialogWatch {
   public:
    explicit DialogWatch(QWidget* listenWindow) {
        QObject::connect(&timer_, &QTimer::timeout, [this, listenWindow] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == listenWindow) return;
            seen_ << QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        });
        timer_.start(100);
    }
    QStringList Seen() const { return seen_; }

   private:
    QTimer timer_;
    QStringList seen_;
};

// Neither the page nor the network can make the browser ask the user
// anything.
TEST_F(ListenWindowTest, BrowserOpensNoDialog) {
    SetSound(server.Address("/sound.mp3"), "name");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        QWidget* box = BrowserBox(window);
        ASSERT_TRUE(WaitForPlayerPage(box));
        const QWidgetList before = QApplication::topLevelWidgets();
        const DialogWatch dialogs(window);
        const QVariant answers = EvaluateInBox(
            box, QStringLiteral("alert('a'); window.open('about:blank'); JSON.stringify([confirm('b'), prompt('c', 'd')])"));
        QTest::qWait(500);
        EXPECT_EQ(dialogs.Seen(), QStringList());
        EXPECT_EQ(answers.toString(), QStringLiteral("[false,null]"));
        for (QWidget* widget : QApplication::topLevelWidgets())
            EXPECT_TRUE(before.contains(widget) || !widget->isVisible())
                << "a new window: " << widget->metaObject()->className();
    });
}

TEST_F(ListenWindowTest, RefusesASoundBehindAnInvalidCertificate) {
    const CertificateFiles files = MakeSelfSignedCertificate(directory->path().toStdString());
    SoundServer secure(*sound, &files);
    httplib::SSLClient client("127.0.0.1", secure.Port());
    client.enable_server_certificate_verification(false);
    const httplib::Result served = client.Get("/sound.mp3");
    ASSERT_TRUE(served && served->status == 200) << "the TLS server itself does not work";

    SetSound(secure.Address("/sound.mp3"), "name");
    WhileListening(OpenListenWindow, [&](QWidget* window) {
        QWidget* box = BrowserBox(window);
        const DialogWatch dialogs(window);
        ASSERT_TRUE(WaitForPlayerPage(box));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return EvaluateInBox(box, QStringLiteral("document.getElementById('sound').error !== null")).toBool(); },
            10000))
            << "the sound did not fail";
        EXPECT_EQ(CurrentTime(box), 0);
        EXPECT_EQ(dialogs.Seen(), QStringList());
    });
    EXPECT_EQ(secure.Targets().size(), 1u) << "only the test's own client got through";
}

}  // namespace

int main(int argc, char** argv) { return RunWindowTests(argc, argv, false); }
