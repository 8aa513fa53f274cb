#include "widgets/tray/TIconList.h"

#include "platform/Exception.h"
#include "widgets/pictures/IconHandles.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <string>

namespace kd {
namespace {

// Keeps a batch open for the life of a scope, also when the scope throws.
class Batch {
public:
    explicit Batch(TIconList& list) : list_(list) { list_.BeginBatch(); }
    ~Batch() { list_.EndBatch(); }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

private:
    TIconList& list_;
};

QByteArray iconFileBytes(const QIcon& icon) {
    if (icon.isNull())
        return {};
    const QImage image = MakeIconHandle(icon).toImage();
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        throw Exception("Cannot write an icon: " + writer.errorString().toStdString());
    return bytes;
}

void writeInt32(QIODevice& stream, qint32 value) {
    const qint32 le = qToLittleEndian(value);
    if (stream.write(reinterpret_cast<const char*>(&le), sizeof le) != sizeof le)
        throw Exception("Cannot write the icon list: " + stream.errorString().toStdString());
}

qint32 readInt32(QIODevice& stream, const char* what) {
    char bytes[4];
    if (stream.read(bytes, sizeof bytes) != sizeof bytes)
        throw Exception(std::string("The icon list ends before its ") + what);
    return qFromLittleEndian<qint32>(bytes);
}

} // namespace

void TIconList::checkIndex(int index, int upper) const {
    if (index < 0 || index > upper)
        throw Exception("Icon list index out of bounds (" + std::to_string(index) + ")");
}

const QIcon& TIconList::Get(int index) const {
    checkIndex(index, Count() - 1);
    return icons_[static_cast<size_t>(index)];
}

void TIconList::Put(int index, const QIcon& icon) {
    checkIndex(index, Count());
    if (index == Count())
        icons_.emplace_back();
    icons_[static_cast<size_t>(index)] = icon;
    Changed();
}

int TIconList::Add(const QIcon& icon) {
    icons_.push_back(icon);
    Changed();
    return Count() - 1;
}

void TIconList::Insert(int index, const QIcon& icon) {
    checkIndex(index, Count());
    icons_.insert(icons_.begin() + index, icon);
    Changed();
}

void TIconList::Delete(int index) {
    checkIndex(index, Count() - 1);
    icons_.erase(icons_.begin() + index);
    Changed();
}

void TIconList::Exchange(int index1, int index2) {
    checkIndex(index1, Count() - 1);
    checkIndex(index2, Count() - 1);
    std::swap(icons_[static_cast<size_t>(index1)], icons_[static_cast<size_t>(index2)]);
    Changed();
}

void TIconList::Move(int curIndex, int newIndex) {
    checkIndex(curIndex, Count() - 1);
    checkIndex(newIndex, Count() - 1);
    QIcon icon = icons_[static_cast<size_t>(curIndex)];
    icons_.erase(icons_.begin() + curIndex);
    icons_.insert(icons_.begin() + newIndex, std::move(icon));
    Changed();
}

void TIconList::Clear() {
    Batch batch(*this);
    while (Count() > 0)
        Delete(Count() - 1);
}

void TIconList::Assign(const TIconList& source) {
    if (&source == this)
        return;
    Batch batch(*this);
    Clear();
    for (const QIcon& icon : source.icons_)
        Add(icon);
}

void TIconList::Assign(const QIcon& icon) {
    Batch batch(*this);
    Clear();
    Add(icon);
}

void TIconList::EndBatch() {
    if (batch_ > 0 && --batch_ == 0)
        Changed();
}

void TIconList::Changed() {
    if (batch_ == 0 && OnChange)
        OnChange();
}

void TIconList::SaveToStream(QIODevice& stream) const {
    writeInt32(stream, static_cast<qint32>(icons_.size()));
    for (const QIcon& icon : icons_) {
        const QByteArray bytes = iconFileBytes(icon);
        writeInt32(stream, static_cast<qint32>(bytes.size()));
        if (!bytes.isEmpty() && stream.write(bytes) != bytes.size())
            throw Exception("Cannot write the icon list: " + stream.errorString().toStdString());
    }
}

void TIconList::LoadFromStream(QIODevice& stream) {
    Batch batch(*this);
    Clear();
    const qint32 count = readInt32(stream, "count");
    // Every entry takes at least its 4-byte size: a count the stream cannot hold is
    // refused before anything is read.
    if (count < 0 || count > stream.bytesAvailable() / 4)
        throw Exception("The icon list's count " + std::to_string(count) + " is impossible");
    for (qint32 i = 0; i < count; ++i) {
        const qint32 size = readInt32(stream, "entry size");
        if (size == 0) {
            Add(QIcon());
            continue;
        }
        if (size < 0 || size > stream.bytesAvailable())
            throw Exception("Icon " + std::to_string(i) + " of the list claims " +
                            std::to_string(size) + " bytes, which the stream cannot hold");
        const QByteArray bytes = stream.read(size);
        if (bytes.size() != size)
            throw Exception("The icon list ends inside icon " + std::to_string(i));
        const QIcon icon = ReadIconFromStream(bytes);
        if (icon.isNull())
            throw Exception("Entry " + std::to_string(i) + " of the icon list is no icon");
        Add(icon);
    }
}

} // namespace kd
