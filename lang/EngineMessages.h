#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kd {

// The archive engine and the platform layer report errors in fixed English phrases
// ("Cannot write", "Wrong password", the system's "Read-only file system"). Each such
// phrase has a message id whose text in every language table is its translation (the
// English table holds the phrase itself).
//
// Gives the message with every phrase it recognises put in the language of the text
// lookup (by default the program's message table); names, paths and numbers stay as
// they are, also those inside a phrase, which its text in the table places where its
// language puts them. A phrase counts only as a whole part of the message: at its start
// or after ": ", "(", ", " or a line break, and followed by its end, a blank or
// punctuation.
std::string EngineMessageText(const std::string& message);
std::string EngineMessageText(const std::string& message,
                              const std::function<std::string(int id)>& textOf);

// The ids of the engine's phrases, for the tables' own checks.
const std::vector<std::pair<int, const char*>>& engineMessagePhrases();

} // namespace kd
