#include "zip/extract/OverwriteRule.h"

#include "zip/extract/EntryAttributes.h"

namespace kd {

OverwriteAnswer AnswerOfMode(TUZOverwriteMode mode, const TZipHeaderInfo& entry,
                             const ExtractTarget::Existing& existing) {
    switch (mode) {
    case TUZOverwriteMode::Always:
        return OverwriteAnswer::Replace;
    case TUZOverwriteMode::Never:
        return OverwriteAnswer::Keep;
    case TUZOverwriteMode::ifNewer:
        return CompareEntryTime(entry, existing.modified) > 0 ? OverwriteAnswer::Replace
                                                              : OverwriteAnswer::Keep;
    case TUZOverwriteMode::ifOlder:
        return CompareEntryTime(entry, existing.modified) < 0 ? OverwriteAnswer::Replace
                                                              : OverwriteAnswer::Keep;
    case TUZOverwriteMode::Prompt:
        break;
    }
    return OverwriteAnswer::Ask;
}

bool KeptAsReadOnly(const ExtractTarget::Existing& existing, bool replaceReadOnly) {
    return !existing.writable && !replaceReadOnly;
}

} // namespace kd
