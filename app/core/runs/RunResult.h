#pragma once

namespace kd {

// How a backup or restore run ended.
enum class RunResult {
    Complete,   // everything asked for was stored (restored)
    Incomplete, // the run finished, but left files out (each named in the logs)
    Failed      // the run ended early or broke off
};

// The program's exit status after runs that ended so: 0, 2 and 1.
constexpr int exitStatusOf(RunResult result) {
    switch (result) {
    case RunResult::Complete:
        return 0;
    case RunResult::Incomplete:
        return 2;
    case RunResult::Failed:
        break;
    }
    return 1;
}

// The exit status after one more run: a failure outweighs files left out, which
// outweigh a complete run.
constexpr int combinedExitStatus(int status, RunResult result) {
    const int next = exitStatusOf(result);
    return status == 1 || next == 1 ? 1 : status == 2 || next == 2 ? 2 : 0;
}

} // namespace kd
