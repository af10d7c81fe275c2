#include "app/main_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>

#include "app/descriptions.h"
#include "app/images.h"
#include "app/listen/listen_window.h"
#include "app/qt_text.h"
#include "app/site.h"
#include "app/window_place.h"
#include "runtime/library.h"
#include "skin/exports.h"
#include "sound/fields.h"
#include "web/fetch.h"

using namespace Qt::StringLiterals;

namespace {

QLineEdit* AddressBox(QWidget* window) { return window->findChild<QLineEdit*>(u"编辑框_地址"_s); }
QPlainTextEdit* InformationBox(QWidget* window) { return window->findChild<QPlainTextEdit*>(u"编辑框_信息"_s); }

}  // namespace

QWidget* CreateMainWindow() {
    QWidget* window = CreateWindowFromDescription("MainWindow");
    if (window == nullptr) return nullptr;
    auto* banner = window->findChild<QLabel*>(u"图片框1"_s);
    auto* credit = window->findChild<QLabel*>(u"透明标签1"_s);
    auto* parse = window->findChild<QPushButton*>(u"按钮1"_s);
    auto* listen = window->findChild<QPushButton*>(u"按钮2"_s);
    QLineEdit* address = AddressBox(window);
    if (!banner || !credit || !parse || !listen || !address || !InformationBox(window) ||
        !window->findChild<QPushButton*>(u"按钮3"_s)) {
        delete window;
        return nullptr;
    }

    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    window->setWindowTitle(u"Varnoke - "_s + QString::fromUtf8(kMakerSite));
    address->setText(u"http://"_s + QString::fromUtf8(kEchoHost) + u"/sound/3638"_s);
    banner->setPixmap(PngPixmap(BannerImage));
    credit->setText(QString::fromUtf8(kCreditLine));

    QObject::connect(parse, &QPushButton::clicked, window, [window] { ParseSoundPage(window); });
    QObject::connect(listen, &QPushButton::clicked, window, [] { ListenToSound(); });
    // A window shortcut: it reaches the window before either edit box sees the key.
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), window), &QShortcut::activated, window, &QWidget::close);

    AdjustSkin();
    PlaceWindow(window, {470, 427});
    // Ready for a pasted address to replace the sample one.
    address->setFocus();
    address->selectAll();
    return window;
}

void AdjustSkin() {
    BoundFunction<SkinH_AdjustHSVFn>(kSkinH_AdjustHSV)(-80, 0, 0);
    BoundFunction<SkinH_AdjustAeroFn>(kSkinH_AdjustAero)(210, 0, 0, 3, 0, 0, 0, 0, 0);
}

void ParseSoundPage(QWidget* mainWindow) {
    const QLineEdit* address = AddressBox(mainWindow);
    for (const SoundFieldRow& row : SoundFieldTable())
        StoreSoundField(row, ExtractSoundField(FetchPageText(EditText(address)), row));
    QPlainTextEdit* information = InformationBox(mainWindow);
    for (int line = 1; line <= kInfoBlockLines; ++line) AppendText(information, InfoBlockLine(line));
}

void ListenToSound() {
    if (CompareText(SoundLink, "") != 0) {
        OpenListenWindow();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, u"信息："_s, u"请输入链接地址后再进行试听！"_s, QMessageBox::Ok);
    box.exec();
}

Text EditText(const QLineEdit* box) { return FromQString(box->text()); }

void AppendText(QPlainTextEdit* box, const Text& text) {
    QTextCursor end = box->textCursor();
    end.movePosition(QTextCursor::End);
    box->setTextCursor(end);
    box->ensureCursorVisible();
    QTextDocument* document = box->document();
    document->setUndoRedoEnabled(false);
    box->insertPlainText(ToQString(text));
    document->setUndoRedoEnabled(true);
    // As an edit box does after any change: the caret stays in view.
    box->ensureCursorVisible();
}
