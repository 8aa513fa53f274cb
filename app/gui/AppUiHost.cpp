#include "app/gui/AppUiHost.h"

#include "app/gui/TPasswordDlg.h"

namespace kd {

std::optional<std::string> AppUiHost::passwordDialog() {
    // Without a display nobody could answer: the question is cancelled.
    if (!interactive())
        return std::nullopt;
    TPasswordDlg dialog(parentWidget());
    return dialog.ask();
}

} // namespace kd
