#pragma once
#include "zip/writer/TZipWriter.h"

namespace kd {

// The main window's ZIP writer. The waits of a run outside the writer (the mail's
// hand-over) check the same cancel request as the writer's own work.
class WindowZipEngine : public TZipWriter {
public:
    using TZipWriter::TZipWriter;
    // Drains the window's events and raises EUserCanceled when a cancel was asked for
    // since the last check.
    using TZipWriter::ProcessMessagesAndCheckCancel;
};

} // namespace kd
