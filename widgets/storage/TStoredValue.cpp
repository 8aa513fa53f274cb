#include "widgets/storage/TStoredValue.h"

#include "platform/Exception.h"
#include "widgets/storage/TFormPlacement.h"
#include "widgets/text/KeyScramble.h"

namespace kd {
namespace {

bool sameText(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// Whether the text can be what EncodeXorHex wrote: pairs of hexadecimal digits.
bool isScrambledText(const std::string& text) {
    if (text.size() % 2 != 0)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

} // namespace

TStoredValue::TStoredValue(TStoredValues& collection) : collection_(collection) {}

void TStoredValue::setName(const std::string& name) {
    if (!name.empty() && !sameText(name, name_)) {
        const int other = collection_.IndexOf(name);
        if (other >= 0 && &collection_[static_cast<std::size_t>(other)] != this)
            throw Exception("String list does not allow duplicates");
    }
    name_ = name;
}

void TStoredValue::Assign(const TStoredValue& source) {
    Value = source.Value.isValid() ? source.Value : QVariant();
    setName(source.name_);
    KeyString = source.KeyString;
}

void TStoredValue::Save() {
    QVariant copy = Value;
    if (OnSave)
        OnSave(*this, copy);
    std::string text = copy.toString().toStdString();
    if (!KeyString.empty())
        text = EncodeXorHex(KeyString, text);
    collection_.Storage().WritePlacementString(name_, text);
}

void TStoredValue::Restore() {
    std::string def = Value.toString().toStdString();
    if (!KeyString.empty())
        def = EncodeXorHex(KeyString, def);
    std::string text = collection_.Storage().ReadPlacementString(name_, def);
    if (!KeyString.empty()) {
        // A damaged scrambled text keeps the value there is.
        if (!isScrambledText(text))
            text = def;
        text = DecodeXorHex(KeyString, text);
    }
    QVariant restored(QString::fromStdString(text));
    if (OnRestore)
        OnRestore(*this, restored);
    Value = restored;
}

TStoredValue& TStoredValues::Add() {
    items_.push_back(std::make_unique<TStoredValue>(*this));
    return *items_.back();
}

int TStoredValues::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (sameText(items_[i]->Name(), name))
            return static_cast<int>(i);
    return -1;
}

void TStoredValues::SaveValues() {
    for (const auto& item : items_)
        item->Save();
}

void TStoredValues::RestoreValues() {
    for (const auto& item : items_)
        item->Restore();
}

} // namespace kd
