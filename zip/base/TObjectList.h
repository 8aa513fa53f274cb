#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/Exception.h"
#include "platform/Stream.h"
#include "zip/base/ObjectClassRegistry.h"
#include "zip/base/TFiler.h"

namespace kd {

// Index errors and misuse of the engine's object lists.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// The engine's list of objects of type T, held by shared pointers: a list that owns
// its objects and a second list (a sorted view) over the same objects can live side
// by side, and an object lives as long as any list holds it.
//
// The capacity grows in the engine's steps (by 4 below 5 slots, by 8 up to 8, then by
// 16), so adding one by one gives 4, 8, 16, 32, 48, ... Index errors raise EListError
// "List index out of bounds (N)".
//
// The list streams its objects through the class registry as its binary property
// "ObjectContainer": an owns byte, the count (4 bytes, little-endian), then per object
// its class name (a length byte and at most 63 characters) and what the class's store
// procedure writes.
template <class T> class TObjectList {
public:
    using Item = std::shared_ptr<T>;
    static constexpr int MaxListSize = 0x1FFFFFFE;

    TObjectList() = default;
    virtual ~TObjectList() = default;
    TObjectList(const TObjectList&) = default;
    TObjectList& operator=(const TObjectList&) = default;
    TObjectList(TObjectList&&) noexcept = default;
    TObjectList& operator=(TObjectList&&) noexcept = default;

    int Count() const { return static_cast<int>(items_.size()); }
    int Capacity() const { return capacity_; }
    bool Empty() const { return items_.empty(); }

    // Capacity below the count or above MaxListSize raises EListError.
    void SetCapacity(int capacity) {
        if (capacity < Count() || capacity > MaxListSize)
            ErrorIndex(capacity);
        capacity_ = capacity;
        items_.reserve(static_cast<std::size_t>(capacity));
    }
    // New slots of a larger count are empty (null).
    void SetCount(int count) {
        if (count < 0 || count > MaxListSize)
            ErrorIndex(count);
        if (count > capacity_)
            SetCapacity(count);
        items_.resize(static_cast<std::size_t>(count));
    }

    const Item& Get(int index) const {
        CheckIndex(index, Count() - 1);
        return items_[static_cast<std::size_t>(index)];
    }
    const Item& operator[](int index) const { return Get(index); }

    // Replaces the item at index.
    virtual void Put(int index, Item item) {
        CheckIndex(index, Count() - 1);
        items_[static_cast<std::size_t>(index)] = std::move(item);
    }
    // Appends; returns the new index.
    virtual int Add(Item item) {
        if (Count() == capacity_)
            Grow();
        items_.push_back(std::move(item));
        return Count() - 1;
    }
    // Inserts before index (index == Count appends).
    virtual void Insert(int index, Item item) {
        CheckIndex(index, Count());
        if (Count() == capacity_)
            Grow();
        items_.insert(items_.begin() + index, std::move(item));
    }
    // Index of this very object, -1 when absent.
    virtual int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == item)
                return static_cast<int>(i);
        return -1;
    }
    // Drops every item; count and capacity become 0.
    void Clear() {
        items_.clear();
        items_.shrink_to_fit();
        capacity_ = 0;
    }

    const Item& First() const { return Get(0); }
    const Item& Last() const { return Get(Count() - 1); }

    // With no item: direction 1 gives First, 0 gives Last. Otherwise the item before
    // (0) or after (1) item, or null past either end. An item not in the list raises
    // EListError "tObject <class> not in item list".
    Item Navigate(const T* item, int direction) const {
        if (!item)
            return direction == 1 ? First() : Last();
        const int index = IndexOf(item);
        if (index < 0)
            throw EListError("tObject " + ClassNameOf(typeid(*item)) + " not in item list");
        const int next = direction == 1 ? index + 1 : index - 1;
        return next >= 0 && next < Count() ? items_[static_cast<std::size_t>(next)] : nullptr;
    }

    // Names "ObjectContainer", written only when the list has items.
    void DefineProperties(TFiler& filer) {
        filer.DefineBinaryProperty(
            "ObjectContainer", [this](Stream& stream) { LoadFromStream(stream); },
            [this](Stream& stream) { SaveToStream(stream); }, !Empty());
    }

    // Adds the objects of a stream written by SaveToStream, each with Add.
    virtual void LoadFromStream(Stream& stream) {
        std::uint8_t owns = 0;
        stream.ReadBuffer(&owns, 1); // the list keeps its objects alive whatever it says
        std::uint8_t bytes[4];
        stream.ReadBuffer(bytes, sizeof bytes);
        const std::uint32_t count =
            bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
        if (count > static_cast<std::uint32_t>(MaxListSize - Count()))
            ErrorIndex(static_cast<int>(std::min<std::uint32_t>(count, 0x7FFFFFFF)));
        // Every object takes a byte at least: a count beyond the stream's end is a
        // damaged stream, not a reason to reserve gigabytes.
        if (count > static_cast<std::uint64_t>(
                        std::max<std::int64_t>(stream.Size() - stream.Position(), 0)))
            throw EReadError("The object list in the stream is cut short");
        SetCapacity(std::max(Capacity(), Count() + static_cast<int>(count)));
        for (std::uint32_t i = 0; i < count; ++i)
            Add(ObjectClassRegistry::ReadObject<T>(stream));
    }

    // Writes the list as LoadFromStream reads it.
    virtual void SaveToStream(Stream& stream) const {
        const std::uint8_t owns = 1;
        stream.WriteBuffer(&owns, 1);
        const auto count = static_cast<std::uint32_t>(Count());
        const std::uint8_t bytes[4] = {
            static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8),
            static_cast<std::uint8_t>(count >> 16), static_cast<std::uint8_t>(count >> 24)};
        stream.WriteBuffer(bytes, sizeof bytes);
        for (const Item& item : items_)
            ObjectClassRegistry::WriteObject<T>(item.get(), stream);
    }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

protected:
    // The reported capacity keeps the engine's steps, but the storage grows by
    // doubling: reserving each step exactly would copy the whole list every 16
    // items, quadratic in an archive of many entries.
    virtual void Grow() {
        const int delta = capacity_ > 8 ? 16 : capacity_ > 4 ? 8 : 4;
        if (capacity_ + delta > MaxListSize)
            ErrorIndex(capacity_ + delta);
        capacity_ += delta;
    }
    [[noreturn]] static void Error(const std::string& message) { throw EListError(message); }
    [[noreturn]] static void ErrorIndex(int index) {
        Error("List index out of bounds (" + std::to_string(index) + ")");
    }
    static void CheckIndex(int index, int highest) {
        if (index < 0 || index > highest)
            ErrorIndex(index);
    }
    // Inserts without the checks of a derived class's Insert.
    void InsertAt(int index, Item item) { TObjectList::Insert(index, std::move(item)); }

private:
    std::vector<Item> items_;
    int capacity_ = 0;
};

} // namespace kd
