#pragma once
#include "platform/UiHost.h"

#include <QElapsedTimer>

#include <string>

class QWidget;

namespace kd {

// The texts of the buttons on the host's boxes and input boxes; the program gives them
// in its language. Czech until it does.
struct DialogButtonTexts {
    std::string ok = "OK";
    std::string cancel = "Zruš";
    std::string yes = "Ano";
    std::string no = "Ne";
    std::string retry = "Opakovat";
    std::string abort = "Přerušit";
    std::string ignore = "Ignorovat";
};

// The UI host of the running program: Qt's standard dialogs.
class QtUiHost : public UiHost {
public:
    // The parent of the dialogs may be set later, once the main window exists.
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    QWidget* parentWidget() const { return parent_; }
    void setButtonTexts(DialogButtonTexts texts) { buttonTexts_ = std::move(texts); }
    const DialogButtonTexts& buttonTexts() const { return buttonTexts_; }

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

protected:
    // Whether dialogs are shown at all; interactive() unless a test says otherwise.
    virtual bool showsDialogs() const { return interactive(); }

private:
    QWidget* parent_ = nullptr;
    int busyDepth_ = 0;
    QElapsedTimer lastPump_;
    DialogButtonTexts buttonTexts_;
};

} // namespace kd
