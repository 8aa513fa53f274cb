#include "app/gui/HeaderCaptions.h"

namespace kd {

bool HeaderCaptions::holds(int section, Qt::Orientation orientation, int role) const {
    return orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::EditRole) &&
           section >= 0 && section < captions_.size();
}

QVariant HeaderCaptions::headerData(int section, Qt::Orientation orientation, int role) const {
    return holds(section, orientation, role) ? QVariant(captions_[section]) : QVariant();
}

bool HeaderCaptions::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                                   int role) {
    if (!holds(section, orientation, role))
        return false;
    captions_[section] = value.toString();
    return true;
}

} // namespace kd
