#pragma once
#include <QString>
#include <QStringList>

namespace kd {

// A list of lines as one value of a language file: each line followed by ",", a ","
// inside a line doubled, the last "," dropped. An empty list gives an empty text.
QString joinTextLines(const QStringList& lines);

// The reverse: ",," is a "," inside a line, a single "," ends a line. A text that ends
// with a single "," ends with that line (no empty line after it).
QStringList splitTextLines(const QString& text);

} // namespace kd
