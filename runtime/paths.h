// Where the program lives, and where the fixed Windows paths it writes land.
//
// Drive C is a per-user directory, so the program never needs root:
// $XDG_DATA_HOME/varnoke/drive_c, with XDG_DATA_HOME defaulting to
// ~/.local/share. Other drive letters sit beside it as drive_d and so on.
//
//   HostPath("C:\\Windows\\win8.she")  // ".../varnoke/drive_c/Windows/win8.she"
#pragma once

#include <string>
#include <string_view>

// The directory of the running executable, without a trailing slash.
std::string ProgramDirectory();

// The host path of a Windows path: a drive letter and colon map to that
// drive's directory, backslashes become slashes. A path without a drive
// letter only has its backslashes turned.
std::string HostPath(std::string_view windowsPath);

// Creates the directory and its parents where missing; true when it exists.
bool MakeDirectories(const std::string& path);
