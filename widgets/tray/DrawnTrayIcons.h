#pragma once
#include <QIcon>

#include <vector>

namespace kd {

// The program's 32x32 notification icons, drawn here: a drive with a green light; the
// frames of a run show a ring of segments whose lit segment goes round.
QIcon DrawTrayIcon();
std::vector<QIcon> DrawTrayFrames(int count = 3);

} // namespace kd
