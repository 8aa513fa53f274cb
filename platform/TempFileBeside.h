#pragma once
#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/UniqueFd.h"

namespace kd {

// The prefix of the named temporary files this program leaves beside a target where
// the file system cannot make unnamed ones. Files of this prefix are never archived
// and are removed by SweepStale.
inline constexpr std::string_view kTempFilePrefix = ".kordyne-tmp-";

// A new file in a target's directory that takes a name there only when Publish is
// called, so that nothing of the target is touched before the file is complete.
//
// Where the file system allows it the file has no name until Publish (O_TMPFILE,
// linked into place by linkat): a process killed meanwhile leaves nothing behind.
// Elsewhere (FAT media, some network file systems) it is a named file
// kTempFilePrefix + a random suffix, removed by the destructor unless published;
// one left by a killed process is removed by SweepStale at a later run.
//
// A file with a temporary name is locked (flock) from when it has that name while its
// object lives, so that a sweep by another run leaves it alone. An unnamed file is out
// of a sweep's reach and takes no lock.
class TempFileBeside {
public:
    // A file that is to take targetPath's name; mode as for open(2) (the umask
    // applies). kd::Exception with the reason when it cannot be created.
    TempFileBeside(const std::string& targetPath, mode_t mode);
    // The same in the open directory dir, which the file shares, targetName a name in
    // it; shownPath names the target in messages. An unnamed file, which nobody else
    // can open before it has a name, is made with unnamedMode when given (its final
    // bits, saving a change of them later).
    TempFileBeside(std::shared_ptr<const UniqueFd> dir, const std::string& targetName,
                   const std::string& shownPath, mode_t mode,
                   std::optional<mode_t> unnamedMode = std::nullopt);
    // A scratch file in dir that is never published.
    static std::unique_ptr<TempFileBeside> InDirectory(const std::string& dir, mode_t mode);

    ~TempFileBeside();
    TempFileBeside(const TempFileBeside&) = delete;
    TempFileBeside& operator=(const TempFileBeside&) = delete;

    int Fd() const { return fd_.get(); }
    // A second descriptor of the file (for a stream that closes its own); throws.
    UniqueFd DupFd() const;
    // True for a named file (the file system refused an unnamed one).
    bool Named() const { return !tempName_.empty(); }

    // Gives the file the target's name (or fileName, a name in the same directory),
    // replacing a file of that name in one step. The descriptor stays open. Throws
    // kd::Exception with the reason; the file then stays temporary.
    void Publish();
    void PublishAs(const std::string& fileName);
    // Links the file into the directory open as dirFd (used, not taken: it must stay
    // open while this object lives) for taking the name fileName there (shownPath in
    // messages): under that name when no file has it, else under a temporary name.
    // Publish then completes the move; the destructor undoes it. False, with nothing
    // changed, when that directory is on another file system than the file; throws
    // kd::Exception with the reason when the link cannot be made.
    bool StageInto(int dirFd, const std::string& fileName, const std::string& shownPath);
    // As StageInto, but only where no file has the name: false (errno set), with
    // nothing changed, when one has it or the link cannot be made. Unnamed files only.
    bool StageWhereFree(int dirFd, const std::string& fileName, const std::string& shownPath);

    // Removes files of kTempFilePrefix that killed runs left in a directory: regular
    // files only (a link is neither followed nor removed), none that a live run
    // holds. Failures are ignored. Returns the number removed.
    static int SweepStale(int dirFd);
    static int SweepStale(const std::string& dir);

    // True for a name of kTempFilePrefix (the file name, without directory).
    static bool IsTempFileName(std::string_view fileName);

    // Test seam: false makes every new file a named one, as on a file system
    // without unnamed files. Process-wide; true by default.
    static void SetUnnamedAllowed(bool allowed);

private:
    void create(mode_t mode, std::optional<mode_t> unnamedMode);
    bool createUnnamed(mode_t mode);
    void createNamed(mode_t mode);
    void lock() const;
    // Locks the unnamed file and links it under a fresh temporary name in dirFd;
    // false (errno set) when it cannot.
    bool linkUnnamed(int dirFd, std::string& name) const;
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] static void fail(const std::string& what, const std::string& shown);

    // The directory where the file has its name: the staging one, else dir_.
    int nameDir() const { return stageDir_ >= 0 ? stageDir_ : dir_->get(); }

    std::shared_ptr<const UniqueFd> dir_;
    std::string target_;
    std::string shown_;
    std::string tempName_; // the named file's name in nameDir(), empty while unnamed
    UniqueFd fd_;
    int stageDir_ = -1;      // the directory of StageInto (borrowed)
    std::string stagedName_; // the file's name there, empty until staged
    bool published_ = false;
};

} // namespace kd
