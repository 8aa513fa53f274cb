#pragma once
#include <string>

namespace kd {

// An entry that an extraction run could not extract: damaged data, a wrong password,
// an unknown method, an unsafe name, or a file that could not be created. Entries left
// alone by choice (an existing file kept by the overwrite mode, a skip asked by a
// handler) are not failures.
struct TExtractFailure {
    int FileIndex = -1;  // into the view the run used
    std::string Name;    // the stored name (directory + file name)
    std::string Message; // what went wrong
};

} // namespace kd
