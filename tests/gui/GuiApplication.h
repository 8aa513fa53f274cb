#pragma once
#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace kd::test {

inline void ensureApplication();

// A window that ended the program asked the application to quit, at once or through a
// queued call; outside a running loop that request stays and makes every later modal
// dialog return at once. Running the loop for one turn delivers and clears it, so that
// tests can drive modal dialogs again.
inline void clearQuitRequest() {
    ensureApplication();
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(0); });
    stop.start(0);
    QApplication::exec();
}

// After every test, clears what quit request the test left, so that each test finds
// the application as the one before found it, whatever order they run in.
class QuitRequestClearer : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { clearQuitRequest(); }
};

// The one application object of the GUI tests, made on first use. It is never
// destroyed: at exit Qt's own globals may already be gone once a window was shown.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        auto* made = new QApplication(argc, argv);
        // The listener list owns the listener.
        ::testing::UnitTest::GetInstance()->listeners().Append(new QuitRequestClearer);
        return made;
    }();
    (void)application;
}

} // namespace kd::test
