// MainWindow: the address box, the parse command that appends one
// information block per parse, and the listen command.
//
//   QWidget* window = CreateMainWindow();   // hidden, skin adjusted, placed
//   window->show();
//   // 按钮1 -> ParseSoundPage(window); 按钮2 -> ListenToSound(); Esc closes.
#pragma once

#include "text/text.h"

class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Builds MainWindow from its description, fills in the caption, the address
// box's first text, the banner and the credit line, binds the handlers and
// keys, runs the created event (AdjustSkin) and sizes and centres it. The
// window is hidden and deletes itself when closed. Null when the description
// is missing or lacks a control.
QWidget* CreateMainWindow();

// The created event: SkinH_AdjustHSV(-80, 0, 0), then
// SkinH_AdjustAero(210, 0, 0, 3, 0, 0, 0, 0, 0).
void AdjustSkin();

// For link, duration, cover and name in turn: reads the address box,
// fetches the page afresh and stores the field; then appends the six texts
// of the information block to 编辑框_信息, one AppendText each. Nothing is
// checked or reported: a failed fetch gives empty fields.
void ParseSoundPage(QWidget* mainWindow);

// With a SoundLink, opens the listen window and returns when it is closed;
// without one, the message box "请输入链接地址后再进行试听！" titled "信息：".
void ListenToSound();

// What the box shows, in code page 936 ('?' for a character it lacks).
Text EditText(const QLineEdit* box);

// Puts the caret at the very end of the box, whatever the user selected,
// scrolls it into view and inserts the text there; the caret ends behind it,
// still in view.
// The insertion is not recorded for undo (and, as the box keeps one undo
// history, the edits before it can no longer be undone).
void AppendText(QPlainTextEdit* box, const Text& text);
