#pragma once
#include "app/core/profiles/ObjektZal.h"

#include <string>

namespace kd {

// What the self-extractor step left: the file that now holds the backup, and a
// sentence for the logs and the run's summary when something was left undone.
struct SelfExtractorResult {
    std::string archive; // the program once it is complete, else the archive as it was
    std::string problem; // empty when the program was built and the archive deleted
};

// The backup run's last step for a profile that asks for a self-extracting program:
// the finished archive name + ".zip" becomes name + ".exe" (the stub, a configuration
// block from the profile, the archive), and the ".zip" is deleted once the program
// is complete. Nothing here fails the backup: without the stub, for an archive in
// several parts, or when the program cannot be written, the archive stays as it is
// and the result says why.
class SelfExtractorStep {
public:
    // stubFile: the stub program put in front of every self-extractor.
    explicit SelfExtractorStep(std::string stubFile);

    SelfExtractorResult operator()(const TObjektZal& profile, const std::string& archive) const;

    const std::string& stubFile() const { return stubFile_; }

private:
    std::string stubFile_;
};

// A profile that updates one archive in place keeps it as a program between runs
// (its ".zip" goes once the program is built). So that the next run adds to the
// files backed up before instead of starting an empty archive, which would then
// replace the program, the program's archive is first copied back to the ".zip"
// (the writer leaves the stub out when it rewrites the archive). The copy goes again
// when the run fails, and stays when keep() was called.
class ProgramArchiveReopened {
public:
    // archive: the ".zip" the run updates; copied from its ".exe" when only that is there.
    explicit ProgramArchiveReopened(const std::string& archive);
    ~ProgramArchiveReopened();
    ProgramArchiveReopened(const ProgramArchiveReopened&) = delete;
    ProgramArchiveReopened& operator=(const ProgramArchiveReopened&) = delete;

    void keep() { copy_.clear(); }

private:
    std::string copy_;
};

// "SfxStub.bin" beside the running executable.
std::string defaultSelfExtractorStub();

} // namespace kd
