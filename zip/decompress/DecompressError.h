#pragma once
#include "platform/Exception.h"

namespace kd {

// Compressed data that does not follow its format: bad codes, distances before the
// start of the data, input ending early and the like.
class EBadCompressedData : public Exception {
public:
    explicit EBadCompressedData(const std::string& what)
        : Exception("Bad compressed data: " + what) {}
};

// The decoding tables of inflate could not be allocated: the entry cannot be decoded,
// and the user is told so.
class EInflateOutOfMemory : public Exception {
public:
    EInflateOutOfMemory() : Exception("*** inflate out of memory ***") {}
};

} // namespace kd
