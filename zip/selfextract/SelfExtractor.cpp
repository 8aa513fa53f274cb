// TZipWriter::WriteSelfExtractor: see zip/selfextract/SelfExtractor.h.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/FileOps.h"
#include "platform/FileStream.h"
#include "platform/Paths.h"
#include "zip/selfextract/SelfExtractor.h"
#include "zip/writer/TZipWriter.h"

namespace kd {

namespace {

// A private directory beside the result for the archive that files are added to,
// removed with its content when done.
class WorkDirectory {
public:
    explicit WorkDirectory(const std::string& besides) {
        std::string dir = std::filesystem::path(besides).parent_path().string();
        std::string templ = (dir.empty() ? std::string(".") : dir) + "/.sfx-XXXXXX";
        if (::mkdtemp(templ.data()) == nullptr)
            throw Exception("Cannot create a temporary directory beside " + besides + ": " +
                            std::strerror(errno));
        path_ = templ;
    }
    ~WorkDirectory() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    WorkDirectory(const WorkDirectory&) = delete;
    WorkDirectory& operator=(const WorkDirectory&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace

int TZipWriter::WriteSelfExtractor(const std::string& stubFile, const std::string& zipName,
                                   const std::uint8_t* block, int blockSize) {
    if (stubFile.empty() || zipName.empty())
        return 0;
    if (blockSize > 0 && block == nullptr)
        throw Exception("The self-extractor's configuration block is missing");
    if (GetMultiMode() != TMultiMode::mmNone)
        throw EZipNotSupported("A self-extractor is a single file; it cannot be written in "
                               "several parts");
    FileStream stub(stubFile, FileOpenMode::Read);
    const std::string target = selfExtractorTarget(zipName);
    const auto size = static_cast<std::size_t>(std::max(blockSize, 0));
    SetZipName(zipName);
    if (FilesList().empty()) {
        writeSelfExtractorFile(stub, block, size, zipName, target);
        return 0;
    }

    // The files go into a copy, so the archive itself stays as it is; the copy's
    // directory does not become the component's.
    WorkDirectory work(target);
    const std::string copy = work.File(fileNameOf(zipName));
    std::error_code ec;
    if (std::filesystem::exists(zipName, ec))
        copyFile(zipName, copy);
    int added = 0;
    try {
        SetZipName(copy);
        added = AddFilesToArchive();
        writeSelfExtractorFile(stub, block, size, copy, target);
    } catch (...) {
        FilesList().clear();
        SetZipName(zipName);
        throw;
    }
    SetZipName(zipName);
    return added;
}

} // namespace kd
