// A drive C of its own for a test: XDG_DATA_HOME points at a new temporary
// directory while the object lives, and the directory is removed after.
//
//   TemporaryDataHome home;
//   home.WindowsDirectory();   // "<home>/varnoke/drive_c/Windows", not created
#pragma once

#include <string>

class TemporaryDataHome {
   public:
    TemporaryDataHome();
    ~TemporaryDataHome();
    TemporaryDataHome(const TemporaryDataHome&) = delete;
    TemporaryDataHome& operator=(const TemporaryDataHome&) = delete;

    const std::string& Path() const { return path_; }
    std::string WindowsDirectory() const { return path_ + "/varnoke/drive_c/Windows"; }

   private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
