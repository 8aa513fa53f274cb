#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/UiHost.h"

namespace kd {

// The self-extractor's terminal: questions on standard error, answers from standard
// input (a terminal or a pipe), and Ctrl+C turned into a cancel request.
class SfxConsole : public SilentUiHost {
public:
    // Catches SIGINT and SIGTERM from now on.
    SfxConsole();

    static bool InputIsTerminal();
    // Shows prompt and reads one line; nullopt at the end of input or after Ctrl+C.
    // Hidden input is not echoed by the terminal.
    std::optional<std::string> AskLine(const std::string& prompt, bool hidden = false);
    // True once Ctrl+C (or SIGTERM) arrived.
    static bool Interrupted();

    // Called by the engine during long work: cancels it after Ctrl+C.
    void SetCancel(std::function<void()> cancel) { cancel_ = std::move(cancel); }
    void processEvents() override;

private:
    std::function<void()> cancel_;
};

} // namespace kd
