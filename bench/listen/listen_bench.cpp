// Times the listen button of the real main window, after a real parse, from
// the click to the sound playing (the player's audio position above zero),
// for the first opening of a run and for later ones; and measures the
// program's memory before the first opening, while it plays and after it
// closed. Prints one "key value" line per figure for listen_bench.sh.
//
//   listen_bench [later openings, default 5]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/deploy.h"
#include "app/descriptions.h"
#include "app/listen/listen_window.h"
#include "app/main_window.h"
#include "tests/app/data_home.h"
#include "tests/app/page_server.h"
#include "tests/listen/listening.h"
#include "tests/listen/sound_server.h"

namespace {

// The kilobytes on the line of /proc/<pid>/<file> that starts with `key`; 0
// when there is none.
long ProcKilobytes(const std::string& pid, const char* file, const std::string& key) {
    std::ifstream in("/proc/" + pid + "/" + file);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + key.size());
    return 0;
}

std::string ParentOf(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t afterName = stat.rfind(')');
    if (afterName == std::string::npos) return {};
    char state = 0;
    long parent = 0;
    std::sscanf(stat.c_str() + afterName + 1, " %c %ld", &state, &parent);
    return std::to_string(parent);
}

// The program's own process and every process it started, the web engine's
// helpers among them.
std::vector<std::string> ProgramProcesses() {
    std::vector<std::string> tree{std::to_string(getpid())};
    const QStringList all = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (bool grew = true; grew;) {
        grew = false;
        for (const QString& entry : all) {
            const std::string pid = entry.toStdString();
            if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
            if (std::find(tree.begin(), tree.end(), pid) != tree.end()) continue;
            if (std::find(tree.begin(), tree.end(), ParentOf(pid)) == tree.end()) continue;
            tree.push_back(pid);
            grew = true;
        }
    }
    return tree;
}

// Resident memory of the program's process, and proportional memory of all
// its processes together (shared pages counted once across them), in MB.
void PrintMemory(const char* moment) {
    long proportional = 0;
    const std::vector<std::string> processes = ProgramProcesses();
    for (const std::string& pid : processes) proportional += ProcKilobytes(pid, "smaps_rollup", "Pss:");
    std::printf("memory_%s_rss_mb %.1f\n", moment, ProcKilobytes(std::to_string(getpid()), "status", "VmRSS:") / 1024.0);
    std::printf("memory_%s_all_pss_mb %.1f\n", moment, proportional / 1024.0);
    std::printf("memory_%s_processes %zu\n", moment, processes.size());
}

// Milliseconds from the click to the sound playing; -1 when it did not
// start within fifteen seconds. With `memoryMoment`, the memory is measured
// while it plays.
double TimeOneOpening(QPushButton* listenButton, const char* memoryMoment) {
    QElapsedTimer clock;
    double playing = -1;
    WhileListening([&] {
        clock.start();
        QTest::mouseClick(listenButton, Qt::LeftButton);
    },
                   [&](QWidget* window) {
                       QWidget* box = BrowserBox(window);
                       if (!QTest::qWaitFor([&] { return CurrentTime(box) > 0; }, 15000)) return;
                       playing = double(clock.nsecsElapsed()) / 1e6;
                       if (memoryMoment != nullptr) PrintMemory(memoryMoment);
                   });
    return playing;
}

}  // namespace

int main(int argc, char** argv) {
    const int laterOpenings = argc > 1 ? std::atoi(argv[1]) : 5;
    const TemporaryDataHome dataHome;
    PrepareListenWindow();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    LoadWindowDescriptions();
    DeploySkin();

    const QTemporaryDir directory;
    const SoundServer sounds(MakeTestSound(directory.path().toStdString()));
    PageServer pages;
    pages.Serve("/sound/3638", SoundPage(sounds.Address("/sound.mp3"), "3", "http://127.0.0.1/cover", "雨声"));

    QWidget* mainWindow = CreateMainWindow();
    mainWindow->show();
    if (!QTest::qWaitForWindowExposed(mainWindow)) return 1;
    mainWindow->findChild<QLineEdit*>(QStringLiteral("编辑框_地址"))
        ->setText(QString::fromStdString(pages.Address("/sound/3638")));
    QTest::mouseClick(mainWindow->findChild<QPushButton*>(QStringLiteral("按钮1")), Qt::LeftButton);
    auto* listenButton = mainWindow->findChild<QPushButton*>(QStringLiteral("按钮2"));

    PrintMemory("before");
    std::printf("first_ms %.1f\n", TimeOneOpening(listenButton, "playing"));
    QTest::qWait(500);
    PrintMemory("after");
    for (int i = 0; i < laterOpenings; ++i) std::printf("later_ms %.1f\n", TimeOneOpening(listenButton, nullptr));
    std::fflush(stdout);
    delete mainWindow;
    return 0;
}
