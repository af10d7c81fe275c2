// The listen window: a small window whose browser box plays the sound the
// last parse found.
#pragma once

// Process set-up, before the application object exists: what the embedded
// browser needs that early.
void PrepareListenWindow();

// Opens ListenWindow modally, without an owner window; returns when it has
// been closed. Each opening creates a new window with a new browser box.
void OpenListenWindow();
