#pragma once
#include "zip/extract/ExtractTarget.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/reader/ZipReaderTypes.h"

namespace kd {

// What the overwrite mode says about an entry whose target holds a file already.
enum class OverwriteAnswer {
    Replace,
    Keep,
    Ask, // the user (or the prompt handler) decides
};

// The overwrite mode's answer for the entry over the existing file: "only newer" and
// "only older" compare the file's last write with the entry's time.
OverwriteAnswer AnswerOfMode(TUZOverwriteMode mode, const TZipHeaderInfo& entry,
                             const ExtractTarget::Existing& existing);

// True when a file the mode would replace stays because it is read-only (it is
// replaced only when replaceReadOnly asks for that).
bool KeptAsReadOnly(const ExtractTarget::Existing& existing, bool replaceReadOnly);

} // namespace kd
