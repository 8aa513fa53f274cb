#pragma once
#include <optional>
#include <string>

#include "sfx/SfxConsole.h"
#include "sfx/SfxImage.h"
#include "sfx/SfxOptions.h"
#include "zip/reader/TZipReader.h"

namespace kd {

// One run of the self-extractor: shows the archive's caption and texts, settles the
// destination, asks for the password of encrypted files, extracts through the ZIP
// engine (nothing is written outside the destination) and runs the archive's
// command. Messages go to standard output, questions and errors to standard error.
class SfxExtractor {
public:
    SfxExtractor(const SfxImage& image, const SfxOptions& options);

    // The exit status: 0 when every chosen file was extracted, else 1.
    int Run();

private:
    void showTexts() const;
    void listContents() const;
    std::string destination();
    void askPasswordWhenNeeded();
    void bindEvents();
    bool askOverwrite(const std::string& fName);
    int runCommand(const std::string& dest) const;

    const SfxImage& image_;
    const SfxOptions& options_;
    SfxConsole console_;
    TZipReader zip_;
    std::optional<bool> overwriteAll_; // the answer "all" or "none" to the question
};

} // namespace kd
