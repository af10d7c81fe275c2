#include "app/descriptions.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QUiLoader>
#include <QWidget>

#include <map>
#include <string>

#include "runtime/fatal.h"

namespace {

constexpr std::string_view kWindowNames[] = {"MainWindow", "ListenWindow"};

std::map<std::string, QByteArray, std::less<>>& Descriptions() {
    static std::map<std::string, QByteArray, std::less<>> descriptions;
    return descriptions;
}

}  // namespace

void LoadWindowDescriptions() {
    for (std::string_view name : kWindowNames) {
        QFile file(QStringLiteral(":/windows/%1.ui").arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
        if (!file.open(QIODevice::ReadOnly)) FatalError(0, "载入窗口模板数据段出错!");
        QByteArray form = file.readAll();
        if (!form.contains("<ui")) FatalError(0, "载入窗口模板数据段出错!");
        Descriptions()[std::string(name)] = std::move(form);
    }
}

QWidget* CreateWindowFromDescription(std::string_view name) {
    const auto found = Descriptions().find(name);
    if (found == Descriptions().end()) return nullptr;
    QByteArray form = found->second;
    QBuffer buffer(&form);
    buffer.open(QIODevice::ReadOnly);
    QUiLoader loader;
    return loader.load(&buffer, nullptr);
}

void FreeWindowDescriptions() { Descriptions().clear(); }
