#pragma once
#include "app/gui/TListDialog.h"

namespace kd {

// The directory list dialog of the profile editor: the input is added whole.
class TFrmSeznamAdresaru : public TListDialog {
    Q_OBJECT
public:
    explicit TFrmSeznamAdresaru(UiHost& ui, QWidget* parent = nullptr);

protected:
    std::string lineFromInput(const std::string& input) const override { return input; }
    std::optional<std::string> browse(UiHost& ui, const std::string& start) const override {
        return ui.chooseDirectory("", start);
    }
};

} // namespace kd
