#pragma once
#include <QApplication>
#include <QPalette>

namespace kd::test {

// The one application object of the kit's tests, made on first use with a palette of
// fixed colours, so that drawn pixels do not depend on the desktop's theme. Never
// destroyed: at exit Qt's own globals may already be gone.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_widgets";
    static char* argv[] = {name, nullptr};
    [[maybe_unused]] static QApplication* application = [] {
        auto* app = new QApplication(argc, argv);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
        palette.setColor(QPalette::WindowText, Qt::black);
        palette.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
        palette.setColor(QPalette::Dark, QColor(0x80, 0x80, 0x80));
        palette.setColor(QPalette::Light, Qt::white);
        palette.setColor(QPalette::Highlight, QColor(0x00, 0x00, 0x80));
        palette.setColor(QPalette::HighlightedText, Qt::white);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6D, 0x6D, 0x6D));
        QApplication::setPalette(palette);
        return app;
    }();
}

// A base for fixtures whose members are widgets: the application exists before them.
struct WithWidgetsApplication {
    WithWidgetsApplication() { ensureApplication(); }
};

} // namespace kd::test
