#pragma once
#include <QImage>
#include <QObject>
#include <QSize>
#include <vector>

namespace kd {

// Images of one size, addressed by index; tells its users when it changes.
class KitImageList : public QObject {
    Q_OBJECT
public:
    explicit KitImageList(QSize size = QSize(16, 16), QObject* parent = nullptr)
        : QObject(parent), size_(size) {}

    QSize size() const { return size_; }
    int Width() const { return size_.width(); }
    int Height() const { return size_.height(); }
    void setSize(QSize size);
    int Count() const { return static_cast<int>(images_.size()); }
    bool validIndex(int index) const { return index >= 0 && index < Count(); }
    // The image with its transparent pixels at alpha 0.
    const QImage& image(int index) const { return images_.at(static_cast<std::size_t>(index)); }

    // Adds an image (its alpha channel is its mask); returns its index.
    int Add(const QImage& image);
    // Adds an image made transparent where it has the mask colour.
    int AddMasked(const QImage& image, const QColor& maskColor);
    void Clear();

    bool Masked = true;

    // Holds back the change signal until the matching endUpdate, which sends it once.
    void beginUpdate() { ++updating_; }
    void endUpdate();

signals:
    void changed();

private:
    void change();

    QSize size_;
    std::vector<QImage> images_;
    int updating_ = 0;
    bool pending_ = false;
};

} // namespace kd
