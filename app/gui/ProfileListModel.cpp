#include "app/gui/ProfileListModel.h"

#include "app/core/profiles/ProfileListTexts.h"
#include "lang/TResourceStrings.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QStyle>

namespace kd {
namespace {

// The column of the automatic backup's period kind.
constexpr int kPeriodColumn = 6;

QStringList builtInCaptions() {
    QStringList captions;
    for (const auto& column : kProfileListColumns)
        captions.append(QString::fromUtf8(column.caption.data(),
                                          static_cast<qsizetype>(column.caption.size())));
    return captions;
}

} // namespace

ProfileListModel::ProfileListModel(ProfileList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list),
      icon_(QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon)),
      captions_(builtInCaptions()) {
    list_.setObserver(this);
}

ProfileListModel::~ProfileListModel() {
    list_.setObserver(nullptr);
}

int ProfileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : list_.count();
}

int ProfileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kProfileListColumns.size());
}

QVariant ProfileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= list_.count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        // The period kind follows a language chosen since the row was made.
        if (index.column() == kPeriodColumn)
            return QString::fromStdString(PeriodKindText(list_.record(index.row()), LanguageCode));
        return QString::fromStdString(
            list_.texts(index.row())[static_cast<std::size_t>(index.column())]);
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(icon_) : QVariant();
    case Qt::ForegroundRole:
        if (markPaused_ && list_.record(index.row()).Paused)
            return QColor(255, 0, 0);
        return {};
    case Qt::FontRole:
        if (markPaused_ && list_.record(index.row()).Paused) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    default:
        return {};
    }
}

QVariant ProfileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return captions_.headerData(section, orientation, role);
}

bool ProfileListModel::setHeaderData(int section, Qt::Orientation orientation,
                                     const QVariant& value, int role) {
    if (!captions_.setHeaderData(section, orientation, value, role))
        return false;
    emit headerDataChanged(orientation, section, section);
    return true;
}

void ProfileListModel::setMarkPaused(bool mark) {
    if (mark == markPaused_)
        return;
    markPaused_ = mark;
    if (list_.count() > 0)
        emit dataChanged(index(0, 0), index(list_.count() - 1, columnCount() - 1));
}

void ProfileListModel::beforeInsert(int row) {
    beginInsertRows({}, row, row);
}
void ProfileListModel::afterInsert() {
    endInsertRows();
}
void ProfileListModel::beforeRemove(int row) {
    beginRemoveRows({}, row, row);
}
void ProfileListModel::afterRemove() {
    endRemoveRows();
}

void ProfileListModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ProfileListModel::beforeReorder() {
    emit layoutAboutToBeChanged();
}

void ProfileListModel::afterReorder(const std::vector<int>& newRowOf) {
    for (const QModelIndex& old : persistentIndexList()) {
        const int row = newRowOf.at(static_cast<std::size_t>(old.row()));
        changePersistentIndex(old, index(row, old.column()));
    }
    emit layoutChanged();
}

} // namespace kd
