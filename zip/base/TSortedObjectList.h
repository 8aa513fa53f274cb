#pragma once
#include <cstdint>
#include <string>

#include "zip/base/TObjectList.h"

namespace kd {

// What a sorted list does with an object whose key is already present.
enum class TDuplicates : std::uint8_t {
    Ignore = 0, // the new object is not inserted
    Accept = 1, // it goes in front of the equal ones
    Error = 2,  // EListError "Duplicate Object index"
};

// A list kept in the order of Compare. Every insertion goes to the place that Find
// gives; the index passed to Insert is ignored and Put is refused.
template <class T> class TSortedObjectList : public TObjectList<T> {
public:
    using typename TObjectList<T>::Item;

    explicit TSortedObjectList(TDuplicates duplicates) : duplicates_(duplicates) {}

    TDuplicates Duplicates() const { return duplicates_; }

    void Put(int, Item) override { this->Error("Cannot <Put> an Object in a sorted list!"); }

    // Add is Insert: the object goes to its place (or is dropped, or refused, as the
    // duplicates mode says). The result is always 0, whatever happened.
    int Add(Item item) override {
        Place(std::move(item));
        return 0;
    }
    void Insert(int, Item item) override { Place(std::move(item)); }

    // Index of an object equal to item by Compare (-1 when none).
    int IndexOf(const T* item) const override {
        int index = 0;
        return item && Find(*item, index) ? index : -1;
    }

    // The stream form starts with the duplicates mode, which the list then takes.
    void LoadFromStream(Stream& stream) override {
        std::uint8_t mode = 0;
        stream.ReadBuffer(&mode, 1);
        if (mode > static_cast<std::uint8_t>(TDuplicates::Error))
            this->Error("Unknown duplicates mode " + std::to_string(mode) + " in the stream");
        duplicates_ = static_cast<TDuplicates>(mode);
        TObjectList<T>::LoadFromStream(stream);
    }
    void SaveToStream(Stream& stream) const override {
        const auto mode = static_cast<std::uint8_t>(duplicates_);
        stream.WriteBuffer(&mode, 1);
        TObjectList<T>::SaveToStream(stream);
    }

    // Binary search for key. True when an equal object is present; index is then the
    // first equal one (Accept) or one of them, else the insertion position.
    bool Find(const T& key, int& index) const {
        int low = 0, high = this->Count() - 1;
        bool found = false;
        while (low <= high) {
            const int middle = (low + high) / 2;
            const int c = Compare(*this->Get(middle), key);
            if (c < 0) {
                low = middle + 1;
            } else {
                high = middle - 1;
                if (c == 0) {
                    found = true;
                    if (duplicates_ != TDuplicates::Accept)
                        low = middle;
                }
            }
        }
        index = low;
        return found;
    }

protected:
    // Compares a listed object a with an object b being placed: a negative result puts
    // b behind a, a positive one in front of a, 0 means equal keys.
    virtual int Compare(const T& a, const T& b) const = 0;

private:
    void Place(Item item) {
        // Objects placed in their order (a directory read or written) go to the end
        // after one comparison.
        if (!this->Empty() && Compare(*this->Last(), *item) < 0) {
            this->InsertAt(this->Count(), std::move(item));
            return;
        }
        int index = 0;
        if (Find(*item, index)) {
            if (duplicates_ == TDuplicates::Ignore)
                return;
            if (duplicates_ == TDuplicates::Error)
                this->Error("Duplicate Object index");
        }
        this->InsertAt(index, std::move(item));
    }

    TDuplicates duplicates_;
};

} // namespace kd
