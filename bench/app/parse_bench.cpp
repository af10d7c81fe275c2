// A parse of a 200 KB sound page served on loopback: the parse button of the
// real main window (four fetches, extraction, the block appended) beside a
// shell pipeline doing the same four fetches and extractions with curl and
// grep. Run on a display (bench/app/run.sh).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <string>

#include "app/deploy.h"
#include "app/descriptions.h"
#include "app/main_window.h"
#include "runtime/library.h"
#include "tests/app/page_server.h"

using namespace Qt::StringLiterals;

namespace {

// The page's address on a server that lives for the whole run.
const std::string& LargePageAddress() {
    static PageServer server;
    static const std::string address = [] {
        // About 200 KB: the fields amid Chinese prose, half of it before them.
        server.Serve("/sound/large", SoundPageAmidProse(100 * 1024, "http://127.0.0.1/s/large.mp3", "05:12",
                                                        "http://127.0.0.1/c/large.jpg", "大文件"));
        return server.Address("/sound/large");
    }();
    return address;
}

void BM_ParseButton(benchmark::State& state) {
    QWidget* window = CreateMainWindow();
    window->show();
    window->findChild<QLineEdit*>(u"编辑框_地址"_s)->setText(QString::fromStdString(LargePageAddress()));
    auto* parse = window->findChild<QPushButton*>(u"按钮1"_s);
    auto* information = window->findChild<QPlainTextEdit*>(u"编辑框_信息"_s);
    for (auto _ : state) {
        QTest::mouseClick(parse, Qt::LeftButton);
        state.PauseTiming();
        information->clear();
        state.ResumeTiming();
    }
    delete window;
}
BENCHMARK(BM_ParseButton)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CurlAndGrep(benchmark::State& state) {
    const std::string& url = LargePageAddress();
    // Each field from a fetch of its own; the name converted as the program does.
    const std::string pipeline =
        "export LC_ALL=C; u='" + url + "'; "
        "curl -s \"$u\" | grep -a -o -m1 -P '<div class=\"voice-wp-left fl book_radio\" data-url=\"\\K.*?(?=\">)'; "
        "curl -s \"$u\" | grep -a -o -m1 -P '<span class=\"hide\">\\K.*?(?=</span>)'; "
        "curl -s \"$u\" | grep -a -o -m1 -P '<div class=\"voice-cover-bg\" style=\"background-image:url\\(\\K.*?(?=-500\\);\"></div>)'; "
        "curl -s \"$u\" | iconv -f UTF-8 -t GBK 2>/dev/null | grep -a -o -m1 -P '<h1 class=\"s_name\"  title=\"\\K.*?(?=\">)'";
    const std::string command = "sh -c '" + [&] {
        std::string quoted;
        for (char c : pipeline) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted;
    }() + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("the pipeline failed");
}
BENCHMARK(BM_CurlAndGrep)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    LoadWindowDescriptions();
    DeploySkin();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FreeWindowDescriptions();
    ReleaseBoundLibraries();
    return 0;
}
