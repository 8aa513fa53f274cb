#pragma once
#include <functional>
#include <string>

#include "platform/Stream.h"

namespace kd {

// What reads or writes an object's own binary properties: the object names each one
// with the procedures that read and write its data, and says whether it has data to
// write (a property without data is left out of the stream).
class TFiler {
public:
    virtual ~TFiler() = default;
    virtual void DefineBinaryProperty(const std::string& name,
                                      const std::function<void(Stream&)>& readData,
                                      const std::function<void(Stream&)>& writeData,
                                      bool hasData) = 0;
};

} // namespace kd
