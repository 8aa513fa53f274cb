#pragma once
#include <QStringList>
#include <QVariant>

namespace kd {

// The column captions of one of our models: the built-in ones at first, replaced by
// the form translator in the chosen language (the model's setHeaderData).
class HeaderCaptions {
public:
    explicit HeaderCaptions(QStringList captions) : captions_(std::move(captions)) {}

    QVariant headerData(int section, Qt::Orientation orientation, int role) const;
    // False when the section or role is none of the captions'.
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role);

private:
    bool holds(int section, Qt::Orientation orientation, int role) const;

    QStringList captions_;
};

} // namespace kd
