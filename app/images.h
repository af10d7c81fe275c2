// The files the program carries in its constant data: the skin engine and
// its skin, written to drive C at every start, and the banner and icon that
// the windows show. Each is the bytes of the file as the build made it; they
// live for the whole run and are never copied, changed or released.
//
//   SkinFileImage.substr(0, 4) == ".SHE"
//   BannerImage.substr(1, 3) == "PNG"
#pragma once

#include <QPixmap>

#include <string_view>

// jedata.dll as built with this program.
extern const std::string_view SkinEngineImage;
// The skin "win8".
extern const std::string_view SkinFileImage;
// A PNG picture, 470 x 153, 8-bit RGB.
extern const std::string_view BannerImage;
// A PNG picture, 64 x 64: the program's icon.
extern const std::string_view ProgramIconImage;

// The picture of one of the PNG images above.
QPixmap PngPixmap(std::string_view png);
