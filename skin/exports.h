// The skin engine's exports: the three calls the program makes into
// jedata.dll through its library bindings. The engine styles the running
// QApplication (widget style, palette and style sheet); it never touches a
// window directly, so windows created later are skinned too.
//
//   SkinH_AttachEx("C:\\Windows\\win8.she", "");   // 1: the skin is applied
//   SkinH_AdjustHSV(-80, 0, 0);                    // the accent turns green
//   SkinH_AdjustAero(210, 0, 0, 3, 0, 0, 0, 0, 0); // gloss and round corners
//
// Every call returns 1 when the look changed and 0 when it did not; the
// program examines none of the results.
#pragma once

#include <cstdint>

extern "C" {

// Reads the skin file (a Windows path: drive C maps to the program's drive C
// directory) and applies its look to the application, keeping any
// adjustments made before. A missing, unreadable or malformed file, or no
// QApplication, changes nothing and gives 0. `reserved` is not used and may
// be null.
int32_t SkinH_AttachEx(const char* skinFile, const char* reserved);

// Recolours every colour of the skin: the hue turns by `hue` degrees
// (-180..180), saturation and brightness scale by `saturation` and
// `brightness` percent (-100..100; -100 removes it all, 100 doubles it).
// Out-of-range values are clamped. Each call replaces the previous
// adjustment, measured from the skin file's own colours, and greys (no
// saturation) keep their colour. Remembered before a skin is attached, in
// which case the result is 0.
//   SkinH_AdjustHSV(-80, 0, 0);  // accent #2A7AC0 (hue 208) -> #2AC03E (hue 128)
int32_t SkinH_AdjustHSV(int32_t hue, int32_t saturation, int32_t brightness);

// The glass adjustment. `sheen` (0..255) is the opacity of a white gloss
// over the upper half of push buttons; `cornerRadius` (0..12 pixels) rounds
// buttons and edit boxes, replacing the skin's own radius. The other seven
// values are reserved for further glass effects and must be 0; they are
// ignored. Each call replaces the previous one; remembered like
// SkinH_AdjustHSV.
int32_t SkinH_AdjustAero(int32_t sheen, int32_t reserved1, int32_t reserved2, int32_t cornerRadius,
                         int32_t reserved3, int32_t reserved4, int32_t reserved5, int32_t reserved6,
                         int32_t reserved7);

}  // extern "C"

using SkinH_AttachExFn = decltype(SkinH_AttachEx);
using SkinH_AdjustHSVFn = decltype(SkinH_AdjustHSV);
using SkinH_AdjustAeroFn = decltype(SkinH_AdjustAero);
