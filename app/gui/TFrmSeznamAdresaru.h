#pragma once
#include "app/gui/TListDialog.h"
#include "platform/UiHost.h"

namespace kd {

class TDirectoryEdit;

// The directory list dialog of the profile editor: the input is added whole.
class TFrmSeznamAdresaru : public TListDialog {
    Q_OBJECT
public:
    explicit TFrmSeznamAdresaru(UiHost& ui, QWidget* parent = nullptr);

    void setInitialDirectory(std::string directory) override;

protected:
    std::string lineFromInput(const std::string& input) const override { return input; }

private:
    TDirectoryEdit* edit_;
};

} // namespace kd
