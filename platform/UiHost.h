#pragma once
#include <optional>
#include <string>

namespace kd {

enum class MsgIcon { None, Information, Warning, Question, Error };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// Everything the logic asks of the user or shows to the user goes through this
// interface: the GUI implements it with real dialogs, tests script the answers, and
// an unattended run answers with the safe default (No / Cancel).
class UiHost {
public:
    virtual ~UiHost() = default;

    virtual MsgAnswer messageBox(const std::string& text, const std::string& caption,
                                 MsgButtons buttons, MsgIcon icon) = 0;
    // Nullopt when the user cancels.
    virtual std::optional<std::string> inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& initial, bool password) = 0;
    // The program's password dialog, asked by the profile and settings guards; nullopt
    // when cancelled. A plain masked input box unless the host has the real form.
    virtual std::optional<std::string> passwordDialog() {
        return inputBox("Password Dialog", "Zadejte heslo :", "", true);
    }
    virtual std::optional<std::string> chooseDirectory(const std::string& caption,
                                                       const std::string& start) = 0;
    virtual std::optional<std::string>
    chooseFile(const std::string& caption, const std::string& start, const std::string& filter) = 0;
    // Hourglass on and off.
    virtual void setBusyCursor(bool busy) = 0;
    // Lets the interface breathe during long work (repaint, the cancel button).
    virtual void processEvents() = 0;
};

// Answers every question with its safe default and shows nothing: for unattended runs.
class SilentUiHost : public UiHost {
public:
    MsgAnswer messageBox(const std::string&, const std::string&, MsgButtons buttons,
                         MsgIcon) override {
        switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::No;
        case MsgButtons::AbortRetryIgnore:
            return MsgAnswer::Abort;
        default:
            return MsgAnswer::Cancel;
        }
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&,
                                        bool) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseDirectory(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFile(const std::string&, const std::string&,
                                          const std::string&) override {
        return std::nullopt;
    }
    void setBusyCursor(bool) override {}
    void processEvents() override {}
};

} // namespace kd
