#include "app/window_place.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

void Fit(QWidget* window, QSize outerSize, QMargins frame, bool frameReported) {
    window->setFixedSize(outerSize.shrunkBy(frame));
    QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const QPoint outerTopLeft(area.x() + (area.width() - outerSize.width()) / 2,
                              area.y() + (area.height() - outerSize.height()) / 2);
    // A window without a frame is placed by its client area.
    window->move(frameReported ? outerTopLeft : outerTopLeft + QPoint(frame.left(), frame.top()));
}

// Watches a window until the window system first reports its frame.
class FrameWatch : public QObject {
   public:
    FrameWatch(QWidget* window, QSize outerSize) : QObject(window), outerSize_(outerSize) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Move && event->type() != QEvent::Show) return false;
        auto* window = static_cast<QWidget*>(watched);
        const QMargins frame = window->windowHandle() != nullptr ? window->windowHandle()->frameMargins() : QMargins();
        if (frame.isNull()) return false;
        window->removeEventFilter(this);
        deleteLater();
        Fit(window, outerSize_, frame, true);
        return false;
    }

   private:
    QSize outerSize_;
};

}  // namespace

void PlaceWindow(QWidget* window, QSize outerSize) {
    Fit(window, outerSize, kNominalFrame, false);
    window->installEventFilter(new FrameWatch(window, outerSize));
}
