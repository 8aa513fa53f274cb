#pragma once
#include <string>
#include <string_view>

namespace kd {

// Ids of the message-table texts the profile code needs; callers fetch the texts
// and build the sentences.
namespace profile_msg {
inline constexpr int WarningCaption = 10009; // caption of warning boxes
inline constexpr int ErrorCaption = 20000;   // caption of error boxes
inline constexpr int CannotDelete = 11003;   // followed by the file name
inline constexpr int MissingBefore = 11004;  // before the profile name
inline constexpr int MissingAfter = 11005;   // after the profile name
inline constexpr int PartSizeTooSmall = 11036;
inline constexpr int DaysUnit = 11044; // period unit label for a count of days
} // namespace profile_msg

// The profile editor's own messages that the message table does not hold.
enum class ProfileText {
    PasswordRule,
    NameEmpty,
    NameSeparator,
    NameDot,
    NameClash,      // followed by the clashing name
    ConfirmCaption, // the question that confirms a new archive password
    ConfirmPrompt,
    NoFileMask, // the masks edit holds no mask
};

// The text in the language "CZ", "EN" or "SK"; any other code gives Czech.
std::string localText(std::string_view languageCode, ProfileText text);

} // namespace kd
