#include "app/listen/listen_window.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

#include <unistd.h>

#include <memory>
#include <string_view>
#include <vector>

#include "app/descriptions.h"
#include "app/listen/browser_box.h"
#include "app/qt_text.h"
#include "app/site.h"
#include "app/window_place.h"
#include "sound/fields.h"
#include "text/codepage.h"

namespace {

// The player's own settings, passed on as they are: its colours, looping and
// starting at once, each introduced by "&amp;".
constexpr std::string_view kPlayerSettings =
    "&amp;bg=0xeeeeee&amp;leftbg=0xADADAD&amp;lefticon=0x333333&amp;rightbg=0xA3A3A3"
    "&amp;rightbghover=0x6E6E6E&amp;righticon=0x030303&amp;righticonhover=0xffffff"
    "&amp;text=0x666666&amp;slider=0x666666&amp;track=0xFFFFFF&amp;border=0x666666"
    "&amp;loader=0x999999&amp;loop=yes&amp;autostart=yes";
static_assert(kPlayerSettings.size() == 284);

constexpr char kBrowserBoxName[] = "超文本浏览框1";
constexpr QSize kOuterSize(386, 81);

const Text& CaptionStart() {
    static const Text start = Utf8ToAnsi("正在试听：");
    return start;
}

// The created event: the caption names the sound, and the browser box loads
// the player with the sound's link.
void LoadPlayer(QWidget* window) {
    window->setWindowTitle(ToQString(ConcatText(CaptionStart(), SoundName, " - ", kMakerSite)));
    SetBrowserBoxAddress(window->findChild<QWidget*>(kBrowserBoxName),
                         ConcatText("http://", kPlayerHost, "/player.swf?soundFile=", SoundLink, kPlayerSettings));
}

struct EnabledState {
    QPointer<QWidget> window;
    bool enabled;
};

std::vector<EnabledState> DisableOtherWindows(const QWidget* listenWindow) {
    std::vector<EnabledState> states;
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other == listenWindow) continue;
        states.push_back({other, other->isEnabled()});
        other->setEnabled(false);
    }
    return states;
}

void RestoreEnabledStates(std::vector<EnabledState>& states) {
    for (const EnabledState& state : states)
        if (state.window) state.window->setEnabled(state.enabled);
    states.clear();
}

// Closing the window gives the other windows their enabled states back,
// before the window goes, and ends the window's message loop.
class CloseWatch final : public QObject {
   public:
    CloseWatch(std::vector<EnabledState>& disabled, QEventLoop& loop) : disabled_(disabled), loop_(loop) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            RestoreEnabledStates(disabled_);
            loop_.quit();
        }
        return false;
    }

   private:
    std::vector<EnabledState>& disabled_;
    QEventLoop& loop_;
};

}  // namespace

void PrepareListenWindow() {
    // The web engine's sandbox refuses to run as root.
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void OpenListenWindow() {
    const std::unique_ptr<QWidget> window(CreateWindowFromDescription("ListenWindow"));
    if (window == nullptr) return;
    ReplaceWithBrowserBox(window->findChild<QWidget*>(kBrowserBoxName));
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    PlaceWindow(window.get(), kOuterSize);
    window->setWindowModality(Qt::ApplicationModal);
    // A window shortcut: Esc alone, wherever the focus is, even in the browser.
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), window.get()), &QShortcut::activated, window.get(),
                     &QWidget::close);
    LoadPlayer(window.get());
    window->show();
    std::vector<EnabledState> disabled = DisableOtherWindows(window.get());
    QEventLoop loop;
    CloseWatch watch(disabled, loop);
    window->installEventFilter(&watch);
    loop.exec();
    window->removeEventFilter(&watch);
    RestoreEnabledStates(disabled);
}
