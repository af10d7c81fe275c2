// MainWindow driven in-process on a real display: its layout, the parse and
// listen commands against pages served on loopback, and its keys.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <functional>

#include "app/fatal_box.h"
#include "app/images.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "runtime/fatal.h"
#include "runtime/library.h"
#include "skin/exports.h"
#include "sound/fields.h"
#include "tests/app/gui_test_main.h"
#include "tests/app/page_server.h"

using namespace Qt::StringLiterals;

namespace {

// The block as the information box shows it for the four values.
QString Block(const QString& name, const QString& duration, const QString& cover, const QString& link) {
    const QString separator(73, u'=');
    return separator + u"\n\n声音名称："_s + name + u"\n\n声音时长："_s + duration + u"\n\n声音封面："_s + cover +
           u"\n\nEcho链接："_s + link + u"\n\n"_s + separator + u"\n"_s;
}

// Runs `action`. Should a modal window open meanwhile, `probe` sees it and
// the window is then closed, so that the action can return. True when one
// opened.
bool WhileModalOpens(const std::function<void()>& action, const std::function<void(QWidget*)>& probe) {
    bool opened = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible() || opened) return;
        opened = true;
        probe(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && !box->buttons().isEmpty())
            box->buttons().first()->click();
        else
            modal->close();
    });
    poll.start();
    action();
    poll.stop();
    return opened;
}

// What a message box showed, read while it was open.
struct SeenMessageBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons standardButtons;
    int buttons = 0;
    bool hasOwner = false;
    Qt::TextFormat textFormat = Qt::AutoText;
};

// False when the modal window is no message box.
bool See(QWidget* modal, SeenMessageBox& seen) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.standardButtons = box->standardButtons();
    seen.buttons = int(box->buttons().size());
    seen.hasOwner = box->parentWidget() != nullptr;
    seen.textFormat = box->textFormat();
    return true;
}

class MainWindowTest : public testing::Test {
   protected:
    void SetUp() override {
        ReleaseSoundFields();
        window_ = CreateMainWindow();
        ASSERT_NE(window_, nullptr);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
        // Keys reach a window's shortcuts only while it is the active one.
        QApplication::setActiveWindow(window_);
    }
    void TearDown() override { delete window_.data(); }

    QLineEdit* Address() const { return window_->findChild<QLineEdit*>(u"编辑框_地址"_s); }
    QPlainTextEdit* Information() const { return window_->findChild<QPlainTextEdit*>(u"编辑框_信息"_s); }
    QPushButton* Button(const QString& name) const { return window_->findChild<QPushButton*>(name); }

    void Parse(const std::string& path) {
        Address()->setText(QString::fromStdString(server_.Address(path)));
        QTest::mouseClick(Button(u"按钮1"_s), Qt::LeftButton);
    }

    PageServer server_;
    QPointer<QWidget> window_;
};

