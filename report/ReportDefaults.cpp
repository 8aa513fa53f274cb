#include "report/ReportDefaults.h"

namespace kd {

TPageDefaults startupPageDefaults() {
    TPageDefaults page;
    page.width = 826;
    page.height = 1169;
    page.margins = {50, 50, 70, 70};
    page.scales = {1.0f, 1.0f};
    return page;
}

TDrawingDefaults startupDrawingDefaults() {
    TDrawingDefaults drawing;
    drawing.flag = 1;
    drawing.number = 14;
    drawing.colour = 16777215;  // white
    drawing.value = 1073741824; // 2.0f
    return drawing;
}

} // namespace kd
