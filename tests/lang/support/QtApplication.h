#pragma once
#include <QApplication>

namespace kd::test {

// The one application object of the translator's tests, made on first use and never
// destroyed (Qt's globals may be gone at exit once a window was shown).
inline void ensureQtApplication() {
    static int argc = 1;
    static char name[] = "test_lang";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static QApplication* application = new QApplication(argc, argv);
}

} // namespace kd::test
