// The real executable, started as a user would start it and driven through
// the display with xdotool: deployment, fatal error boxes, two instances and
// one parse read back through the clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>

#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/app/data_home.h"
#include "tests/app/page_server.h"

using namespace Qt::StringLiterals;

namespace {

namespace fs = std::filesystem;

const QString kMainWindowName = u"^Varnoke - www\\.varnoke\\.example$"_s;
const QString kErrorBoxName = u"^错误$"_s;

bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 20000) {
    for (int waited = 0; waited < milliseconds; waited += 25) {
        if (condition()) return true;
        QCoreApplication::processEvents();
        QThread::msleep(25);
    }
    return condition();
}

QString XdoTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(u"xdotool"_s, arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The program as one user start of it, in its own drive C.
class Program {
   public:
    explicit Program(const std::string& executable = VARNOKE_EXECUTABLE) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        process_.setProcessEnvironment(environment);
        process_.start(QString::fromStdString(executable), {});
        process_.waitForStarted();
    }
    ~Program() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    // The windows of this process whose name matches, mapped or not.
    QStringList Windows(const QString& namePattern, bool onlyVisible = false) const {
        QStringList arguments{u"search"_s, u"--all"_s, u"--pid"_s, QString::number(process_.processId())};
        if (onlyVisible) arguments << u"--onlyvisible"_s;
        arguments << u"--name"_s << namePattern;
        const QString found = XdoTool(arguments);
        return found.isEmpty() ? QStringList() : found.split(u'\n');
    }
    QString WaitForWindow(const QString& namePattern) const {
        QStringList found;
        WaitUntil([&] { return !(found = Windows(namePattern, true)).isEmpty(); });
        return found.isEmpty() ? QString() : found.first();
    }

    bool Running() const { return process_.state() == QProcess::Running; }
    // The exit code as a parent sees it, -2 when the program did not end.
    int ExitCode() {
        if (!process_.waitForFinished(20000)) return -2;
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -3;
    }
    QString StandardError() { return QString::fromUtf8(process_.readAllStandardError()); }

   private:
    QProcess process_;
};

// Sends keys to the window the way a user at its keyboard would.
void PressKeys(const QString& window, const QStringList& keys) {
    XdoTool({u"windowfocus"_s, u"--sync"_s, window});
    XdoTool(QStringList{u"key"_s, u"--delay"_s, u"30"_s} + keys);
}

void TypeText(const QString& window, const QString& text) {
    XdoTool({u"windowfocus"_s, u"--sync"_s, window});
    XdoTool({u"type"_s, u"--delay"_s, u"10"_s, text});
}

// The program shows the fatal error box for `message` and nothing else: its
// main window never became a window of the display, not even an unmapped one.
// Closing the box ends it with exit code -1.
void ExpectOnlyTheErrorBox(Program& program, const QString& message) {
    const QString box = program.WaitForWindow(kErrorBoxName);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(program.Windows(u".*"_s, true), QStringList{box});
    EXPECT_TRUE(program.Windows(kMainWindowName).isEmpty());
    PressKeys(box, {u"Return"_s});
    EXPECT_EQ(program.ExitCode(), 255);
    EXPECT_TRUE(program.StandardError().contains(u"运行时出错!\r\n\r\n错误信息："_s + message + u"\r\n"_s));
}

class ProgramTest : public testing::Test {
   protected:
    std::string Deployed(const char* name) const { return ReadWholeFile(home_.WindowsDirectory() + "/" + name); }

    TemporaryDataHome home_;
};

TEST_F(ProgramTest, StartWritesTheImagesShowsTheWindowAndExitsZero) {
    const std::string engine = ReadWholeFile(VARNOKE_SKIN_ENGINE_FILE);
    const std::string skin = ReadWholeFile(VARNOKE_SKIN_FILE);
    ASSERT_GT(engine.size(), 0u);
    for (const bool earlierStart : {false, true}) {
        SCOPED_TRACE(earlierStart);
        if (earlierStart) {
            std::ofstream(home_.WindowsDirectory() + "/jedata.dll", std::ios::trunc) << std::string(200000, 'x');
            std::ofstream(home_.WindowsDirectory() + "/win8.she", std::ios::trunc) << "old";
        }
        Program program;
        const QString window = program.WaitForWindow(kMainWindowName);
        ASSERT_FALSE(window.isEmpty());
        EXPECT_EQ(Deployed("jedata.dll"), engine);
        EXPECT_EQ(Deployed("win8.she"), skin);
        PressKeys(window, {u"Escape"_s});
        EXPECT_EQ(program.ExitCode(), 0);
    }
}

