#include "app/gui/ColumnFit.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace kd {

void fitColumnsToContents(QTreeView& view) {
    QHeaderView& header = *view.header();
    header.setStretchLastSection(true);
    // The cells' widths as the delegate draws them (QTreeView hides the call).
    const QAbstractItemView& cells = view;
    for (int column = 0; column < header.count(); ++column) {
        const int needed =
            std::max(header.sectionSizeHint(column), cells.sizeHintForColumn(column));
        if (needed > header.sectionSize(column))
            header.resizeSection(column, needed);
    }
}

void keepColumnsFitted(QTreeView& view) {
    QAbstractItemModel* model = view.model();
    const auto fit = [&view] { fitColumnsToContents(view); };
    QObject::connect(model, &QAbstractItemModel::modelReset, &view, fit);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &view, fit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, &view, fit);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, &view, fit);
    fit();
}

void showWholeText(QLineEdit& edit) {
    // The frame and margins around the text: what the default hint adds to its width
    // of 17 "x".
    const QFontMetrics metrics = edit.fontMetrics();
    const int chrome = edit.sizeHint().width() - 17 * metrics.horizontalAdvance(QLatin1Char('x'));
    // A character to spare, so that the cursor at the end never scrolls the text.
    int width = metrics.horizontalAdvance(edit.text()) + chrome + metrics.averageCharWidth();
    if (const QScreen* screen = edit.screen())
        width = std::min(width, screen->availableGeometry().width() * 3 / 4);
    // The window's layout widens the window to the new minimum.
    edit.setMinimumWidth(std::max(width, edit.sizeHint().width()));
}

} // namespace kd
