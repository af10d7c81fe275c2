// The listen window: a small fixed window whose browser box plays the sound
// the last parse found, through the program's built-in player.
//
//   PrepareListenWindow();                     // before the application object
//   QApplication application(argc, argv);
//   ...
//   OpenListenWindow();                        // returns once the user closed it
//
// Nothing of the web engine is loaded before the first opening: the browser
// box's module, the engine and the OpenGL context it shares come with the
// first box (browser_box.h), so the program starts as fast as one without
// them; the first opening takes that much longer than later ones.
#pragma once

// Process set-up, before the application object exists. Run as root, the web
// engine's sandbox cannot start, so it is switched off
// (QTWEBENGINE_DISABLE_SANDBOX=1); nothing else is done.
void PrepareListenWindow();

// Opens ListenWindow modally, without an owner window, and returns once it
// has been closed and destroyed, processing events meanwhile. Each opening
// builds a new window from its description, with a new browser box, fixed at
// the outer size 386 x 81 and centred on the screen. Before it first shows,
// its created event (LoadPlayer) sets the caption and the box's address from
// the fields as they are then:
//
//   caption: "正在试听：" SoundName " - " kMakerSite
//   address: "http://" kPlayerHost "/player.swf?soundFile=" SoundLink, then
//            the player's 284-character settings ("&amp;bg=0xeeeeee...")
//
// Once it shows, every other top-level window is disabled and its enabled
// state recorded. Esc alone, the close button or the system menu closes it;
// each recorded window gets its state back, then the window is destroyed.
// Nothing happens when the description cannot be built.
void OpenListenWindow();
