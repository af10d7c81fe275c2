// Sizing and centring a top-level window whose size is given from the
// outside: frame and title bar included.
//
//   PlaceWindow(window, {470, 427});
//   // no window manager (no frame): client 464 x 398 at
//   //   ((screen width - 470) / 2 + 3, (screen height - 427) / 2 + 26)
#pragma once

#include <QMargins>
#include <QSize>

class QWidget;

// The frame assumed while the window system reports none: 3 pixels at the
// sides and bottom, 26 at the top.
inline constexpr QMargins kNominalFrame(3, 26, 3, 3);

// Fixes the window's client size at the outer size less its frame and
// centres the outer rectangle on the window's screen (integer division).
// Until the window system reports a frame, the nominal one stands in; once
// it reports one, after the window is first mapped, the window is fitted
// again to that frame, once.
void PlaceWindow(QWidget* window, QSize outerSize);
