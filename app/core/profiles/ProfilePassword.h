#pragma once
#include <string>
#include <string_view>

namespace kd {

// The archive password is kept in the profile in a stored form: each character's
// code doubled modulo 256 (in Windows-1250, held here as UTF-8 text). Reading halves
// the codes again, so only codes 0-127 survive; the editor therefore accepts printable
// ASCII only (which also keeps the codes 0 and 10, unsafe in a line, out).

// True when every character is printable ASCII (blank to "~"); empty is allowed.
bool isValidPasswordText(std::string_view plain);

// The message the editor shows when isValidPasswordText refuses a password, in the
// language "CZ", "EN" or "SK" (others give Czech).
std::string passwordRuleText(std::string_view languageCode);

// Plain password -> stored form. Throws kd::Exception for a password that
// isValidPasswordText refuses.
std::string encodeStoredPassword(std::string_view plain);

// Stored form -> the password handed to the archive writer and shown in the editor.
std::string decodeStoredPassword(std::string_view stored);

// The stored form from a password line of a profile file, given the line as the file
// was decoded and as raw bytes. Every stored code is even; a Windows-1250 file whose
// bytes happen to be valid UTF-8 is decoded as UTF-8, and its raw bytes are then the
// ones that fit.
std::string storedPasswordFromLine(std::string_view decodedLine, std::string_view rawLine);

// The stored password after the editor's OK: the typed password when it was confirmed,
// otherwise the profile keeps the password it had.
std::string storedPasswordAfterEdit(const std::string& currentStored, std::string_view typed,
                                    bool confirmed);

} // namespace kd
