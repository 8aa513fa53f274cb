#pragma once
#include <QCursor>
#include <array>
#include <string_view>
#include <vector>

namespace kd {

// The names of the designer's 21 cursors, for the cursor indexes 1 to 21.
extern const std::array<std::string_view, 21> DesignerCursorNames;

// The cursor images: an arrow with the cursor's own mark beside it (our own drawing).
// Needs the application object.
std::vector<QCursor> makeDesignerCursors();

} // namespace kd
