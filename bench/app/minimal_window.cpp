// The yardstick for start-up: a Qt Widgets program that shows one empty
// window of the main window's client size. With --chinese-button the window
// holds one push button captioned in Chinese: what any window with Chinese
// text pays for fonts and widgets.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(464, 398);
    if (argc > 1 && std::strcmp(argv[1], "--chinese-button") == 0)
        (new QPushButton(QString::fromUtf8("按钮"), &window))->setGeometry(382, 157, 72, 24);
    window.show();
    return application.exec();
}
