#pragma once
#include "app/gui/ProfileListModel.h"

#include <QWidget>
#include <vector>

class QListView;
class QStackedWidget;
class QTreeView;

namespace kd {

// The page "Zálohování": the profile list with its four view styles. The detailed
// view is ListSeznamZal; the icon and list styles show the same rows and selection.
class ProfileListPage : public QWidget {
    Q_OBJECT
public:
    enum ViewStyle { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

    ProfileListPage(ProfileList& list, QWidget* parent = nullptr);

    ProfileListModel& model() { return *model_; }
    QTreeView* ListSeznamZal() const { return report_; }
    QWidget* currentView() const;

    void setViewStyle(int style);
    int viewStyle() const { return style_; }

    // The row with the keyboard focus (it need not be selected), -1 when none.
    int focusedRow() const;
    // The selected rows in list order.
    std::vector<int> selectedRows() const;
    // Makes the row the focused and only selected one.
    void focusRow(int row);

    // A click on a column header: sorts by that column and marks it.
    void ListSeznamZal1ColumnClick(int column);

signals:
    void editRequested();   // Enter or a double click
    void deleteRequested(); // the Delete key
    void listEntered();     // the list got the focus

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ProfileList& list_;
    ProfileListModel* model_;
    QStackedWidget* views_;
    QTreeView* report_;
    QListView* icons_;
    int style_ = Report;
};

} // namespace kd
