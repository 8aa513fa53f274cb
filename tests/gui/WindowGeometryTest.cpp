#include "GuiApplication.h"
#include "app/gui/TExtractDlg.h"
#include "support/ScriptedUiHost.h"

#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using namespace kd;
using namespace kd::test;

TEST(WindowGeometry, TheExtractionDialogOpensAgainWhereAndAsLargeAsItWasClosed) {
    ensureApplication();
    QWidget main;
    main.resize(800, 600);
    main.show();
    ScriptedUiHost ui;
    TExtractDlg dialog(ui, &main);
    std::vector<QRect> shown;
    for (int i = 0; i < 10; ++i) {
        ExtractOptions options;
        options.destDir = "/tmp/destination/of/the/files";
        dialog.setOptions(options);
        QTimer::singleShot(0, &dialog, [&] {
            shown.push_back(dialog.frameGeometry());
            if (i == 0) {
                // Moved and widened as a user does, through the window system.
                dialog.windowHandle()->setFramePosition(dialog.pos() + QPoint(31, 17));
                dialog.windowHandle()->resize(dialog.size() + QSize(40, 10));
                shown.back() = dialog.frameGeometry();
            }
            dialog.reject();
        });
        dialog.exec();
    }
    for (const QRect& frame : shown)
        EXPECT_EQ(frame, shown.front());
}
