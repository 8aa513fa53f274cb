#pragma once

class QLineEdit;
class QTreeView;

namespace kd {

// Widens each column of the view to what its header caption and its cells need, so
// that no text is cut; a column never gets narrower than it is. The last column
// stretches to the view's edge.
void fitColumnsToContents(QTreeView& view);

// Fits the columns now and again whenever the view's rows or their texts change.
void keepColumnsFitted(QTreeView& view);

// Makes the edit at least as wide as its whole text (within most of the screen's
// width).
void showWholeText(QLineEdit& edit);

} // namespace kd
