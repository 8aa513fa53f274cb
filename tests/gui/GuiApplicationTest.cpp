#include "GuiApplication.h"

#include <QDialog>
#include <QTimer>

using namespace kd::test;

namespace {

void queueQuit() {
    QMetaObject::invokeMethod(
        qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

// The two run in this order in one process: the first leaves behind the quit request
// of a window that ended the program, delivered outside a running loop, and one more
// still queued; the second must see neither.
TEST(GuiApplicationTest, AQuitRequestLeftBehindByATest) {
    ensureApplication();
    queueQuit();
    QCoreApplication::processEvents();
    queueQuit();
}

TEST(GuiApplicationTest, TheNextTestsModalDialogWaitsForItsAnswer) {
    ensureApplication();
    QDialog dialog;
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.done(7); });
    EXPECT_EQ(dialog.exec(), 7);
}

} // namespace