TEST_F(MainWindowTest, ShowsEveryControlWhereItsDescriptionPutsIt) {
    struct Control {
        QString name;
        const char* className;
        QRect geometry;
        QString text;
        bool takesFocus;
    };
    const Control controls[] = {
        {u"图片框1"_s, "QLabel", {-3, 0, 470, 152}, {}, false},
        {u"编辑框_地址"_s, "QLineEdit", {8, 157, 368, 25}, u"http://www.echo.example/sound/3638"_s, true},
        {u"按钮1"_s, "QPushButton", {382, 157, 72, 24}, u"按钮"_s, true},
        {u"编辑框_信息"_s, "QPlainTextEdit", {7, 186, 450, 183}, {}, true},
        {u"按钮2"_s, "QPushButton", {8, 373, 104, 24}, u"在线试听"_s, true},
        {u"按钮3"_s, "QPushButton", {352, 372, 104, 25}, u"反馈建议"_s, true},
        {u"透明标签1"_s, "QLabel", {132, 376, 200, 24}, u"Varnoke 开发组 · 2026年12月"_s, false},
    };
    for (const Control& control : controls) {
        SCOPED_TRACE(control.name.toStdString());
        auto* widget = window_->findChild<QWidget*>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), control.className);
        EXPECT_EQ(widget->geometry(), control.geometry);
        EXPECT_TRUE(widget->isVisible() && widget->isEnabled());
        EXPECT_EQ(widget->focusPolicy() != Qt::NoFocus, control.takesFocus);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text(), control.text);
        }
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), control.text);
            EXPECT_FALSE(button->isDefault() || button->autoDefault());
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(edit->text(), control.text);
        }
    }

    QPlainTextEdit* information = Information();
    EXPECT_TRUE(information->toPlainText().isEmpty());
    EXPECT_FALSE(information->isReadOnly());
    EXPECT_TRUE(information->tabChangesFocus());
    EXPECT_EQ(information->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(information->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(information->font().pixelSize(), 12);
    EXPECT_EQ(information->font().weight(), QFont::Normal);
}

TEST_F(MainWindowTest, IsAFixedWindowCentredWithoutMaximiseButton) {
    // No window manager on the test display: the nominal frame stands in.
    const QRect screen = window_->screen()->geometry();
    EXPECT_EQ(window_->geometry(), QRect((screen.width() - 470) / 2 + 3, (screen.height() - 427) / 2 + 26, 464, 398));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    EXPECT_EQ(window_->windowTitle(), u"Varnoke - www.varnoke.example"_s);
    const Qt::WindowFlags flags = window_->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowStaysOnTopHint);
}

TEST_F(MainWindowTest, ShowsTheBannerUnscaledAndCutOffByItsBox) {
    const QImage banner = PngPixmap(BannerImage).toImage();
    ASSERT_EQ(banner.size(), QSize(470, 153));
    const QImage shown = window_->grab().toImage();
    // The box starts three pixels left of the client area.
    for (const QPoint point : {QPoint(0, 0), QPoint(60, 66), QPoint(200, 80), QPoint(463, 151)})
        EXPECT_EQ(shown.pixel(point), banner.pixel(point + QPoint(3, 0))) << point.x() << "," << point.y();
    // The banner's last row lies below the box.
    EXPECT_EQ(shown.pixel(200, 152), window_->palette().color(QPalette::Window).rgb());
}

TEST_F(MainWindowTest, CreatedEventTurnedTheSkinsHueBeforeTheWindowShows) {
    auto* later = CreateMainWindow();
    ASSERT_FALSE(later->isVisible());
    const int adjusted = QApplication::palette().color(QPalette::Highlight).hsvHue();
    BoundFunction<SkinH_AdjustHSVFn>(kSkinH_AdjustHSV)(0, 0, 0);
    const int original = QApplication::palette().color(QPalette::Highlight).hsvHue();
    AdjustSkin();
    delete later;
    EXPECT_EQ((original - adjusted + 360) % 360, 80);
    EXPECT_TRUE(qApp->styleSheet().contains(u"border-radius: 3px"_s));
}

