#include "support/ScriptedUiHost.h"

namespace kd::test {

MsgAnswer ScriptedUiHost::messageBox(const std::string& text, const std::string& caption,
                                     MsgButtons buttons, MsgIcon icon) {
    shown.push_back({text, caption, buttons, icon});
    if (answers_.empty())
        return SilentUiHost::messageBox(text, caption, buttons, icon);
    const MsgAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUiHost::inputBox(const std::string&, const std::string& prompt,
                                                    const std::string&, bool) {
    prompts.push_back(prompt);
    if (inputs_.empty())
        return std::nullopt;
    auto value = inputs_.front();
    inputs_.pop_front();
    return value;
}

std::optional<std::string> ScriptedUiHost::chooseDirectory(const std::string&, const std::string&) {
    if (choices_.empty())
        return std::nullopt;
    auto value = choices_.front();
    choices_.pop_front();
    return value;
}

std::optional<std::string> ScriptedUiHost::chooseFile(const std::string& caption,
                                                      const std::string& start,
                                                      const std::string&) {
    return chooseDirectory(caption, start);
}

} // namespace kd::test
