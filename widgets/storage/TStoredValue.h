#pragma once
#include <QVariant>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kd {

class TFormPlacement;
class TStoredValues;

// A named value kept in the placement's section, scrambled with KeyString when that is
// not empty. OnSave may change the copy that is written, OnRestore the value read.
class TStoredValue {
public:
    using TStoredValueEvent = std::function<void(TStoredValue& sender, QVariant& value)>;

    explicit TStoredValue(TStoredValues& collection);

    const std::string& Name() const { return name_; }
    // Throws kd::Exception when another value of the collection has the name (letter
    // case ignored); the name then stays as it was.
    void setName(const std::string& name);

    QVariant Value;
    std::string KeyString;
    TStoredValueEvent OnSave;
    TStoredValueEvent OnRestore;

    void Assign(const TStoredValue& source);
    void Save();
    void Restore();

private:
    TStoredValues& collection_;
    std::string name_;
};

// The stored values of one placement, saved and restored in their order.
class TStoredValues {
public:
    explicit TStoredValues(TFormPlacement& storage) : storage_(storage) {}

    TStoredValue& Add();
    std::size_t Count() const { return items_.size(); }
    TStoredValue& operator[](std::size_t index) { return *items_[index]; }
    // The index of the first value of that name (letter case ignored), -1 when none.
    int IndexOf(const std::string& name) const;
    void Clear() { items_.clear(); }

    void SaveValues();
    void RestoreValues();

    TFormPlacement& Storage() { return storage_; }

private:
    TFormPlacement& storage_;
    std::vector<std::unique_ptr<TStoredValue>> items_;
};

} // namespace kd
