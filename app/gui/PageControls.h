#pragma once
#include "platform/UiHost.h"

#include <QString>
#include <string>
#include <string_view>

class QGridLayout;
namespace kd {
class TDirectoryEdit;
}
class QObject;
class QStatusBar;
class QWidget;

namespace kd {

// Building blocks the main window's edit pages share.

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string fromQString(const QString& text) {
    return text.toStdString();
}

// The dynamic property that marks a widget whose text the program fills at run time:
// language files never replace it.
inline constexpr const char* kRunTimeTextProperty = "kdData";
void markRunTimeText(QObject* object);

// The name of a field: its own, or for a container that of the first named widget in
// it (the edit of a directory field).
QString fieldName(const QWidget* field);

// A directory browse edit named name: F3 or its button opens the folder dialog with
// the prompt, starting in the directory the edit holds.
TDirectoryEdit* browseDirectoryEdit(UiHost& ui, QWidget* parent, const char* name,
                                    const char* prompt);

// Puts a labelled field into the grid's row and column pair; the label is named
// "lbl_" + the field's name. The hint becomes the
// field's status tip, shown by showHints while the field has the focus.
void addLabelledField(QGridLayout* grid, int row, int column, const char* caption, QWidget* field,
                      const char* hint);

// Shows the status tip of the page's focused control in the status line.
void showHints(QWidget* page, QStatusBar* statusLine);

} // namespace kd
