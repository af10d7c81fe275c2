// The ".SHE" skin file: one skin in a small line-oriented UTF-8 format.
//
//   .SHE 1                       the magic ".SHE", a blank, format version 1
//   name    win8                 the skin's name
//   style   Fusion               the Qt widget style the skin sits on
//   radius  2                    corner radius in pixels (a glass adjustment
//                                replaces it)
//   colour  face  #F0F0F0        a named colour; names are a-z and 0-9
//   role    Window  face         a palette role, in all three colour groups,
//   role    Disabled:Text muted  or in one (Active, Inactive, Disabled)
//   sheet                        the rest of the file: the style-sheet template
//
// Before `sheet`, blank lines and lines starting with '#' are skipped, and
// fields are separated by blanks; a role names a colour defined above it.
// In the template, @name stands for a named colour after the hue, saturation
// and brightness adjustment, @sheen(name) for that colour with the glass
// gloss laid over it (white at the gloss opacity), both written #rrggbb, and
// @radius for the corner radius, written as "3px".
//
// A file is refused whole, so that nothing of it is applied, when the magic
// or version is wrong, a line is not one of the forms above, a colour or
// role is unknown, a name is defined twice, or the template names an
// unknown @token.
//
//   ReadSkinFile(".SHE 1\nname x\nstyle Fusion\ncolour face #F0F0F0\nsheet\nQWidget{}")
//       -> a skin "x" with one colour;
//   ReadSkinFile("SHE 1\n...") -> std::nullopt
#pragma once

#include <QByteArray>
#include <QColor>
#include <QMap>
#include <QPalette>
#include <QString>

#include <optional>
#include <vector>

struct SkinRoleColour {
    std::optional<QPalette::ColorGroup> group;  // none: every group
    QPalette::ColorRole role;
    QString colour;  // a name from SkinFile::colours
};

struct SkinFile {
    QString name;
    QString style;
    int radius = 0;
    QMap<QString, QColor> colours;
    std::vector<SkinRoleColour> roles;
    QString sheet;
};

std::optional<SkinFile> ReadSkinFile(const QByteArray& bytes);

// The template with every token replaced; `colours` holds each named colour
// as it is to be shown.
//   RenderSkinSheet("a{color:@face;border-radius:@radius}", {{"face", Qt::red}}, 0, 3)
//       == "a{color:#ff0000;border-radius:3px}"
//   RenderSkinSheet("@sheen(face)", {{"face", Qt::black}}, 255, 0) == "#ffffff"
QString RenderSkinSheet(const QString& sheet, const QMap<QString, QColor>& colours, int sheen,
                        int radius);
