#pragma once
#include "platform/FileStamp.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The files of a profile's own archives in its target directory, found by their
// exact names: the single archive and each numbered version (name, name + k), each
// as ".zip", ".exe" or ".zfc" or as numbered parts ".001", ".002", ...; the dated
// archives of incremental runs (name + "_y_m_d_h_m_s.zip"); and the hidden copy of
// any of them that a run keeps aside while it writes ("." + file + "." + six
// characters). Letter case counts. No mask is involved, so the user's own files
// with similar names are not taken for them.
class ProfileArchives {
public:
    // targetDir with or without its trailing "/".
    ProfileArchives(std::string targetDir, std::string profileName);

    // True when fileName (without a directory) is one of those names.
    bool isArchiveName(std::string_view fileName) const;
    // Those files present in the target directory now.
    std::vector<std::string> present() const;
    // True when writing path would write over one of them: it names one of them in the
    // target directory (however the directory is spelled), or it is the same file as
    // one present (those are looked up at the first call that needs them).
    bool covers(const std::string& path) const;
    // The same with the stamp of path taken by the caller (nullopt: nothing there).
    bool covers(const std::string& path, const std::optional<FileStamp>& stamp) const;

private:
    bool isPlainArchiveName(std::string_view fileName) const;

    std::string targetDir_;
    std::string profileName_;
    mutable std::optional<std::vector<FileStamp>> presentIds_;
};

} // namespace kd
