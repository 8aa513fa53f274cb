#include "app/gui/ProfileListPage.h"

#include "widgets/buttons/TKitSpeedButton.h"

#include "app/core/profiles/ProfileListTexts.h"
#include "app/gui/ColumnFit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace kd {
namespace {

struct StyleButton {
    const char* name;
    int style;
    const char* hint;
};

const StyleButton kStyleButtons[] = {
    {"SpeedButton2", ProfileListPage::LargeIcons, "Zobrazit velké ikony"},
    {"SpeedButton1", ProfileListPage::SmallIcons, "Zobrazit malé ikony"},
    {"SpeedButton3", ProfileListPage::List, "Zobrazit jako seznam"},
    {"SpeedButton4", ProfileListPage::Report, "Zobrazit detaily"},
};

// A 16 x 16 picture of the view style on a magenta (transparent) background.
QImage viewStyleGlyph(int style) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    QPainter painter(&image);
    const QColor item(0x20, 0x40, 0xA0);
    const QColor text(0x40, 0x40, 0x40);
    switch (style) {
    case ProfileListPage::LargeIcons:
        for (int x : {1, 9}) {
            painter.fillRect(x, 2, 6, 6, item);
            painter.fillRect(x, 10, 6, 2, text);
        }
        break;
    case ProfileListPage::SmallIcons:
        for (int y : {2, 9})
            for (int x : {1, 9}) {
                painter.fillRect(x, y, 3, 3, item);
                painter.fillRect(x + 4, y + 1, 3, 1, text);
            }
        break;
    case ProfileListPage::List:
        for (int y : {2, 6, 10}) {
            painter.fillRect(1, y, 3, 3, item);
            painter.fillRect(5, y + 1, 8, 1, text);
        }
        break;
    default:
        painter.fillRect(1, 1, 14, 2, item);
        for (int y : {5, 8, 11, 14}) {
            painter.fillRect(1, y, 6, 1, text);
            painter.fillRect(9, y, 6, 1, text);
        }
        break;
    }
    return image;
}

} // namespace

ProfileListPage::ProfileListPage(ProfileList& list, QWidget* parent)
    : QWidget(parent), list_(list), model_(new ProfileListModel(list, this)),
      views_(new QStackedWidget(this)), report_(new QTreeView(views_)),
      icons_(new QListView(views_)) {
    setObjectName("TabSheetBrowse");

    report_->setObjectName("ListSeznamZal");
    report_->setModel(model_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->header()->setSectionsClickable(true);
    report_->header()->setSortIndicatorShown(true);
    report_->header()->setSortIndicator(0, Qt::AscendingOrder);
    for (std::size_t i = 0; i < kProfileListColumns.size(); ++i)
        if (kProfileListColumns[i].width > 0)
            report_->setColumnWidth(static_cast<int>(i), kProfileListColumns[i].width);
    // The table's widths are the least each column gets; its contents may widen it.
    keepColumnsFitted(*report_);
    connect(report_->header(), &QHeaderView::sectionClicked, this,
            &ProfileListPage::ListSeznamZal1ColumnClick);

    icons_->setObjectName("ListSeznamZalIcons");
    icons_->setModel(model_);
    icons_->setSelectionModel(report_->selectionModel());
    icons_->setWrapping(true);
    icons_->setResizeMode(QListView::Adjust);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, &ProfileListPage::editRequested);
    }
    views_->addWidget(report_);
    views_->addWidget(icons_);

    auto* buttons = new QHBoxLayout;
    for (const StyleButton& b : kStyleButtons) {
        auto* button = new TKitSpeedButton(this);
        button->setObjectName(b.name);
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setGlyph(viewStyleGlyph(b.style));
        button->setFixedSize(25, 25);
        const int style = b.style;
        connect(button, &TKitSpeedButton::clicked, this, [this, style] { setViewStyle(style); });
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(views_);
}

QWidget* ProfileListPage::currentView() const {
    return views_->currentWidget();
}

void ProfileListPage::setViewStyle(int style) {
    style_ = std::clamp(style, 0, 3);
    model_->setMarkPaused(style_ == Report);
    if (style_ == Report) {
        views_->setCurrentWidget(report_);
        return;
    }
    icons_->setViewMode(style_ == LargeIcons ? QListView::IconMode : QListView::ListMode);
    icons_->setFlow(style_ == List ? QListView::TopToBottom : QListView::LeftToRight);
    icons_->setIconSize(style_ == LargeIcons ? QSize(32, 32) : QSize(16, 16));
    views_->setCurrentWidget(icons_);
}

int ProfileListPage::focusedRow() const {
    const QModelIndex current = report_->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

std::vector<int> ProfileListPage::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : report_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ProfileListPage::focusRow(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    report_->selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ProfileListPage::ListSeznamZal1ColumnClick(int column) {
    list_.sortBy(column);
    report_->header()->setSortIndicator(column, Qt::AscendingOrder);
}

bool ProfileListPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        emit listEntered();
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            emit deleteRequested();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit editRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kd
