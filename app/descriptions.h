// The stored window descriptions: Qt Designer forms in the program's
// resources (:/windows/<name>.ui), read once at start-up and kept in memory.
// A window is built from its description each time it is created.
//
//   LoadWindowDescriptions();                          // at start-up
//   QWidget* window = CreateWindowFromDescription("MainWindow");
#pragma once

#include <string_view>

class QWidget;

// Reads every description; the fatal error "载入窗口模板数据段出错!" when one
// cannot be read or holds no form.
void LoadWindowDescriptions();

// A new, hidden top-level window with its controls, owned by the caller; null
// when the description is unknown or cannot be built.
QWidget* CreateWindowFromDescription(std::string_view name);

// Frees the descriptions at shutdown.
void FreeWindowDescriptions();
