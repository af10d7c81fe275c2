// The program's fixed addresses and its credit line.
#pragma once

#include <string_view>

// The maker's web site, shown in both windows' captions.
inline constexpr std::string_view kMakerSite = "www.varnoke.example";

// The host of the Echo service's web site, in the address box's first text.
inline constexpr std::string_view kEchoHost = "www.echo.example";

// Where the listen window's player is loaded from. A reserved name that never
// resolves: the program answers requests for it itself.
inline constexpr std::string_view kPlayerHost = "player.varnoke.invalid";

// The main window's credit line (UTF-8), naming the author and a date.
inline constexpr std::string_view kCreditLine = "Varnoke 开发组 · 2026年12月";
