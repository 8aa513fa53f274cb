#pragma once
#include "widgets/storage/PropertyKind.h"

#include <QMetaProperty>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>

class QObject;

namespace kd {

// Keeps the properties of one object as texts in a section, each under Prefix and the
// property's name, through the object's meta-object: numbers in decimal, enumerations
// and Booleans by name, flag sets as "[a,b]", string lists in a subsection, object
// references by name (owner name and "." in front when another window owns it), and
// objects of its own with their own properties, nested.
class TPropsStorage {
public:
    using ReadStringFn = std::function<std::string(
        const std::string& section, const std::string& name, const std::string& def)>;
    using WriteStringFn = std::function<void(const std::string& section, const std::string& name,
                                             const std::string& value)>;
    using EraseSectionFn = std::function<void(const std::string& section)>;

    // owner: the window whose objects references are resolved against.
    TPropsStorage(QObject* object, QObject* owner);

    std::string Prefix;
    std::string Section;
    ReadStringFn OnReadString;
    WriteStringFn OnWriteString;
    EraseSectionFn OnEraseSection;

    // Every supported property of the object.
    void StoreProperties();
    void LoadProperties();
    void StoreAnyProperty(const QMetaProperty& property);
    // A failure leaves the property as it was.
    void LoadAnyProperty(const QMetaProperty& property);

    // The property of that name, letter case ignored.
    static std::optional<QMetaProperty> findProperty(const QObject& object,
                                                     const std::string& name);

private:
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& def) const;
    void WriteString(const std::string& section, const std::string& name,
                     const std::string& value) const;
    std::string itemName(const QMetaProperty& property) const;
    std::string subsection(const QMetaProperty& property) const;

    // The value as text; nothing for a kind without a text of its own.
    std::string valueText(const QMetaProperty& property) const;
    void applyText(const QMetaProperty& property, const std::string& text);
    std::string referenceText(const QObject* target) const;
    void applyReference(const QMetaProperty& property, const std::string& text);
    // An object property holds an object of its own when the object is its parent.
    QObject* nestedObject(const QMetaProperty& property) const;
    TPropsStorage nested(QObject& object, const QMetaProperty& property) const;
    void storeStringList(const QMetaProperty& property);
    void loadStringList(const QMetaProperty& property);

    QPointer<QObject> object_;
    QPointer<QObject> owner_;
};

} // namespace kd
