#pragma once
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/ArchiveAttribute.h"

namespace kd {

// The archive attribute kept in the user extended attribute "user.kordyne.archived"
// of each file. Where a file takes no extended attribute (a file system without
// them, a file the user may read but not write), the stamp goes to a per-user index
// file instead: one line "modifiedNs size inode path" per file, loaded on first use
// and written out (atomically) by Flush and on destruction.
class ArchiveAttributeStore : public ArchiveAttribute {
public:
    static constexpr const char* kXattrName = "user.kordyne.archived";

    // indexFile empty: DefaultIndexFile().
    explicit ArchiveAttributeStore(std::string indexFile = {});
    ~ArchiveAttributeStore() override;
    ArchiveAttributeStore(const ArchiveAttributeStore&) = delete;
    ArchiveAttributeStore& operator=(const ArchiveAttributeStore&) = delete;

    // $XDG_STATE_HOME/kordyne/archived.idx, else ~/.local/state/kordyne/archived.idx.
    static std::string DefaultIndexFile();

    void Reset(const std::string& path, const ArchiveStamp& stamp) override;
    void Flush() override;

    // Off: every stamp goes to the index file (tests of the fallback).
    void SetUseXattr(bool value) { useXattr_ = value; }

protected:
    std::optional<ArchiveStamp> Recorded(const std::string& path) override;
    std::optional<ArchiveStamp> Recorded(const std::string& path, int fd) override;

private:
    // The record on the file (read through fd when it is not -1), else in the index.
    std::optional<ArchiveStamp> lookUp(const std::string& path, int fd);
    void loadIndex();

    // Workers compressing files ahead look at the attribute beside the run's thread.
    std::mutex mutex_;
    std::string indexFile_;
    std::map<std::string, ArchiveStamp> index_;
    bool loaded_ = false;
    bool dirty_ = false;
    bool useXattr_ = true;
};

} // namespace kd
