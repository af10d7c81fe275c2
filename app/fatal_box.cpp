#include "app/fatal_box.h"

#include <QMessageBox>

void ShowFatalErrorBox(const std::string& reportUtf8) {
    // The report's line breaks are "\r\n"; a Qt label breaks on "\n" alone.
    QString report = QString::fromStdString(reportUtf8);
    report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Critical, QStringLiteral(u"错误"), report, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
