#pragma once
#include "platform/UiHost.h"

#include <deque>
#include <string>
#include <vector>

namespace kd::test {

// A UI host for tests: answers come from a script queued in advance; every box and
// question is recorded. An unscripted question gets the safe default (No / Cancel).
class ScriptedUiHost : public SilentUiHost {
public:
    struct Shown {
        std::string text, caption;
        MsgButtons buttons;
        MsgIcon icon;
    };

    void answerNext(MsgAnswer answer) { answers_.push_back(answer); }
    void inputNext(std::optional<std::string> value) { inputs_.push_back(std::move(value)); }
    void chooseNext(std::optional<std::string> path) { choices_.push_back(std::move(path)); }

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& initial, bool password) override;
    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override;
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter) override;
    void processEvents() override { ++pumps; }

    std::vector<Shown> shown;           // every message box, in order
    std::vector<std::string> prompts;   // every input box prompt
    int pumps = 0;

private:
    std::deque<MsgAnswer> answers_;
    std::deque<std::optional<std::string>> inputs_;
    std::deque<std::optional<std::string>> choices_;
};

} // namespace kd::test
