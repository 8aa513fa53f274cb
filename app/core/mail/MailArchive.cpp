#include "app/core/mail/MailArchive.h"

#include "app/core/mail/MailProgram.h"
#include "app/core/mail/MailTexts.h"
#include "app/core/mail/MimeMessage.h"

#include <ctime>

namespace kd {
namespace {

std::string duration(std::chrono::milliseconds limit) {
    const long long ms = limit.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

std::size_t leftOut(const ArchiveFiles& files) {
    return files.total - files.files.size();
}

} // namespace

MailArchive::MailArchive(RegistryStore* registry, MailOptions options)
    : registry_(registry), options_(std::move(options)) {}

bool MailArchive::usableAddress(const std::string& address) {
    if (address.empty() || address.front() == '-')
        return false;
    for (char c : address)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    return true;
}

void MailArchive::setMailFlag() const {
    if (!registry_)
        return;
    try {
        // Opened, never created: only a key that is there gets the flag.
        if (registry_->keyExists(MessagingKey))
            registry_->writeString(MessagingKey, "MAPI", "1");
    } catch (const std::exception&) {
        // The flag is a courtesy to other programs; the mail goes on without it.
    }
}

std::string MailArchive::operator()(const std::string& archive, const std::string& address,
                                    bool noQuestions, std::string_view languageCode) const {
    setMailFlag();
    if (!usableAddress(address))
        return mail_text::addressRefused(languageCode, address);
    const ArchiveFiles files =
        archive.empty() ? ArchiveFiles{} : archiveFiles(archive, MaxAttachments);
    if (!noQuestions) {
        // Shown before it is sent, or not sent at all: never behind the user's back.
        const std::string client = findProgram("xdg-email");
        if (client.empty())
            return mail_text::noClient(languageCode, address);
        return mailClient(client, address, files, languageCode);
    }
    if (const std::string program = findProgram("sendmail", options_.sendmailDirectories);
        !program.empty())
        return sendmail(program, address, files, languageCode);
    return mail_text::noProgram(languageCode, address);
}

std::string MailArchive::sendmail(const std::string& program, const std::string& address,
                                  const ArchiveFiles& files, std::string_view languageCode) const {
    const MailContent content{address, Subject, Text, files.files, mailDate(std::time(nullptr))};
    try {
        // "-i": a line of a single "." does not end the message.
        const ProgramExit exit = runProgram(
            program, {"-i", "--", address},
            [&](const auto& send) { writeMimeMessage(content, send); }, options_.sendmailLimit,
            options_.pump, WhenLate::Stop);
        switch (exit.outcome) {
        case ProgramExit::Outcome::InputNotTaken:
            return mail_text::notSent(languageCode, address,
                                      program + " did not take the message within " +
                                          duration(options_.sendmailLimit) + " and was stopped");
        case ProgramExit::Outcome::NotEnded:
            return mail_text::notSent(languageCode, address,
                                      program + " did not end within " +
                                          duration(options_.sendmailLimit) + " and was stopped");
        case ProgramExit::Outcome::Ended:
            break;
        }
        if (exit.succeeded())
            return mail_text::sent(languageCode, address, files.files.size(), leftOut(files));
        return mail_text::notSent(languageCode, address, program + ": " + exit.end.describe());
    } catch (const std::exception& e) {
        return mail_text::notSent(languageCode, address, program + ": " + e.what());
    }
}

std::string MailArchive::mailClient(const std::string& program, const std::string& address,
                                    const ArchiveFiles& files,
                                    std::string_view languageCode) const {
    std::vector<std::string> arguments{"--utf8", "--subject", Subject, "--body", Text};
    for (const std::string& file : files.files) {
        arguments.push_back("--attach");
        arguments.push_back(file);
    }
    arguments.push_back(address);
    try {
        const ProgramExit exit = runProgram(program, arguments, {}, options_.mailClientLimit,
                                            options_.pump, WhenLate::LeaveRunning);
        // A client that keeps its window open past the wait has the message all the same.
        if (exit.succeeded() || exit.outcome == ProgramExit::Outcome::NotEnded)
            return mail_text::opened(languageCode, address, files.files.size(), leftOut(files));
        return mail_text::notSent(languageCode, address, program + ": " + exit.end.describe());
    } catch (const std::exception& e) {
        return mail_text::notSent(languageCode, address, program + ": " + e.what());
    }
}

} // namespace kd
