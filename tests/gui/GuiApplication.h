#pragma once
#include <QApplication>

namespace kd::test {

// The one application object of the GUI tests, made on first use.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

} // namespace kd::test
