#pragma once
#include <QCursor>

namespace kd {

// The kit's own cursors in the program's cursor table.
inline constexpr int crKitHand = 14000;
inline constexpr int crKitDrag = 14001;

// Enters the hand and drag cursors in the cursor table; run once at start-up.
void RegisterKitCursors();
bool KitCursorRegistered(int id);
// The registered cursor, or the arrow for an id nobody registered.
QCursor KitCursor(int id);

} // namespace kd
