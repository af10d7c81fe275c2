// The hypertext browser box: the listen window's embedded web browser.
//
// The browser itself lives in the browser module (browser_module.h), which
// the first box of the run loads, from the program directory or else from
// where the build put it; until then the program has not touched the web
// engine. A module that cannot be loaded is a fatal error with the binding
// message "无法找到指定DLL库文件“varnoke_browser.so”中的输出命令“CreateBrowser”".
//
//   QWidget* box = ReplaceWithBrowserBox(window->findChild<QWidget*>("超文本浏览框1"));
//   SetBrowserBoxAddress(box, address);         // starts loading at once
//   BrowserBoxAddress(box) == address;          // byte for byte
#pragma once

#include "text/text.h"

class QWidget;

// Puts a new browser box in the place of `placeholder`, a child widget that
// stands for it in a window description: same parent, object name, geometry
// and focus policy. Deletes the placeholder.
QWidget* ReplaceWithBrowserBox(QWidget* placeholder);

// Hands the box an address, which it starts loading at once. The bytes are
// code page 936, passed on without escaping or encoding; what the browser
// makes of characters an address may not hold is the browser's.
void SetBrowserBoxAddress(QWidget* box, const Text& address);

// The address the box was last handed, as it was handed; empty before any.
Text BrowserBoxAddress(const QWidget* box);
