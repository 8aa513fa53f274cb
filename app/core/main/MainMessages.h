#pragma once

namespace kd {

// Ids of the message-table texts the main window needs beyond profile_msg
// (ProfileTexts.h); callers fetch the texts and build the sentences.
namespace main_msg {
inline constexpr int QuestionCaption = 10017;
inline constexpr int NotFoundBefore = 11012;  // before the name given after "a" or "o"
inline constexpr int NotFoundRun = 11013;     // after it, for "a"
inline constexpr int NotFoundRestore = 11014; // after it, for "o"
inline constexpr int RestoreQuestion = 11018; // restoring undoes the changes since the backup
inline constexpr int DeleteQuestion = 11021;  // followed by the profile name and a quote
inline constexpr int WrongProfilePassword = 11042;
inline constexpr int WrongAdminPassword = 11043;
inline constexpr int PasswordNotConfirmed = 11047; // the archive password's confirmation differs
} // namespace main_msg

} // namespace kd
