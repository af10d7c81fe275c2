// The system's texts are code page 936; Qt shows UTF-16. These convert at the
// window's edge, through the toolkit's own conversion routines.
//
//   ToQString(Utf8ToAnsi("信息：")) == QStringLiteral("信息：")
#pragma once

#include <QString>

#include "text/text.h"

// Code page 936 to what a control shows.
QString ToQString(const Text& text);

// What a control shows to code page 936; a character the code page lacks
// becomes '?'. An empty string gives the empty text.
Text FromQString(const QString& string);
