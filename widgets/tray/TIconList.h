#pragma once
#include <QIcon>

#include <functional>
#include <vector>

class QIODevice;

namespace kd {

// An ordered list of icons (an entry may be empty: a null icon) that can be written to
// and read from a stream. Every change calls OnChange, except inside a batch, which
// calls it once when it ends.
class TIconList {
public:
    std::function<void()> OnChange;

    int Count() const { return static_cast<int>(icons_.size()); }
    // The icon at index (a null icon for an empty entry); an index outside the list
    // throws.
    const QIcon& Get(int index) const;
    // Replaces the entry at index; index Count appends.
    void Put(int index, const QIcon& icon);
    int Add(const QIcon& icon);
    void Insert(int index, const QIcon& icon);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void Clear();
    void Assign(const TIconList& source);
    void Assign(const QIcon& icon);

    void BeginBatch() { ++batch_; }
    void EndBatch();

    // The count (32-bit, little-endian), then per entry its size and that many bytes of
    // an icon file; size 0 for an empty entry.
    void SaveToStream(QIODevice& stream) const;
    // Replaces the list with the icons of a stream written by SaveToStream. Throws on a
    // negative or impossible count or size, on a stream that ends early and on bytes
    // that are no icon; entries read before the fault stay in the list.
    void LoadFromStream(QIODevice& stream);

protected:
    void Changed();

private:
    void checkIndex(int index, int upper) const;

    std::vector<QIcon> icons_;
    int batch_ = 0;
};

} // namespace kd
