#pragma once
#include <QApplication>
#include <QTimer>

namespace kd::test {

// The one application object of the GUI tests, made on first use. It is never
// destroyed: at exit Qt's own globals may already be gone once a window was shown.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static QApplication* application = new QApplication(argc, argv);
}

// A window that ended the program asked the application to quit; outside a running
// loop that request stays and makes every later modal dialog return at once. Running
// the loop for one turn clears it, so that tests can drive modal dialogs again.
inline void clearQuitRequest() {
    ensureApplication();
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    stop.start(0);
    QApplication::exec();
}

} // namespace kd::test
