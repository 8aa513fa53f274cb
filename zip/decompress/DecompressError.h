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

} // namespace kd
