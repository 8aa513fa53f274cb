#pragma once
#include "app/gui/TListDialog.h"
#include "platform/UiHost.h"

namespace kd {

class TFilenameEdit;

// The file-mask list dialog of the profile editor: the input adds its file-name part.
class TFrmSeznamSouboru : public TListDialog {
    Q_OBJECT
public:
    explicit TFrmSeznamSouboru(UiHost& ui, QWidget* parent = nullptr);

    // The file dialog's title and choices.
    static constexpr const char* DialogTitle = "Vyhledejte soubor";
    static constexpr const char* Filter = "Všechny soubory (*.*)|*.*|Dokumenty|*.doc;*.rtf|"
                                          "Tabulky|*.xls|Bitmapy|*.jpg;*.gif;*.bmp";

    void setInitialDirectory(std::string directory) override;

protected:
    std::string lineFromInput(const std::string& input) const override;

private:
    TFilenameEdit* edit_;
};

// The text after the last "/", "\" or ":" of a path.
std::string fileNamePart(const std::string& path);

} // namespace kd
