#pragma once
#include "report/ReportDefaults.h"

#include <QCursor>
#include <string>
#include <vector>

namespace kd {

// The report designer's tables, prepared when the program starts (after the
// application object exists; the font list and cursors at their first use, on the
// GUI thread) and released at its end. The first living ReportLibrary
// prepares them, the last one to go releases them.
class ReportLibrary {
public:
    ReportLibrary();
    ~ReportLibrary();
    ReportLibrary(const ReportLibrary&) = delete;
    ReportLibrary& operator=(const ReportLibrary&) = delete;

    static bool started();
    // The screen's font families followed by the three printer fonts.
    static const std::vector<std::string>& fontList();
    static const TPageDefaults& pageDefaults();
    static const TDrawingDefaults& drawingDefaults();
    // The designer cursor of index 1 to 21; the arrow for any other index.
    static QCursor cursor(int index);
};

} // namespace kd
