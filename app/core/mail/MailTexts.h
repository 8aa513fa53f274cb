#pragma once
#include "platform/ChildProcess.h"

#include <chrono>
#include <string>
#include <string_view>

namespace kd::mail_text {

// The log lines of the mail step, in the language "CZ", "EN" or "SK" (others give
// Czech). address: as the profile gives it; files: attached; leftOut: files of the
// archive a message had no room for; detail: the system's reason.
std::string sent(std::string_view languageCode, const std::string& address, std::size_t files,
                 std::size_t leftOut = 0);
std::string opened(std::string_view languageCode, const std::string& address, std::size_t files,
                   std::size_t leftOut = 0);
std::string notSent(std::string_view languageCode, const std::string& address,
                    const std::string& detail);
std::string addressRefused(std::string_view languageCode, const std::string& address);
// No questions, and no sendmail.
std::string noProgram(std::string_view languageCode, const std::string& address);
// Questions, and no mail client that could show the message first.
std::string noClient(std::string_view languageCode, const std::string& address);
// The user cancelled the run while the mail program had the message.
std::string cancelled(std::string_view languageCode, const std::string& address);

// Details for notSent: the program (its path) was stopped at the limit before it had
// taken the whole message, or before it ended; it ended without success.
std::string notTaken(std::string_view languageCode, const std::string& program,
                     std::chrono::milliseconds limit);
std::string notEnded(std::string_view languageCode, const std::string& program,
                     std::chrono::milliseconds limit);
std::string failed(std::string_view languageCode, const std::string& program,
                   const ProcessEnd& end);

// The status bar's text while the program (its path) is waited for.
std::string waiting(std::string_view languageCode, const std::string& program);

} // namespace kd::mail_text
