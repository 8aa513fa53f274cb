#pragma once
#include "platform/qt/QtUiHost.h"
#include "widgets/window/TitleFit.h"

#include <memory>
#include <string>

class QTranslator;

namespace kd {

// The running program's UI host: Qt's dialogs with the program's own button texts in
// the current language, Qt's own texts (file and folder dialogs) translated where
// Debian's translation of Qt is installed, and the password form for the guards. A box
// shows the engine's English phrases in the program's language, and a box without a
// caption the program's name. Every dialog opens wide enough for its title.
class AppUiHost : public QtUiHost {
public:
    AppUiHost();
    ~AppUiHost() override;

    // Takes the language of the code ("CZ", "EN", "SK"; others as Czech). Every box
    // follows the program's current language on its own; this applies it at once.
    void setLanguage(const std::string& code);
    const std::string& language() const { return language_; }

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& initial, bool password) override;
    std::optional<std::string> passwordDialog() override;
    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override;
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter) override;

private:
    void followLanguage();

    void removeQtTranslations();

    std::string language_;
    std::unique_ptr<QTranslator> qtTranslation_;
    std::unique_ptr<QTranslator> qtMissing_;
    TitleFit titleFit_; // every dialog wide enough for its title
};

// The button texts of boxes and input boxes in the language of the code.
DialogButtonTexts dialogButtonTexts(const std::string& code);

} // namespace kd
