#include "report/ReportLibrary.h"

#include "report/DesignerCursors.h"

#include <QFontDatabase>

namespace kd {
namespace {

struct Tables {
    int startups = 0;
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
    t.fonts = screenAndPrinterFonts();
    t.page = startupPageDefaults();
    t.drawing = startupDrawingDefaults();
    t.cursors = makeDesignerCursors();
}

ReportLibrary::~ReportLibrary() {
    Tables& t = tables();
    if (--t.startups > 0)
        return;
    t.fonts.clear();
    t.page = {};
    t.drawing = {};
    t.cursors.clear();
}

bool ReportLibrary::started() {
    return tables().startups > 0;
}

const std::vector<std::string>& ReportLibrary::fontList() {
    return tables().fonts;
}

const TPageDefaults& ReportLibrary::pageDefaults() {
    return tables().page;
}

const TDrawingDefaults& ReportLibrary::drawingDefaults() {
    return tables().drawing;
}

QCursor ReportLibrary::cursor(int index) {
    const auto& cursors = tables().cursors;
    if (index < 1 || index > static_cast<int>(cursors.size()))
        return QCursor(Qt::ArrowCursor);
    return cursors[static_cast<std::size_t>(index - 1)];
}

} // namespace kd
