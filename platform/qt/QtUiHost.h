#pragma once
#include "platform/UiHost.h"

class QWidget;

namespace kd {

// The UI host of the running program: Qt's standard dialogs.
class QtUiHost : public UiHost {
public:
    // The parent of the dialogs may be set later, once the main window exists.
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    QWidget* parentWidget() const { return parent_; }

    // False on a platform without a display (offscreen, minimal): a dialog there could
    // never be answered, so boxes go to standard error and questions get their safe
    // default answer instead of waiting forever.
    static bool interactive();

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& initial, bool password) override;
    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override;
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter) override;
    void setBusyCursor(bool busy) override;
    void processEvents() override;

private:
    QWidget* parent_ = nullptr;
    int busyDepth_ = 0;
};

} // namespace kd
