#include "tests/app/data_home.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

TemporaryDataHome::TemporaryDataHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnoke-test-XXXXXX").string();
    if (const char* made = mkdtemp(pattern.data())) path_ = made;
    if (const char* previous = getenv("XDG_DATA_HOME")) {
        previous_ = previous;
        hadPrevious_ = true;
    }
    setenv("XDG_DATA_HOME", path_.c_str(), 1);
}

TemporaryDataHome::~TemporaryDataHome() {
    if (hadPrevious_)
        setenv("XDG_DATA_HOME", previous_.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