TEST_F(ProgramTest, NoLoadableEngineShowsOneErrorBoxAndExits255) {
    // A file where drive C's Windows directory should be: nothing can be
    // written there and no jedata.dll is found anywhere.
    fs::create_directories(fs::path(home_.WindowsDirectory()).parent_path());
    std::ofstream(home_.WindowsDirectory()) << "";
    Program program;
    ExpectOnlyTheErrorBox(program, u"无法找到指定DLL库文件“jedata.dll”中的输出命令“SkinH_AttachEx”"_s);
}

TEST_F(ProgramTest, EngineWithoutAdjustHsvFailsBeforeTheMainWindowIsShown) {
    // A program directory of its own, holding the program and an engine that
    // lacks the export; it is bound before the deployed one.
    const fs::path directory = fs::path(home_.Path()) / "program";
    fs::create_directory(directory);
    fs::copy_file(VARNOKE_EXECUTABLE, directory / "varnoke");
    fs::copy_file(VARNOKE_ENGINE_WITHOUT_HSV, directory / "jedata.dll");
    Program program((directory / "varnoke").string());
    ExpectOnlyTheErrorBox(program, u"无法找到指定DLL库文件“jedata.dll”中的输出命令“SkinH_AdjustHSV”"_s);
}

TEST_F(ProgramTest, SecondInstanceRunsBesideTheFirst) {
    Program first;
    const QString firstWindow = first.WaitForWindow(kMainWindowName);
    ASSERT_FALSE(firstWindow.isEmpty());
    Program second;
    const QString secondWindow = second.WaitForWindow(kMainWindowName);
    ASSERT_FALSE(secondWindow.isEmpty());
    EXPECT_NE(firstWindow, secondWindow);
    EXPECT_EQ(Deployed("jedata.dll"), ReadWholeFile(VARNOKE_SKIN_ENGINE_FILE));

    // The first still takes input after the second rewrote the library it
    // runs, and shuts down cleanly through it.
    ASSERT_TRUE(first.Running());
    TypeText(firstWindow, u"typed"_s);
    PressKeys(firstWindow, {u"Escape"_s});
    EXPECT_EQ(first.ExitCode(), 0);
    ASSERT_TRUE(second.Running());
    PressKeys(secondWindow, {u"Escape"_s});
    EXPECT_EQ(second.ExitCode(), 0);
}

TEST_F(ProgramTest, ParsedBlockCopiesOutOfTheInformationBox) {
    PageServer server;
    server.Serve("/sound/7", SoundPage("http://127.0.0.1/s/7.mp3", "04:01", "http://127.0.0.1/c/7.jpg", "海边的黄昏"));
    Program program;
    const QString window = program.WaitForWindow(kMainWindowName);
    ASSERT_FALSE(window.isEmpty());

    // The address box has the focus, its sample address selected.
    TypeText(window, QString::fromStdString(server.Address("/sound/7")));
    PressKeys(window, {u"Tab"_s, u"space"_s, u"shift+Tab"_s, u"shift+Tab"_s, u"ctrl+a"_s, u"ctrl+c"_s});

    const QString separator(73, u'=');
    const QString expected = separator + u"\n\n声音名称：海边的黄昏\n\n声音时长：04:01\n\n"
                                         u"声音封面：http://127.0.0.1/c/7.jpg\n\nEcho链接：http://127.0.0.1/s/7.mp3\n\n"_s +
                             separator + u"\n"_s;
    QString copied;
    WaitUntil([&] { return (copied = QGuiApplication::clipboard()->text()) == expected; });
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(server.Requests("/sound/7"), 4);
    PressKeys(window, {u"Escape"_s});
    EXPECT_EQ(program.ExitCode(), 0);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
