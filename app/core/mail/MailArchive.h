#pragma once
#include "app/core/mail/MailProgram.h"
#include "app/core/mail/MatchingFiles.h"
#include "platform/Exception.h"
#include "platform/RegistryStore.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// Thrown by the pump of MailOptions when the user cancels the run: the hand-over stops
// at once.
class MailCancelled : public Exception {
public:
    MailCancelled() : Exception("The mail was cancelled") {}
};

// How the mail step reaches its programs.
struct MailOptions {
    // How long the mail programs may take, all told, before the run goes on without
    // them: sendmail is then stopped, the mail client (a window the user may be
    // working in) left open.
    std::chrono::milliseconds sendmailLimit = std::chrono::minutes(5);
    std::chrono::milliseconds mailClientLimit = std::chrono::seconds(20);
    // Where sendmail is looked for after $PATH.
    std::vector<std::string> sendmailDirectories = {"/usr/sbin"};
    // Called while a mail program is waited for (the window's message pump); throws
    // MailCancelled to stop sendmail at once, or to stop waiting for the mail client,
    // whose window stays.
    std::function<void()> pump = {};
    // Shows the status bar's text while a mail program is waited for, and an empty
    // one when the wait is over.
    std::function<void(const std::string&)> status = {};
};

// Mails a finished backup: one message to the profile's address with the archive's
// files, at most MaxAttachments (archiveFiles: every part of a set, else the files
// the name matches as a pattern).
//
// Without questions the message is built here and handed to the system's
// "sendmail -i -- <address>"; with questions the desktop mail client's compose window
// opens through "xdg-email", and where there is none nothing is sent, as the message
// is to be shown first. Both are looked up on $PATH, sendmail also in /usr/sbin. An
// address with a control character or a leading "-" is never handed to either. The
// window's pump runs while a program is waited for, and a cancel through it stops
// sendmail at once. Nothing here throws: every outcome is the one line the run writes
// to both logs, and the run's result stays as it is.
class MailArchive {
public:
    static constexpr const char* MessagingKey = "Software\\Microsoft\\Windows Messaging Subsystem";
    static constexpr std::size_t MaxAttachments = 19;
    static constexpr const char* Subject = "Záloha Kordyne";
    static constexpr const char* Text = "Program Kordyne posílá automatickou zálohu...";

    // registry: where the mail flag goes (the messaging key's "MAPI" value, set to
    // "1" when the key exists); may be null.
    explicit MailArchive(RegistryStore* registry, MailOptions options = {});

    // Mails archive to address; gives the log line.
    std::string operator()(const std::string& archive, const std::string& address, bool noQuestions,
                           std::string_view languageCode) const;

    // False for an address that would reach a program as anything but one address.
    static bool usableAddress(const std::string& address);

private:
    void setMailFlag() const;
    std::string sendmail(const std::string& program, const std::string& address,
                         const ArchiveFiles& files, std::string_view languageCode) const;
    std::string mailClient(const std::string& program, const std::string& address,
                           const ArchiveFiles& files, std::string_view languageCode) const;
    // Runs the program with the status bar saying that it is waited for.
    ProgramExit handOver(const std::string& program, const std::vector<std::string>& arguments,
                         const InputWriter& input, std::chrono::milliseconds limit,
                         WhenLate whenLate, std::string_view languageCode) const;

    RegistryStore* registry_;
    MailOptions options_;
};

} // namespace kd
