// Until the browser box lands: the bare window, opened modally.
#include "app/listen/listen_window.h"

#include <QWidget>

#include "app/descriptions.h"

void PrepareListenWindow() {}

void OpenListenWindow() {
    QWidget* window = CreateWindowFromDescription("ListenWindow");
    if (window == nullptr) return;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
}
