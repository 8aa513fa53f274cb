#pragma once
#include <cstdint>

#include "zip/reader/ZipReaderTypes.h"

namespace kd {

// Settings of archives written in several parts: numbered part files of fixed sizes
// (mmBlocks) or one part per removable disk (mmSpan).
class TMultiZipInfo {
public:
    std::int32_t BlockSize() const { return blockSize_; } // parts after the first
    void SetBlockSize(std::int32_t value) { blockSize_ = value; }
    std::int32_t FirstBlockSize() const { return firstBlockSize_; }
    void SetFirstBlockSize(std::int32_t value) { firstBlockSize_ = value; }
    // Bytes kept free on the first disk of a spanned set.
    std::int32_t SaveOnFirstDisk() const { return saveOnFirstDisk_; }
    void SetSaveOnFirstDisk(std::int32_t value) { saveOnFirstDisk_ = value; }
    // After a set of more than one part, also write the ".zfc" directory file.
    bool SaveZipInfoOnFirstDisk() const { return saveZipInfoOnFirstDisk_; }
    void SetSaveZipInfoOnFirstDisk(bool value) { saveZipInfoOnFirstDisk_ = value; }
    TMultiMode MultiMode() const { return multiMode_; }
    void SetMultiMode(TMultiMode value) { multiMode_ = value; }
    // The reader checks the disk labels of a spanned set.
    bool CheckDiskLabels() const { return checkDiskLabels_; }
    void SetCheckDiskLabels(bool value) { checkDiskLabels_ = value; }
    // The writer labels each disk of a spanned set.
    bool WriteDiskLabels() const { return writeDiskLabels_; }
    void SetWriteDiskLabels(bool value) { writeDiskLabels_ = value; }

    void Assign(const TMultiZipInfo& source) { *this = source; }

private:
    std::int32_t blockSize_ = 1457600;
    std::int32_t firstBlockSize_ = 1457600;
    std::int32_t saveOnFirstDisk_ = 0;
    bool saveZipInfoOnFirstDisk_ = false;
    TMultiMode multiMode_ = TMultiMode::mmNone;
    bool checkDiskLabels_ = true;
    bool writeDiskLabels_ = true;
};

} // namespace kd
