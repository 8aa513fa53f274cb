// Obtaining the volumes (disks or numbered part files) of a multi-volume archive.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "zip/reader/TZipReader.h"

namespace kd {

namespace {

// A user who keeps confirming a disk that is not the right one gets an error after
// this many requests, so that a handler that never changes its answer cannot hang.
constexpr int kMaxDiskRequests = 20;

std::string threeDigits(int n) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%03d", n);
    return text.data();
}

// name with its extension replaced by "." and extension.
std::string changeExtension(const std::string& name, const std::string& extension) {
    const auto slash = name.rfind('/');
    const auto dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? name.substr(0, dot) : name) + '.' + extension;
}

bool isFile(const std::string& name) {
    std::error_code ec;
    return std::filesystem::is_regular_file(name, ec);
}

} // namespace

void TZipReader::PromptNextDisk(int nextDisk, std::string& fName) {
    if (GetMultiMode() != TMultiMode::mmSpan) {
        fName = changeExtension(fName, threeDigits(nextDisk));
        return;
    }
    ui_->setBusyCursor(false);
    const std::string text =
        std::string(kTextInsertDisk) + std::to_string(nextDisk) + std::string(kTextOfMultiDiskSet);
    if (ui_->messageBox(text, "", MsgButtons::OkCancel, MsgIcon::Information) != MsgAnswer::Ok)
        fName.clear();
    ui_->setBusyCursor(true);
}

bool TZipReader::CheckVolumeLabel(int n, const std::string& path) const {
    if (GetMultiMode() != TMultiMode::mmSpan)
        return true;
    // Labels cannot be written on every system (not on Linux), so a disk without a
    // label, or with one that carries no disk number, cannot be told apart: accept it
    // and let the file decide. A label that ends in a number must name this disk.
    const auto label = volumes_->volumeLabel(path);
    if (!label)
        return true;
    const std::string cut = label->substr(0, 11);
    if (cut.size() < 3)
        return true;
    const std::string number = cut.substr(cut.size() - 3);
    if (!std::all_of(number.begin(), number.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; }))
        return true;
    return number == threeDigits(n);
}

TLFNFileStream& TZipReader::OpenVolume(int n) {
    CloseArchive();
    std::string fName = zipName_;
    for (int request = 1;; ++request) {
        if (OnGetNextDisk)
            OnGetNextDisk(*this, n, fName);
        else
            PromptNextDisk(n, fName);
        if (cancel_) {
            cancel_ = false;
            throw EUserCanceled(kMsgCanceledNewDisk);
        }
        if (fName.empty())
            throw EUserCanceled(kMsgCanceledNewDisk);
        if ((!GetCheckDiskLabels() || CheckVolumeLabel(n, fName)) && isFile(fName))
            break;
        // Part files cannot appear by asking again; a disk can be swapped, but not
        // forever.
        if (GetMultiMode() != TMultiMode::mmSpan || request >= kMaxDiskRequests)
            throw EMissingVolume("Part " + std::to_string(n) +
                                 " of the multi-part archive is missing: " + fName);
    }
    zipStream_ = std::make_unique<TLFNFileStream>(fName, FileBufferSize, FlushFilesOnClose(),
                                                  FileOpenMode::Read);
    currentVolume_ = n - 1;
    RecordArchiveStamp();
    zipName_ = fName;
    return *zipStream_;
}

} // namespace kd
