#include "sfx/SfxExtractor.h"

#include <cstdlib>
#include <iostream>

#include "zip/reader/ExtractFailure.h"

namespace kd {

namespace {

TUZOverwriteMode readerMode(TsfxOverwriteMode mode) {
    switch (mode) {
    case TsfxOverwriteMode::omPrompt:
        return TUZOverwriteMode::Prompt;
    case TsfxOverwriteMode::omNever:
        return TUZOverwriteMode::Never;
    case TsfxOverwriteMode::omAlways:
        break;
    }
    return TUZOverwriteMode::Always;
}

// The number of characters of UTF-8 text (continuation bytes do not count).
std::size_t displayWidth(const std::string& text) {
    std::size_t width = 0;
    for (const char ch : text)
        width += (static_cast<unsigned char>(ch) & 0xC0) != 0x80 ? 1 : 0;
    return width;
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char ch : text)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

} // namespace

SfxExtractor::SfxExtractor(const SfxImage& image, const SfxOptions& options)
    : image_(image), options_(options) {
    zip_.SetUiHost(console_);
    console_.SetCancel([this] { zip_.CancelRunningOperation(); });
}

int SfxExtractor::Run() {
    CheckAllowed(options_, image_.Config);
    zip_.SetZipName(image_.Path);
    zip_.OpenAndReadDirectory();
    if (zip_.ZipName().empty() || zip_.GetEntryCount() == 0)
        throw ENotAZipFile("This self-extractor holds no files");
    if (options_.List) {
        listContents();
        return 0;
    }
    showTexts();
    const std::string dest = destination();
    askPasswordWhenNeeded();
    bindEvents();
    zip_.SetDestDir(dest);
    zip_.SetRecreateDirs(true);
    zip_.SetOverwriteMode(readerMode(options_.Overwrite.value_or(image_.Config.OverwriteMode())));
    zip_.SetFilesList(options_.Files);
    zip_.SetDoAll(options_.Files.empty());

    const int count = zip_.ExtractArchive();
    const auto& failures = zip_.ExtractFailures();
    for (const TExtractFailure& failure : failures)
        std::cerr << "Not extracted: " << failure.Name << ": " << failure.Message << "\n";
    std::cout << count << (count == 1 ? " file" : " files") << " extracted to "
              << (dest.empty() ? std::string(".") : dest) << "\n";
    if (!failures.empty())
        return 1;
    return runCommand(dest);
}

void SfxExtractor::showTexts() const {
    const TSFXConfig& config = image_.Config;
    if (!config.Caption().empty())
        std::cout << config.Caption() << "\n"
                  << std::string(displayWidth(config.Caption()), '=') << "\n";
    if (!config.InfoTitle().empty())
        std::cout << config.InfoTitle() << "\n";
    if (!config.InfoText().empty())
        std::cout << config.InfoText() << "\n";
    std::cout << std::endl;
}

void SfxExtractor::listContents() const {
    for (int i = 0; i < zip_.GetEntryCount(); ++i)
        std::cout << zip_.GetEntryUncompressedSize(i) << "\t"
                  << (zip_.GetEntryEncrypted(i) ? "*" : "") << zip_.GetEntryPath(i)
                  << zip_.GetEntryFileName(i) << "\n";
}

std::string SfxExtractor::destination() {
    if (options_.Destination)
        return *options_.Destination;
    const std::string fallback = image_.Config.DefaultPath();
    if (image_.Config.AutoExtract() || options_.Yes || !SfxConsole::InputIsTerminal())
        return fallback;
    const std::string shown = fallback.empty() ? std::string(".") : fallback;
    const auto answer = console_.AskLine("Extract to [" + shown + "]: ");
    if (SfxConsole::Interrupted())
        throw EUserCanceled();
    return answer && !answer->empty() ? *answer : fallback;
}

void SfxExtractor::askPasswordWhenNeeded() {
    if (options_.Password) {
        zip_.SetPassword(*options_.Password);
        return;
    }
    for (int i = 0; i < zip_.GetEntryCount(); ++i)
        if (zip_.GetEntryEncrypted(i)) {
            zip_.SetPassword(console_.AskLine("Password: ", true).value_or(""));
            return;
        }
}

void SfxExtractor::bindEvents() {
    zip_.OnEndUnZip = [](TZipReader&, int, const std::string& fName) {
        std::cout << "  " << fName << "\n";
    };
    zip_.OnBadPassword = [this](TZipReader& sender, int index, std::string& newPassword) {
        std::cerr << "Wrong password for " << sender.GetEntryPath(index)
                  << sender.GetEntryFileName(index) << ".\n";
        // No answer keeps the password that failed, which skips the file.
        const auto answer = console_.AskLine("Password (empty to skip): ", true);
        if (answer && !answer->empty())
            newPassword = *answer;
    };
    zip_.OnPromptForOverwrite = [this](TZipReader&, bool& overwrite, int, std::string& fName) {
        overwrite = askOverwrite(fName);
    };
}

bool SfxExtractor::askOverwrite(const std::string& fName) {
    if (overwriteAll_)
        return *overwriteAll_;
    for (;;) {
        const auto answer = console_.AskLine("Replace " + fName + "? [y]es, [n]o, [A]ll, [N]one: ");
        if (!answer || SfxConsole::Interrupted())
            return false;
        if (*answer == "y" || *answer == "Y")
            return true;
        if (*answer == "n")
            return false;
        if (*answer == "A")
            return *(overwriteAll_ = true);
        if (*answer == "N")
            return *(overwriteAll_ = false);
    }
}

int SfxExtractor::runCommand(const std::string& dest) const {
    std::string command = image_.Config.CmdLine();
    if (command.empty() || options_.NoRun)
        return 0;
    // "><" stands for the destination directory.
    const std::string where = dest.empty() ? std::string(".") : dest;
    for (std::size_t at = command.find("><"); at != std::string::npos;
         at = command.find("><", at + 1))
        command.replace(at, 2, shellQuoted(where));
    std::cout << "Running: " << command << std::endl;
    const int status = std::system(("cd -- " + shellQuoted(where) + " && " + command).c_str());
    if (status != 0)
        std::cerr << "The command ended with status " << status << "\n";
    return status == 0 ? 0 : 1;
}

} // namespace kd
