#pragma once
#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>

#include "platform/TempFileBeside.h"

namespace kd {

class ExtractTarget;

// The file an entry is extracted into: a temporary file (TempFileBeside: unnamed
// where the file system allows, so a killed run leaves nothing), put in the target's
// place only by Place or Commit, removed otherwise. Until then the user's file at the
// target is neither opened nor truncated.
class ExtractTempFile {
public:
    // A file beside the target. ECreateTargetFailed when it cannot be created.
    explicit ExtractTempFile(const ExtractTarget& target);
    // A file made before its target is known, in the directory open as dirFd (named
    // shownDir in messages), to be placed into any directory of the same file system.
    ExtractTempFile(int dirFd, const std::string& shownDir);
    ExtractTempFile(const ExtractTempFile&) = delete;
    ExtractTempFile& operator=(const ExtractTempFile&) = delete;

    int Fd() const { return file_.Fd(); }
    // Empties the file for another try (ECantWriteUCF on failure).
    void Restart();
    // Sets the last-write time and the permission bits (when given), commits the data
    // to the device when flush, and checks that the file closes cleanly
    // (ECantWriteUCF when any of that fails; shownName names the target).
    void Seal(std::optional<std::time_t> modified, std::optional<mode_t> mode, bool flush,
              const std::string& shownName) const;
    // Sets the permission bits alone (ECantWriteUCF).
    void SetMode(mode_t mode, const std::string& shownName) const;
    // True for a named file (the file system has no unnamed ones).
    bool Named() const { return file_.Named(); }
    // Links the file into the target's directory (TempFileBeside::StageInto), which
    // must stay open while this object lives; ECreateTargetFailed when that fails.
    // False, with nothing changed, when the target is on another file system.
    bool Stage(const ExtractTarget& target);
    // Links the file in under the target's name where no file has it; false, with
    // nothing changed, otherwise.
    bool StageWhereFree(const ExtractTarget& target);
    // Puts the staged file over the target (ECreateTargetFailed when that fails, for
    // example when a directory is in the way).
    void Publish(const ExtractTarget& target);
    // Seal, then Stage and Publish beside the target given at construction.
    void Commit(std::optional<std::time_t> modified, std::optional<mode_t> mode, bool flush);

private:
    const ExtractTarget* target_ = nullptr; // the target beside which it was made
    TempFileBeside file_;
};

} // namespace kd
