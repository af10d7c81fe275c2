#include "skin/skin_file.h"

#include <QMetaEnum>
#include <QRegularExpression>

namespace {

const QRegularExpression& TokenPattern() {
    static const QRegularExpression pattern(QStringLiteral("@([a-z0-9]+)(?:\\(([a-z0-9]+)\\))?"));
    return pattern;
}

bool IsName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[a-z0-9]+$"));
    return pattern.match(name).hasMatch();
}

std::optional<int> EnumValue(const QMetaEnum& meta, const QString& key) {
    bool found = false;
    const int value = meta.keyToValue(key.toUtf8().constData(), &found);
    return found ? std::optional<int>(value) : std::nullopt;
}

// "Window" or "Disabled:Text".
std::optional<SkinRoleColour> ReadRole(const QString& roleField, const QString& colour) {
    SkinRoleColour entry{std::nullopt, QPalette::NoRole, colour};
    QString roleName = roleField;
    if (const qsizetype colon = roleField.indexOf(u':'); colon >= 0) {
        const auto group = EnumValue(QMetaEnum::fromType<QPalette::ColorGroup>(), roleField.left(colon));
        if (!group || *group > QPalette::Inactive) return std::nullopt;
        entry.group = QPalette::ColorGroup(*group);
        roleName = roleField.mid(colon + 1);
    }
    const auto role = EnumValue(QMetaEnum::fromType<QPalette::ColorRole>(), roleName);
    if (!role || *role == QPalette::NoRole || *role >= QPalette::NColorRoles) return std::nullopt;
    entry.role = QPalette::ColorRole(*role);
    return entry;
}

bool TokensKnown(const SkinFile& skin) {
    for (const QRegularExpressionMatch& match : TokenPattern().globalMatch(skin.sheet)) {
        const QString token = match.captured(1), argument = match.captured(2);
        const bool known = token == u"sheen"    ? skin.colours.contains(argument)
                           : token == u"radius" ? argument.isEmpty()
                                                : argument.isEmpty() && skin.colours.contains(token);
        if (!known) return false;
    }
    return true;
}

// White at `sheen`/255 opacity over the colour.
QColor Glossed(const QColor& colour, int sheen) {
    auto blend = [sheen](int channel) { return channel + (255 - channel) * sheen / 255; };
    return QColor(blend(colour.red()), blend(colour.green()), blend(colour.blue()));
}

}  // namespace

std::optional<SkinFile> ReadSkinFile(const QByteArray& bytes) {
    const QString text = QString::fromUtf8(bytes);
    const qsizetype sheetLine = text.indexOf(QStringLiteral("\nsheet\n"));
    if (!text.startsWith(QStringLiteral(".SHE 1\n")) || sheetLine < 0) return std::nullopt;

    SkinFile skin;
    skin.sheet = text.mid(sheetLine + 7);
    const QStringList lines = text.left(sheetLine).split(u'\n').mid(1);
    for (const QString& line : lines) {
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        if (fields.isEmpty() || fields[0].startsWith(u'#')) continue;
        const QString& keyword = fields[0];
        if (keyword == u"name" && fields.size() >= 2 && skin.name.isEmpty()) {
            skin.name = fields.mid(1).join(u' ');
        } else if (keyword == u"style" && fields.size() == 2 && skin.style.isEmpty()) {
            skin.style = fields[1];
        } else if (keyword == u"radius" && fields.size() == 2) {
            bool number = false;
            skin.radius = fields[1].toInt(&number);
            if (!number || skin.radius < 0) return std::nullopt;
        } else if (keyword == u"colour" && fields.size() == 3 && IsName(fields[1]) &&
                   fields[1] != u"sheen" && fields[1] != u"radius" && !skin.colours.contains(fields[1])) {
            const QColor colour = QColor::fromString(fields[2]);
            if (!colour.isValid() || !fields[2].startsWith(u'#')) return std::nullopt;
            skin.colours.insert(fields[1], colour);
        } else if (keyword == u"role" && fields.size() == 3 && skin.colours.contains(fields[2])) {
            const auto role = ReadRole(fields[1], fields[2]);
            if (!role) return std::nullopt;
            skin.roles.push_back(*role);
        } else {
            return std::nullopt;
        }
    }
    if (skin.style.isEmpty() || !TokensKnown(skin)) return std::nullopt;
    return skin;
}

QString RenderSkinSheet(const QString& sheet, const QMap<QString, QColor>& colours, int sheen,
                        int radius) {
    QString rendered;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : TokenPattern().globalMatch(sheet)) {
        rendered += QStringView(sheet).mid(copied, match.capturedStart() - copied);
        const QString token = match.captured(1);
        if (token == u"sheen")
            rendered += Glossed(colours.value(match.captured(2)), sheen).name();
        else if (token == u"radius")
            rendered += QStringLiteral("%1px").arg(radius);
        else
            rendered += colours.value(token).name();
        copied = match.capturedEnd();
    }
    rendered += QStringView(sheet).mid(copied);
    return rendered;
}
