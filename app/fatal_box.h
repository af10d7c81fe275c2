// The message box in which a fatal error reaches the user.
#pragma once

#include <string>

// One box without an owner window, titled "错误", with the error icon and a
// single OK button, showing the report (UTF-8) as plain text; returns when
// the user has closed it. Installed with SetFatalReporter once the
// application object exists.
void ShowFatalErrorBox(const std::string& reportUtf8);
