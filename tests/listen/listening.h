// What the listen window tests share: opening the window and looking into
// its browser box while it is open.
//
//   WhileListening(OpenListenWindow, [](QWidget* window) {
//       QWidget* box = BrowserBox(window);
//       EXPECT_TRUE(WaitForPlaying(box));
//   });
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>

class QWidget;

// The address the listen window hands its browser box for `link`, written
// out here on its own: the player location, the link, the fixed settings.
std::string ExpectedPlayerAddress(std::string_view link);
// The fixed settings alone, as the player page's query ends.
QString ExpectedPlayerSettings();

// Runs `open`, which opens the listen window and returns once it is closed,
// and `check` inside the window's message loop once the window shows. Closes
// the window after `check` unless it did; a failure when it never shows.
void WhileListening(const std::function<void()>& open, const std::function<void(QWidget* window)>& check);

QWidget* BrowserBox(QWidget* listenWindow);

// The player's audio position in seconds; 0 before the player page is there.
double CurrentTime(QWidget* box);
// Waits up to fifteen seconds for the position to pass 0.
bool WaitForPlaying(QWidget* box);
// Waits up to fifteen seconds for the player page to have run its script.
bool WaitForPlayerPage(QWidget* box);
