#pragma once
#include "app/gui/TListDialog.h"

namespace kd {

// The file-mask list dialog of the profile editor: the input adds its file-name part.
class TFrmSeznamSouboru : public TListDialog {
    Q_OBJECT
public:
    explicit TFrmSeznamSouboru(UiHost& ui, QWidget* parent = nullptr);

    // The file dialog's choices.
    static constexpr const char* Filter =
        "All files (*);;Documents (*.doc *.rtf);;Tabulky (*.xls);;Bitmapy (*.jpg *.gif *.bmp)";

protected:
    std::string lineFromInput(const std::string& input) const override;
    std::optional<std::string> browse(UiHost& ui, const std::string& start) const override;
};

// The text after the last "/", "\" or ":" of a path.
std::string fileNamePart(const std::string& path);

} // namespace kd