TEST_F(MainWindowTest, ParseFetchesFourTimesAndAppendsOneBlock) {
    server_.Serve("/sound/1", SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风"));
    Parse("/sound/1");
    EXPECT_EQ(server_.Requests("/sound/1"), 4);
    EXPECT_EQ(Information()->toPlainText(),
              Block(u"夏日的风"_s, u"03:25"_s, u"http://127.0.0.1/c/1.jpg"_s, u"http://127.0.0.1/s/1.mp3"_s));
    EXPECT_EQ(SoundLink.View(), "http://127.0.0.1/s/1.mp3");
    EXPECT_EQ(ToQString(SoundName), u"夏日的风"_s);
}

TEST_F(MainWindowTest, ParsesALongPage) {
    server_.Serve("/sound/long", SoundPageAmidProse(100 * 1024, "http://127.0.0.1/s/1.mp3", "03:25",
                                                    "http://127.0.0.1/c/1.jpg", "夏日的风"));
    Parse("/sound/long");
    EXPECT_EQ(Information()->toPlainText(),
              Block(u"夏日的风"_s, u"03:25"_s, u"http://127.0.0.1/c/1.jpg"_s, u"http://127.0.0.1/s/1.mp3"_s));
}

TEST_F(MainWindowTest, SecondParseAppendsItsBlockDirectlyBelowTheFirst) {
    server_.Serve("/sound/1", SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风"));
    server_.Serve("/sound/2", SoundPage("http://127.0.0.1/s/2.mp3", "00:48", "http://127.0.0.1/c/2.jpg", "雨"));
    Parse("/sound/1");
    Parse("/sound/2");
    EXPECT_EQ(Information()->toPlainText(),
              Block(u"夏日的风"_s, u"03:25"_s, u"http://127.0.0.1/c/1.jpg"_s, u"http://127.0.0.1/s/1.mp3"_s) +
                  Block(u"雨"_s, u"00:48"_s, u"http://127.0.0.1/c/2.jpg"_s, u"http://127.0.0.1/s/2.mp3"_s));
    EXPECT_EQ(SoundLink.View(), "http://127.0.0.1/s/2.mp3");
    EXPECT_EQ(SoundDuration.View(), "00:48");
    EXPECT_EQ(SoundCover.View(), "http://127.0.0.1/c/2.jpg");
    EXPECT_EQ(ToQString(SoundName), u"雨"_s);
}

TEST_F(MainWindowTest, BlockGoesToTheVeryEndWhateverTheUserSelectedAndCannotBeUndone) {
    server_.Serve("/sound/1", SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风"));
    QPlainTextEdit* information = Information();
    information->setFocus();
    // Chinese arrives from the input method as a committed string.
    QInputMethodEvent typedChinese;
    typedChinese.setCommitString(u"我的笔记"_s);
    QApplication::sendEvent(information, &typedChinese);
    QTest::keyClick(information, Qt::Key_Return);
    QTest::keyClicks(information, u"second line"_s);
    for (int line = 0; line < 12; ++line) QTest::keyClick(information, Qt::Key_Return);
    QTextCursor selection(information->document());
    selection.setPosition(1);
    selection.setPosition(3, QTextCursor::KeepAnchor);
    information->setTextCursor(selection);
    const QString typed = information->toPlainText();

    Parse("/sound/1");
    const QString expected =
        typed + Block(u"夏日的风"_s, u"03:25"_s, u"http://127.0.0.1/c/1.jpg"_s, u"http://127.0.0.1/s/1.mp3"_s);
    EXPECT_EQ(information->toPlainText(), expected);
    EXPECT_EQ(information->textCursor().position(), information->document()->characterCount() - 1);
    // Scrolled down to the caret behind the block.
    EXPECT_GT(information->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(information->viewport()->rect().contains(information->cursorRect()));

    QTest::keyClick(information, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(information->toPlainText(), expected);
}

TEST_F(MainWindowTest, AddressBoxReadsInTheSystemsCodePage) {
    Address()->setText(u"声音한/a"_s);
    EXPECT_EQ(EditText(Address()).View(), "\xC9\xF9\xD2\xF4?/a");
    Address()->clear();
    EXPECT_EQ(TextLength(EditText(Address())), 0);
}

TEST_F(MainWindowTest, FailedFetchStillAppendsABlockOfEmptyValues) {
    const std::string cases[] = {"", server_.Address("/no/such/page"), "http://127.0.0.1:1/sound/1"};
    for (const std::string& address : cases) {
        SCOPED_TRACE(address);
        Information()->clear();
        Address()->setText(QString::fromStdString(address));
        QTest::mouseClick(Button(u"按钮1"_s), Qt::LeftButton);
        EXPECT_EQ(Information()->toPlainText(), Block({}, {}, {}, {}));
        EXPECT_TRUE(SoundLink.View().empty());
    }
}

TEST_F(MainWindowTest, LongLinkWrapsInsideTheBoxWithoutHorizontalScrolling) {
    const std::string link = "http://127.0.0.1/s/" + std::string(3000, 'a') + ".mp3";
    server_.Serve("/sound/long", SoundPage(link, "01:00", "http://127.0.0.1/c/1.jpg", "长"));
    Parse("/sound/long");
    QPlainTextEdit* information = Information();
    EXPECT_EQ(information->size(), QSize(450, 183));
    EXPECT_FALSE(information->horizontalScrollBar()->isVisible());
    EXPECT_EQ(information->horizontalScrollBar()->maximum(), 0);
    const QTextBlock linkLine = information->document()->find(u"Echo链接："_s).block();
    ASSERT_TRUE(linkLine.isValid());
    EXPECT_GT(linkLine.layout()->lineCount(), 10);
    // The separator line fits the box's width.
    EXPECT_EQ(information->document()->firstBlock().layout()->lineCount(), 1);
}

TEST_F(MainWindowTest, ListenBeforeAnyLinkShowsTheMessageBoxAndOpensNothing) {
    // Before any parse, and after a page that has every field but the link.
    std::string page = SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风");
    page.replace(page.find("data-url"), 8, "data-src");
    server_.Serve("/sound/nolink", page);
    for (const bool parsedFirst : {false, true}) {
        SCOPED_TRACE(parsedFirst);
        if (parsedFirst) {
            Parse("/sound/nolink");
            ASSERT_EQ(SoundDuration.View(), "03:25");
        }
        SeenMessageBox seen;
        seen.icon = QMessageBox::Critical;
        bool parseBlocked = false;
        const int requestsBefore = server_.Requests("/sound/nolink");
        const bool opened = WhileModalOpens([&] { QTest::mouseClick(Button(u"按钮2"_s), Qt::LeftButton); },
                                            [&](QWidget* modal) {
                                                ASSERT_TRUE(See(modal, seen));
                                                EXPECT_FALSE(seen.hasOwner);
                                                // The whole program waits for the box: a click
                                                // from the display on the parse button is lost.
                                                Address()->setText(QString::fromStdString(server_.Address("/sound/nolink")));
                                                QPushButton* parse = Button(u"按钮1"_s);
                                                QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                                                                  parse->mapTo(window_, parse->rect().center()));
                                                parseBlocked = server_.Requests("/sound/nolink") == requestsBefore;
                                            });
        EXPECT_TRUE(opened);
        EXPECT_EQ(seen.title, u"信息："_s);
        EXPECT_EQ(seen.text, u"请输入链接地址后再进行试听！"_s);
        EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
        EXPECT_EQ(seen.buttons, 1);
        EXPECT_TRUE(parseBlocked);
        for (QWidget* topLevel : QApplication::topLevelWidgets())
            EXPECT_FALSE(topLevel->isVisible() && topLevel != window_) << topLevel->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, ListenAfterALinkOpensTheListenWindowModallyUntilItCloses) {
    server_.Serve("/sound/1", SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风"));
    Parse("/sound/1");
    QString opened;
    EXPECT_TRUE(WhileModalOpens([&] { QTest::mouseClick(Button(u"按钮2"_s), Qt::LeftButton); },
                                [&](QWidget* modal) { opened = modal->objectName(); }));
    EXPECT_EQ(opened, u"ListenWindow"_s);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, FeedbackButtonDoesNothing) {
    server_.Serve("/sound/1", SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风"));
    Address()->setText(QString::fromStdString(server_.Address("/sound/1")));
    const bool opened = WhileModalOpens([&] { QTest::mouseClick(Button(u"按钮3"_s), Qt::LeftButton); }, [](QWidget*) {});
    EXPECT_FALSE(opened);
    EXPECT_EQ(server_.Requests("/sound/1"), 0);
    EXPECT_TRUE(Information()->toPlainText().isEmpty());
    EXPECT_TRUE(SoundLink.IsAbsent());
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(MainWindowTest, EscapeFromEitherEditBoxClosesTheWindow) {
    for (const QString& name : {u"编辑框_地址"_s, u"编辑框_信息"_s}) {
        SCOPED_TRACE(name.toStdString());
        if (window_.isNull()) SetUp();
        auto* box = window_->findChild<QWidget*>(name);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Escape, Qt::ShiftModifier);
        EXPECT_TRUE(window_->isVisible());
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window_.isNull(); }));
    }
}

TEST_F(MainWindowTest, InformationBoxHidesItsSelectionWithoutTheFocus) {
    QPlainTextEdit* information = Information();
    information->setPlainText(u"selected text"_s);
    information->selectAll();
    const QRgb highlight = information->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    auto showsHighlight = [&] {
        const QImage shown = information->grab().toImage();
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixel(x, y) == highlight) return true;
        return false;
    };
    information->setFocus();
    EXPECT_TRUE(showsHighlight());
    Address()->setFocus();
    EXPECT_FALSE(showsHighlight());
    EXPECT_TRUE(information->textCursor().hasSelection());
}

TEST_F(MainWindowTest, TabAndShiftTabFollowTheFocusOrder) {
    const QString forward[] = {u"编辑框_地址"_s, u"按钮1"_s, u"按钮2"_s, u"按钮3"_s, u"编辑框_信息"_s};
    Information()->setFocus();
    for (const QString& next : forward) {
        QTest::keyClick(window_->focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(window_->focusWidget()->objectName(), next);
    }
    const QString backward[] = {u"按钮3"_s, u"按钮2"_s, u"按钮1"_s, u"编辑框_地址"_s, u"编辑框_信息"_s};
    for (const QString& next : backward) {
        QTest::keyClick(window_->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(window_->focusWidget()->objectName(), next);
    }
}

TEST_F(MainWindowTest, EnterStartsALineInTheInformationBoxAndDoesNothingElsewhere) {
    server_.Serve("/sound/1", SoundPage("http://127.0.0.1/s/1.mp3", "03:25", "http://127.0.0.1/c/1.jpg", "夏日的风"));
    Address()->setText(QString::fromStdString(server_.Address("/sound/1")));
    for (const QString& name : {u"编辑框_地址"_s, u"按钮1"_s, u"按钮2"_s, u"按钮3"_s}) {
        SCOPED_TRACE(name.toStdString());
        auto* control = window_->findChild<QWidget*>(name);
        control->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            const bool opened = WhileModalOpens([&] { QTest::keyClick(control, key); }, [](QWidget*) {});
            EXPECT_FALSE(opened);
            EXPECT_EQ(window_->focusWidget(), control);
        }
    }
    EXPECT_EQ(server_.Requests("/sound/1"), 0);
    EXPECT_TRUE(Information()->toPlainText().isEmpty());

    Information()->setFocus();
    QTest::keyClicks(Information(), u"a"_s);
    QTest::keyClick(Information(), Qt::Key_Return);
    QTest::keyClicks(Information(), u"b"_s);
    EXPECT_EQ(Information()->toPlainText(), u"a\nb"_s);
}

TEST(FatalErrorBoxTest, ShowsTheReportWithTheErrorIconAndOneOkButton) {
    SeenMessageBox seen;
    seen.hasOwner = true;
    const bool opened = WhileModalOpens(
        [] { ShowFatalErrorBox(FatalReportText(6, "调用DLL命令后发现堆栈错误 <b>")); },
        [&](QWidget* modal) { ASSERT_TRUE(See(modal, seen)); });
    EXPECT_TRUE(opened);
    EXPECT_EQ(seen.title, u"错误"_s);
    EXPECT_EQ(seen.text, u"运行时出错!\n\n错误代码：6\n\n错误信息：调用DLL命令后发现堆栈错误 <b>\n"_s);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_EQ(seen.standardButtons, QMessageBox::Ok);
    EXPECT_EQ(seen.textFormat, Qt::PlainText);
    EXPECT_FALSE(seen.hasOwner);
}

}  // namespace

int main(int argc, char** argv) { return RunWindowTests(argc, argv, true); }
