// The browser module, varnoke_browser.so: the embedded web browser of the
// listen window and its built-in player, in a library of its own so that the
// program loads the web engine only when the listen window first opens.
// browser_box.h is the program's side of it.
#pragma once

class QWidget;

inline constexpr char kBrowserModuleFile[] = "varnoke_browser.so";
inline constexpr char kCreateBrowserExport[] = "CreateBrowser";

// A new embedded browser, a child of `parent`, with nothing loaded. It is
// silent: no page can open a dialog (script alerts, confirmations and prompts
// return at once as if dismissed, file choosers choose nothing, certificate
// errors are refused); it shows no context menu, zooms at factor 1.0 and
// plays media without a user gesture. Requests for
// http://<kPlayerHost>/player.swf are answered by the built-in player, query
// unchanged; no other request for that host leaves the program.
//
// Needs the global OpenGL share context to exist before the module is loaded
// (browser_box.cpp makes it).
extern "C" QWidget* CreateBrowser(QWidget* parent);
using CreateBrowserFunction = QWidget*(QWidget*);
