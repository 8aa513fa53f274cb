#pragma once
#include <sys/types.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "platform/FileStamp.h"
#include "platform/TempFileBeside.h"

namespace kd {

class ExtractTarget;

// Whether closing a file made in the directory open as dirFd may tell of a failure
// that writing did not (network and user-space file systems write back then): false
// only for the local file systems whose files close without a word.
bool CloseMayFail(int dirFd);

// CloseMayFail of the last directory asked about, kept for the next file made there.
class CloseCheck {
public:
    bool MayFail(const std::shared_ptr<const UniqueFd>& dir);

private:
    std::shared_ptr<const UniqueFd> dir_;
    bool mayFail_ = true;
};

// The file an entry is extracted into: a temporary file (TempFileBeside: unnamed
// where the file system allows, so a killed run leaves nothing), put in the target's
// place only by Place or Commit, removed otherwise. Until then the user's file at the
// target is neither opened nor truncated.
class ExtractTempFile {
public:
    // A file beside the target, in its open directory. ECreateTargetFailed when it
    // cannot be created. Without closeMayFail (CloseMayFail of that directory) Seal
    // leaves out its check of a close. An unnamed file is made with mode, the bits it
    // is to have, when given.
    explicit ExtractTempFile(const ExtractTarget& target, bool closeMayFail = true,
                             std::optional<mode_t> mode = std::nullopt);
    // A file made before its target is known, in the open directory dir (named shownDir
    // in messages), to be placed into any directory of the same file system; the rest
    // as above.
    ExtractTempFile(std::shared_ptr<const UniqueFd> dir, const std::string& shownDir,
                    bool closeMayFail = true, std::optional<mode_t> mode = std::nullopt);
    ExtractTempFile(const ExtractTempFile&) = delete;
    ExtractTempFile& operator=(const ExtractTempFile&) = delete;

    int Fd() const { return file_.Fd(); }
    // Empties the file for another try (ECantWriteUCF on failure).
    void Restart();
    // Sets the last-write time and the permission bits (when given), commits the data
    // to the device when flush, and checks that the file closes cleanly
    // (ECantWriteUCF when any of that fails; shownName names the target). Returns the
    // file's stamp as sealed (nullopt when it cannot be read).
    std::optional<FileStamp> Seal(std::optional<std::time_t> modified, std::optional<mode_t> mode,
                                  bool flush, const std::string& shownName) const;
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
    // Seal, then Stage and Publish beside the target given at construction; returns
    // Seal's stamp.
    std::optional<FileStamp> Commit(std::optional<std::time_t> modified, std::optional<mode_t> mode,
                                    bool flush);

private:
    const ExtractTarget* target_ = nullptr; // the target beside which it was made
    TempFileBeside file_;
    bool closeMayFail_;
};

} // namespace kd
