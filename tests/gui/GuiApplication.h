#pragma once
#include <QApplication>

namespace kd::test {

// The one application object of the GUI tests, made on first use. It is never
// destroyed: at exit Qt's own globals may already be gone once a window was shown.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static QApplication* application = new QApplication(argc, argv);
}

} // namespace kd::test
