#include "app/gui/TFrmSeznamSouboru.h"

namespace kd {

std::string fileNamePart(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

TFrmSeznamSouboru::TFrmSeznamSouboru(UiHost& ui, QWidget* parent)
    : TListDialog(ui, "FrmSeznamSouboru", "Seznam souborů ", parent) {}

std::string TFrmSeznamSouboru::lineFromInput(const std::string& input) const {
    return fileNamePart(input);
}

std::optional<std::string> TFrmSeznamSouboru::browse(UiHost& ui, const std::string& start) const {
    return ui.chooseFile("", start, Filter);
}

} // namespace kd
