// The whole mission in one window session: a sound page parsed in the main
// window, then the listen button, and the sound playing in the listen window
// while the main window waits.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <fstream>
#include <string>

#include "app/listen/browser_box.h"
#include "app/main_window.h"
#include "tests/app/gui_test_main.h"
#include "tests/app/page_server.h"
#include "tests/listen/listening.h"
#include "tests/listen/sound_server.h"

namespace {

bool LibraryLoaded(const std::string& name) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/" + name) != std::string::npos) return true;
    return false;
}

TEST(ListenButtonTest, PlaysTheSoundOfTheParsedPage) {
    const QTemporaryDir directory;
    const SoundServer sounds(MakeTestSound(directory.path().toStdString()));
    const std::string link = sounds.Address("/sound.mp3");
    PageServer pages;
    pages.Serve("/sound/3638", SoundPage(link, "3", "http://127.0.0.1/cover", "雨声"));

    const QPointer<QWidget> mainWindow = CreateMainWindow();
    ASSERT_NE(mainWindow, nullptr);
    mainWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mainWindow));
    mainWindow->findChild<QLineEdit*>(QStringLiteral("编辑框_地址"))->setText(QString::fromStdString(pages.Address("/sound/3638")));
    // The HTTP layer, and libcurl with it, comes with the first fetch.
    EXPECT_FALSE(LibraryLoaded("libcurl.so.4"));
    QTest::mouseClick(mainWindow->findChild<QPushButton*>(QStringLiteral("按钮1")), Qt::LeftButton);
    EXPECT_TRUE(LibraryLoaded("libcurl.so.4"));

    // The program starts without the web engine; the listen window brings it.
    EXPECT_FALSE(LibraryLoaded("libQt6WebEngineCore.so"));
    QPushButton* listenButton = mainWindow->findChild<QPushButton*>(QStringLiteral("按钮2"));
    WhileListening([&] { QTest::mouseClick(listenButton, Qt::LeftButton); },
                   [&](QWidget* window) {
                       EXPECT_FALSE(mainWindow->isEnabled());
                       EXPECT_EQ(window->windowTitle(), QStringLiteral("正在试听：雨声 - www.varnoke.example"));
                       EXPECT_TRUE(LibraryLoaded("libQt6WebEngineCore.so"));
                       QWidget* box = BrowserBox(window);
                       EXPECT_EQ(BrowserBoxAddress(box).View(), ExpectedPlayerAddress(link));
                       EXPECT_TRUE(sounds.WaitFor("/sound.mp3"));
                       EXPECT_TRUE(WaitForPlaying(box));
                       QApplication::setActiveWindow(window);
                       QTest::keyClick(window, Qt::Key_Escape);
                       EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
                   });
    ASSERT_FALSE(mainWindow.isNull()) << "closing the listen window closed the main window";
    EXPECT_TRUE(mainWindow->isVisible());
    EXPECT_TRUE(mainWindow->isEnabled());
    delete mainWindow.data();
}

}  // namespace

int main(int argc, char** argv) { return RunWindowTests(argc, argv, true); }
