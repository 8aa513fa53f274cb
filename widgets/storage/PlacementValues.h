#pragma once
#include <string>

class QWidget;

namespace kd {

class PlacementStore;

// The values of one window's placement in a section: "Flags", "ShowCmd" (1 normal,
// 2 minimised, 3 maximised), "PixelsPerInch", and the position strings "MinMaxPos" and
// "NormPos" ("left,top,right,bottom" of the normal frame position with the normal
// size), each written twice: under its name followed by the screen size, as
// "NormPos(1024x768)", and under the bare name.
void SavePlacementValues(QWidget& form, PlacementStore& store, const std::string& section);
// Reads them back: the position only when the stored pixels per inch are the screen's
// (the rectangle clamped onto the screen it touches, or the nearest), the state from
// "ShowCmd". True when a stored rectangle was put on the window.
bool RestorePlacementValues(QWidget& form, PlacementStore& store, const std::string& section,
                            bool loadPosition, bool loadState);

// "(width x height)" of the primary screen, as "(1024x768)".
std::string screenSizeSuffix();
int screenPixelsPerInch();

} // namespace kd
