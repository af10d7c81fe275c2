// Fatal errors, the shutdown slot and library binding.
#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/kernel32.h"
#include "runtime/fatal.h"
#include "runtime/library.h"
#include "runtime/paths.h"
#include "text/values.h"

namespace {

using testing::Eq;
using testing::ExitedWithCode;

std::string Report(int code, const std::string& message) {
    std::string report = "运行时出错!\r\n\r\n";
    if (code != 0) report += "错误代码：" + std::to_string(code) + "\r\n\r\n";
    return report + "错误信息：" + message + "\r\n";
}

TEST(FatalReportText, LaysOutCodeAndMessage) {
    EXPECT_EQ(FatalReportText(6, "调用DLL命令后发现堆栈错误"),
              "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
    EXPECT_EQ(FatalReportText(0, "载入启动窗口失败"), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
}

TEST(FatalErrorDeathTest, ReportsOnceAndExitsMinusOneWithoutShutdownRoutine) {
    EXPECT_EXIT(
        {
            RegisterShutdownRoutine([] { std::fputs("shutdown ran", stderr); });
            SetFatalReporter([](const std::string&) { std::fputs("[box]", stderr); });
            FatalError(0, "载入窗口模板数据段出错!");
        },
        ExitedWithCode(255), Eq(Report(0, "载入窗口模板数据段出错!") + "[box]"));
}

TEST(FatalErrorDeathTest, ArrayIndexBelowOneIsTestedFirst) {
    EXPECT_EXIT(TextArray()[0], ExitedWithCode(255), Eq(Report(4, "数组成员引用下标必须大于等于1")));
    TextArray one;
    one.Append("a");
    EXPECT_EQ(one[1].View(), "a");
    EXPECT_EXIT(one[2], ExitedWithCode(255), Eq(Report(1, "数组成员引用下标超出定义范围")));
    EXPECT_EXIT(one[INT32_MIN], ExitedWithCode(255), Eq(Report(4, "数组成员引用下标必须大于等于1")));
}

TEST(FatalErrorDeathTest, ValueBeyondThirtyTwoBitsIsOutOfMemory) {
    EXPECT_EXIT(ByteStorage().Resize(3000000000), ExitedWithCode(255),
                Eq(Report(0, "分配 3000000001 字节内存失败!")));
}

TEST(ShutdownRoutine, RunsOnceThenSlotIsEmpty) {
    static int runs = 0;
    RegisterShutdownRoutine([] { ++runs; });
    RunShutdownRoutine();
    RunShutdownRoutine();
    EXPECT_EQ(runs, 1);
}

TEST(Binding, EmptyLibraryNameFindsConversionInBuiltinKernel) {
    EXPECT_EQ(BoundAddress(kMultiByteToWideChar), reinterpret_cast<void*>(&MultiByteToWideChar));
    EXPECT_EQ(BoundAddress(kWideCharToMultiByte), reinterpret_cast<void*>(&WideCharToMultiByte));
    EXPECT_EQ(LibraryFunctionTable()[kMultiByteToWideChar].libraryFile, "");
}

TEST(Binding, MessagesNameLibraryAndExport) {
    EXPECT_EQ(BindingFailureMessage({"jedata.dll", "SkinH_AttachEx"}),
              "无法找到指定DLL库文件“jedata.dll”中的输出命令“SkinH_AttachEx”");
    EXPECT_EQ(BindingFailureMessage({"", "Nothing"}), "无法找到指定DLL库文件中的输出命令“Nothing”");
}

class DriveC : public testing::Test {
   protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / ("varnoke-runtime-" + std::to_string(getpid()));
        setenv("XDG_DATA_HOME", root_.c_str(), 1);
        ReleaseBoundLibraries();
    }
    void TearDown() override {
        ReleaseBoundLibraries();
        std::filesystem::remove_all(root_);
    }
    std::filesystem::path root_;
};

using AttachFn = int32_t(const char*, const char*);

TEST_F(DriveC, ProgramDirectoryIsSearchedBeforeWindowsDirectory) {
    const std::filesystem::path windows = HostPath("C:\\Windows");
    ASSERT_TRUE(MakeDirectories(windows));
    std::filesystem::copy_file(DRIVE_PROBE, windows / "jedata.dll");
    EXPECT_EQ(BoundFunction<AttachFn>(kSkinH_AttachEx)("", ""), 1);
}

TEST_F(DriveC, MissingExportNamesLibraryAndExport) {
    EXPECT_EXIT(BoundAddress(kSkinH_AdjustAero), ExitedWithCode(255),
                Eq(Report(0, "无法找到指定DLL库文件“jedata.dll”中的输出命令“SkinH_AdjustAero”")));
}

TEST_F(DriveC, BindingHoldsUntilReleased) {
    void* first = BoundAddress(kSkinH_AdjustHSV);
    EXPECT_EQ(BoundAddress(kSkinH_AdjustHSV), first);
    EXPECT_NE(first, nullptr);
}

TEST(HostPath, MapsDrivesUnderDataHome) {
    setenv("XDG_DATA_HOME", "/tmp/data", 1);
    EXPECT_EQ(HostPath("C:\\Windows\\jedata.dll"), "/tmp/data/varnoke/drive_c/Windows/jedata.dll");
    EXPECT_EQ(HostPath("d:\\x"), "/tmp/data/varnoke/drive_d/x");
    EXPECT_EQ(HostPath("a\\b"), "a/b");
    setenv("XDG_DATA_HOME", "relative", 1);
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(HostPath("C:\\Windows"), "/home/u/.local/share/varnoke/drive_c/Windows");
}

}  // namespace
