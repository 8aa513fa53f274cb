#pragma once
#include <QImage>

namespace kd {

// Three 2 x 2 black dots on white for a button `buttonWidth` wide: the image is
// max(1, buttonWidth - 6) by 4 pixels.
QImage EllipsisGlyph(int buttonWidth);
// A small black arrow pointing down on white.
QImage DropDownGlyph();
// The folder picture of the file and directory edits (14 x 12), made once per process.
const QImage& FolderGlyph();

} // namespace kd
