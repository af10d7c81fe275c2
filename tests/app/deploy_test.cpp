// Writing the skin's files and attaching the skin. This test runs from a
// directory that holds a marked build of the engine, as a program directory
// with its own jedata.dll would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QApplication>
#include <QVariant>

#include <filesystem>
#include <fstream>

#include "app/deploy.h"
#include "app/images.h"
#include "runtime/paths.h"
#include "tests/app/data_home.h"

namespace {

namespace fs = std::filesystem;

class DeployTest : public testing::Test {
   protected:
    void SetUp() override { ASSERT_TRUE(MakeDirectories(home_.WindowsDirectory())); }

    std::vector<std::string> WindowsDirectoryEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home_.WindowsDirectory()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TemporaryDataHome home_;
};

TEST_F(DeployTest, WritesTheValuesInOrderSkippingEmptyOnes) {
    EXPECT_TRUE(WriteBytesToFile("C:\\Windows\\a.bin", {"one", "", std::string_view("\0two", 4), "three"}));
    EXPECT_EQ(ReadWholeFile(home_.WindowsDirectory() + "/a.bin"), std::string("one\0twothree", 12));
    EXPECT_EQ(WindowsDirectoryEntries(), std::vector<std::string>{"a.bin"});
}

TEST_F(DeployTest, ReplacesWhatTheFileHeldAndAnEmptyValueLeavesAnEmptyFile) {
    const std::string path = home_.WindowsDirectory() + "/a.bin";
    std::ofstream(path) << std::string(10000, 'x');
    EXPECT_TRUE(WriteBytesToFile("C:\\Windows\\a.bin", {"new"}));
    EXPECT_EQ(ReadWholeFile(path), "new");
    EXPECT_TRUE(WriteBytesToFile("C:\\Windows\\a.bin", {""}));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(DeployTest, EmptyPathOrUnwritablePlaceGivesFalseAndLeavesNothingBehind) {
    EXPECT_FALSE(WriteBytesToFile("", {"data"}));
    EXPECT_FALSE(WriteBytesToFile(Text(), {"data"}));
    // A regular file where a directory is needed, and a directory where the
    // file should go: neither can be written, even by root.
    std::ofstream(home_.WindowsDirectory() + "/plain") << "keep";
    EXPECT_FALSE(WriteBytesToFile("C:\\Windows\\plain\\a.bin", {"data"}));
    fs::create_directory(home_.WindowsDirectory() + "/folder");
    EXPECT_FALSE(WriteBytesToFile("C:\\Windows\\folder", {"data"}));
    EXPECT_EQ(WindowsDirectoryEntries(), (std::vector<std::string>{"folder", "plain"}));
    EXPECT_EQ(ReadWholeFile(home_.WindowsDirectory() + "/plain"), "keep");
}

TEST_F(DeployTest, ReaderOfTheOldFileKeepsItsBytesWhileThePathGetsTheNewOnes) {
    // A running instance maps its library like this; truncating the file
    // under it would take the pages away.
    const std::string path = home_.WindowsDirectory() + "/jedata.dll";
    const std::string old(8192, 'o');
    std::ofstream(path, std::ios::binary) << old;
    const int file = open(path.c_str(), O_RDONLY);
    ASSERT_GE(file, 0);
    void* mapped = mmap(nullptr, old.size(), PROT_READ, MAP_PRIVATE, file, 0);
    close(file);
    ASSERT_NE(mapped, MAP_FAILED);

    EXPECT_TRUE(WriteBytesToFile("C:\\Windows\\jedata.dll", {"short"}));
    EXPECT_EQ(ReadWholeFile(path), "short");
    EXPECT_EQ(std::string_view(static_cast<const char*>(mapped), old.size()), old);
    munmap(mapped, old.size());
}

TEST_F(DeployTest, DeployRewritesBothFilesAndBindsTheProgramDirectorysEngine) {
    std::ofstream(home_.WindowsDirectory() + "/jedata.dll") << std::string(300000, 'x');
    std::ofstream(home_.WindowsDirectory() + "/win8.she") << "stale";
    DeploySkin();
    EXPECT_EQ(ReadWholeFile(home_.WindowsDirectory() + "/jedata.dll"), SkinEngineImage);
    EXPECT_EQ(ReadWholeFile(home_.WindowsDirectory() + "/win8.she"), SkinFileImage);
    EXPECT_EQ(WindowsDirectoryEntries(), (std::vector<std::string>{"jedata.dll", "win8.she"}));
    // The marked engine beside this test binary took the call, and attached
    // the skin the deployment wrote.
    EXPECT_EQ(qApp->property("skinEngine").toString(), QStringLiteral("jedata (test build)"));
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
