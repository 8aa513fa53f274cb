#include "app/core/mail/MailArchive.h"

#include "app/core/mail/MailProgram.h"
#include "app/core/mail/MailTexts.h"
#include "app/core/mail/MimeMessage.h"
#include "lang/EngineMessages.h"

#include <ctime>

namespace kd {
namespace {

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

ProgramExit MailArchive::handOver(const std::string& program,
                                  const std::vector<std::string>& arguments,
                                  const InputWriter& input, std::chrono::milliseconds limit,
                                  WhenLate whenLate, std::string_view languageCode) const {
    const auto show = [this](const std::string& text) {
        if (options_.status)
            options_.status(text);
    };
    show(mail_text::waiting(languageCode, program));
    try {
        const ProgramExit exit =
            runProgram(program, arguments, input, limit, options_.pump, whenLate);
        show("");
        return exit;
    } catch (...) {
        show("");
        throw;
    }
}

std::string MailArchive::sendmail(const std::string& program, const std::string& address,
                                  const ArchiveFiles& files, std::string_view languageCode) const {
    const MailContent content{address, Subject, Text, files.files, mailDate(std::time(nullptr))};
    try {
        // "-i": a line of a single "." does not end the message.
        const ProgramExit exit = handOver(
            program, {"-i", "--", address},
            [&](const auto& send) { writeMimeMessage(content, send); }, options_.sendmailLimit,
            WhenLate::Stop, languageCode);
        switch (exit.outcome) {
        case ProgramExit::Outcome::InputNotTaken:
            return mail_text::notSent(
                languageCode, address,
                mail_text::notTaken(languageCode, program, options_.sendmailLimit));
        case ProgramExit::Outcome::NotEnded:
            return mail_text::notSent(
                languageCode, address,
                mail_text::notEnded(languageCode, program, options_.sendmailLimit));
        case ProgramExit::Outcome::Ended:
            break;
        }
        if (exit.succeeded())
            return mail_text::sent(languageCode, address, files.files.size(), leftOut(files));
        return mail_text::notSent(languageCode, address,
                                  mail_text::failed(languageCode, program, exit.end));
    } catch (const MailCancelled&) {
        return mail_text::cancelled(languageCode, address);
    } catch (const std::exception& e) {
        return mail_text::notSent(languageCode, address,
                                  program + ": " + EngineMessageText(e.what()));
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
    const auto opened = [&] {
        return mail_text::opened(languageCode, address, files.files.size(), leftOut(files));
    };
    try {
        const ProgramExit exit = handOver(program, arguments, {}, options_.mailClientLimit,
                                          WhenLate::LeaveRunning, languageCode);
        // A client that keeps its window open past the wait has the message all the same.
        if (exit.succeeded() || exit.outcome == ProgramExit::Outcome::NotEnded)
            return opened();
        return mail_text::notSent(languageCode, address,
                                  mail_text::failed(languageCode, program, exit.end));
    } catch (const MailCancelled&) {
        return opened(); // no longer waited for; its window, with the message, stays
    } catch (const std::exception& e) {
        return mail_text::notSent(languageCode, address,
                                  program + ": " + EngineMessageText(e.what()));
    }
}

} // namespace kd
