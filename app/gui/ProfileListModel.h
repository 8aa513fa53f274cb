#pragma once
#include "app/core/profiles/ProfileList.h"
#include "app/gui/HeaderCaptions.h"

#include <QAbstractTableModel>
#include <QIcon>

namespace kd {

// The profile list as a Qt model: eight columns of texts, the profile icon in the
// first one, paused profiles in red and bold. It follows every change of the list.
class ProfileListModel : public QAbstractTableModel, private ProfileListObserver {
    Q_OBJECT
public:
    explicit ProfileListModel(ProfileList& list, QObject* parent = nullptr);
    ~ProfileListModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;

    // Paused rows are marked only in the detailed view.
    void setMarkPaused(bool mark);

private:
    void beforeInsert(int row) override;
    void afterInsert() override;
    void beforeRemove(int row) override;
    void afterRemove() override;
    void rowChanged(int row) override;
    void beforeReorder() override;
    void afterReorder(const std::vector<int>& newRowOf) override;

    ProfileList& list_;
    QIcon icon_;
    HeaderCaptions captions_;
    bool markPaused_ = true;
};

} // namespace kd
