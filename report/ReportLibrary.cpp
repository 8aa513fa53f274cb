#include "report/ReportLibrary.h"

#include "report/DesignerCursors.h"

#include <QFontDatabase>

namespace kd {
namespace {

// The font list and the cursors are made at their first use while the library is
// started: listing every font family and drawing the cursors took a tenth of the
// program's start-up, which a run from the command line never needs.
struct Tables {
    int startups = 0;
    bool fontsMade = false;
    bool cursorsMade = false;
    std::vector<std::string> fonts;
    TPageDefaults page;
    TDrawingDefaults drawing;
    std::vector<QCursor> cursors;
};

Tables& tables() {
    static Tables t;
    return t;
}

std::vector<std::string> screenAndPrinterFonts() {
    std::vector<std::string> fonts;
    for (const QString& family : QFontDatabase::families())
        fonts.push_back(family.toStdString());
    for (const char* printerFont : {"Roman 10cpi", "Roman 12cpi", "Roman 17cpi"})
        fonts.emplace_back(printerFont);
    return fonts;
}

} // namespace

ReportLibrary::ReportLibrary() {
    Tables& t = tables();
    if (t.startups++ > 0)
        return;
    t.page = startupPageDefaults();
    t.drawing = startupDrawingDefaults();
}

ReportLibrary::~ReportLibrary() {
    Tables& t = tables();
    if (--t.startups > 0)
        return;
    t.fonts.clear();
    t.page = {};
    t.drawing = {};
    t.cursors.clear();
    t.fontsMade = t.cursorsMade = false;
}

bool ReportLibrary::started() {
    return tables().startups > 0;
}

const std::vector<std::string>& ReportLibrary::fontList() {
    Tables& t = tables();
    if (t.startups > 0 && !t.fontsMade) {
        t.fonts = screenAndPrinterFonts();
        t.fontsMade = true;
    }
    return t.fonts;
}

const TPageDefaults& ReportLibrary::pageDefaults() {
    return tables().page;
}

const TDrawingDefaults& ReportLibrary::drawingDefaults() {
    return tables().drawing;
}

QCursor ReportLibrary::cursor(int index) {
    Tables& t = tables();
    if (t.startups > 0 && !t.cursorsMade) {
        t.cursors = makeDesignerCursors();
        t.cursorsMade = true;
    }
    const auto& cursors = t.cursors;
    if (index < 1 || index > static_cast<int>(cursors.size()))
        return QCursor(Qt::ArrowCursor);
    return cursors[static_cast<std::size_t>(index - 1)];
}

} // namespace kd
