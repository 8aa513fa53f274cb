#pragma once
#include <string>

namespace kd {

// The previous archive of a profile that starts a new one each run: moved aside to a
// hidden copy ("." + name + "." + six characters) before the run, deleted after
// success, put back after a failure.
//
// A run killed while it wrote leaves the copy and no archive; the next run's
// constructor first puts the newest such copy back where the archive is missing and
// deletes the copies an archive in place made obsolete, so no backup stays hidden.
class PreviousArchive {
public:
    // Moves path aside when it exists; kd::Exception when it cannot be moved.
    explicit PreviousArchive(std::string path);
    ~PreviousArchive();
    PreviousArchive(const PreviousArchive&) = delete;
    PreviousArchive& operator=(const PreviousArchive&) = delete;

    // The new archive is in place: the copy is deleted.
    void discard();

    // Puts back or deletes the copies that killed runs left beside path.
    static void recoverLeftCopies(const std::string& path);

private:
    std::string path_;
    std::string aside_;
};

} // namespace kd
