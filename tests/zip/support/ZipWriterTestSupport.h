#pragma once
#include <csignal>
#include <map>
#include <string>
#include <sys/resource.h>

#include "platform/ArchiveAttributeFake.h"
#include "platform/FakeVolumeService.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"
#include "zip/writer/TZipWriter.h"

// Helpers of the writer tests.
namespace kd::test {

// A writer on scripted UI, simulated volumes and in-memory archive attributes,
// writing t/out.zip.
struct WriterBench {
    explicit WriterBench(const TempDir& t);
    ScriptedUiHost ui;
    FakeVolumeService volumes;
    ArchiveAttributeFake attributes;
    TZipWriter zip{ui, volumes, attributes};
    std::string archive;

    // FilesList := items, then AddFilesToArchive.
    int add(const std::vector<std::string>& items);
};

// Python's zipfile: testzip() finds nothing, the archive holds exactly the names of
// expected, and each entry reads (with password) to the bytes of its file (a name
// ending in "/" to nothing). Empty when all holds, else what does not.
std::string zipfileMismatches(const std::string& archive,
                              const std::map<std::string, std::string>& expected,
                              const std::string& password = "");

// unzip -t, 7z t and bsdtar -tf accept the archive (the first two with password).
void expectToolsAccept(const std::string& archive, const std::string& password = "");

// The whole file (empty when it cannot be read).
std::string fileBytes(const std::string& path);

// The archive's entries as "flags method name" lines (Python's zipfile).
std::string entrySummary(const std::string& archive);

// The names of the files in dir (not below it).
std::vector<std::string> filesIn(const std::string& dir);

} // namespace kd::test

namespace kd::test {

// Per entry name, the bytes of its local record in the archive: local header, name,
// extra field, data and data descriptor (up to the next record).
std::map<std::string, std::string> localRecords(const std::string& archive);

// Per entry name, what Python's zipfile tells of its central header (flags, name
// bytes as decoded the same way, extra field, comment, host, attributes, date, CRC,
// sizes): equal lines mean an unchanged central header apart from its offset.
std::map<std::string, std::string> centralFields(const std::string& archive);

// Files over this size cannot be written while it lives (as on a full disk).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// Sets a file's modification time to now + seconds.
void touchBy(const std::string& path, int seconds);

} // namespace kd::test
