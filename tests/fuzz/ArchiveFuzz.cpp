// Any bytes opened as an archive, listed, and every entry extracted into a private
// directory: first without a password, then with one. Refusals are exceptions of
// the engine; anything else (a crash, a foreign exception, a file outside the
// destination) is a fault.
#include "FuzzSupport.h"
#include "platform/Exception.h"
#include "zip/reader/TZipReader.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

void extractAll(const std::string& archive, const std::string& dest, const std::string& password) {
    kd::TZipReader zip;
    zip.SetZipName(archive);
    zip.SetDestDir(dest);
    zip.SetRecreateDirs(true);
    zip.SetDoAll(true);
    zip.SetOverwriteMode(kd::TUZOverwriteMode::Always);
    zip.SetPassword(password);
    try {
        zip.OpenAndReadDirectory();
        std::vector<std::string> lines;
        zip.ListContents(lines);
        for (int i = 0; i < zip.GetEntryCount(); ++i) {
            (void)zip.GetEntryPath(i);
            (void)zip.GetEntryMethodName(i);
            (void)zip.GetEntryDateTime(i);
            (void)zip.GetEntryComment(i);
        }
        (void)zip.GetArchiveComment();
        zip.ExtractArchive();
    } catch (const kd::Exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& scratch = kd::fuzz::scratchDir();
    kd::fuzz::emptyDirectory(scratch);
    const std::string archive = kd::fuzz::writeScratchFile("a.zip", data, size);
    const std::string dest = scratch + "/out";
    fs::create_directory(dest);
    extractAll(archive, dest, "");
    extractAll(archive, dest, "fuzz");
    for (const auto& entry : fs::directory_iterator(scratch))
        if (entry.path().filename() != "a.zip" && entry.path().filename() != "out")
            kd::fuzz::fail("extraction wrote outside the destination: " + entry.path().string());
    return 0;
}
