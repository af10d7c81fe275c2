// Putting the skin engine and its skin on disk at every start, and
// attaching the skin.
//
//   DeploySkin();   // drive C's Windows directory now holds jedata.dll and
//                   // win8.she, the bytes of SkinEngineImage and SkinFileImage
#pragma once

#include <initializer_list>
#include <string_view>

#include "text/text.h"

// Writes the data values one after another, skipping empty ones, to the file
// at `path`, a Windows path (drive C is the program's drive C directory),
// creating the file or replacing what it held; true when the file was
// created and everything was written. An empty path gives false and touches
// nothing; no data, or only empty values, leaves an empty file.
//
// The bytes go to a new file beside the target, which nobody else has open,
// and that file then takes the target's name in one step. So a reader never
// sees a half-written file, and another instance that runs the library from
// the old file keeps its copy intact. On failure the target is left as it
// was and the new file is removed.
//   WriteBytesToFile("C:\\Windows\\win8.she", {SkinFileImage}) == true
//   WriteBytesToFile("", {SkinFileImage}) == false
bool WriteBytesToFile(const Text& path, std::initializer_list<std::string_view> data);

// Creates drive C's Windows directory where missing, writes
// "C:\Windows\jedata.dll" and "C:\Windows\win8.she" (whether or not the
// writes succeed) and attaches the skin through SkinH_AttachEx, which binds
// "jedata.dll" by its bare name. No library of that name with that export:
// the fatal binding error.
void DeploySkin();
