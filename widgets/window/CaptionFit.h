#pragma once

class QMainWindow;
class QWidget;

namespace kd {

// Sizes a main window so that every caption shows whole: the menus, each action of the
// tool bars, and in the status bar the longest status tip of the window's widgets and
// actions beside the permanent widgets. Where the top tool bars do not fit side by side
// on the screen, the later ones go to rows of their own. Never smaller than the window
// is, and within the available area of its screen. For a window about to show, after
// its texts are in their language.
void fitToCaptions(QMainWindow& window);

// Widens a window so that its title shows whole in the window manager's title bar, with
// room for the bar's icon and buttons, within its screen. A message box, which sizes
// itself as it shows, gets the width as its minimum.
void fitToTitle(QWidget& window);

} // namespace kd
