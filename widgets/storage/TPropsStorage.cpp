#include "widgets/storage/TPropsStorage.h"

#include "platform/Trim.h"
#include "widgets/storage/NumberText.h"

#include <QApplication>
#include <QMetaEnum>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <cstring>
#include <exception>

namespace kd {
namespace {

bool sameText(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

std::string toStd(const QString& text) {
    return text.toStdString();
}

std::string trimmed(const std::string& text) {
    return std::string(trimBlanks(text));
}

// The object of that name among the owner's objects (the owner itself included).
QObject* componentNamed(QObject& owner, const QString& name) {
    if (owner.objectName().compare(name, Qt::CaseInsensitive) == 0)
        return &owner;
    for (QObject* child : owner.findChildren<QObject*>())
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
    return nullptr;
}

QObject* ownerOf(const QObject& object) {
    if (const auto* widget = qobject_cast<const QWidget*>(&object))
        return widget->window() == widget ? nullptr : widget->window();
    return object.parent();
}

} // namespace

TPropsStorage::TPropsStorage(QObject* object, QObject* owner) : object_(object), owner_(owner) {}

std::optional<QMetaProperty> TPropsStorage::findProperty(const QObject& object,
                                                         const std::string& name) {
    const QMetaObject* meta = object.metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (sameText(meta->property(i).name(), name))
            return meta->property(i);
    return std::nullopt;
}

std::string TPropsStorage::ReadString(const std::string& section, const std::string& name,
                                      const std::string& def) const {
    return OnReadString ? OnReadString(section, name, def) : std::string();
}

void TPropsStorage::WriteString(const std::string& section, const std::string& name,
                                const std::string& value) const {
    if (OnWriteString)
        OnWriteString(section, name, value);
}

std::string TPropsStorage::itemName(const QMetaProperty& property) const {
    return Prefix + property.name();
}

std::string TPropsStorage::subsection(const QMetaProperty& property) const {
    return Section + "." + itemName(property);
}

void TPropsStorage::StoreProperties() {
    if (!object_)
        return;
    const QMetaObject* meta = object_->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        StoreAnyProperty(meta->property(i));
}

void TPropsStorage::LoadProperties() {
    if (!object_)
        return;
    const QMetaObject* meta = object_->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        LoadAnyProperty(meta->property(i));
}

void TPropsStorage::StoreAnyProperty(const QMetaProperty& property) {
    if (!object_)
        return;
    const PropertyKind kind = propertyKind(property);
    switch (kind) {
    case PropertyKind::Unsupported:
        return;
    case PropertyKind::StringList:
        storeStringList(property);
        return;
    case PropertyKind::Object:
        if (QObject* own = nestedObject(property)) {
            nested(*own, property).StoreProperties();
            return;
        }
        break;
    default:
        break;
    }
    const std::string text = valueText(property);
    if (text.empty() && !emptyTextIsValue(kind))
        return;
    WriteString(Section, itemName(property), trimmed(text));
}

void TPropsStorage::LoadAnyProperty(const QMetaProperty& property) {
    if (!object_ || !property.isWritable())
        return;
    try {
        const PropertyKind kind = propertyKind(property);
        switch (kind) {
        case PropertyKind::Unsupported:
            return;
        case PropertyKind::StringList:
            loadStringList(property);
            return;
        case PropertyKind::Object:
            if (QObject* own = nestedObject(property)) {
                nested(*own, property).LoadProperties();
                return;
            }
            break;
        default:
            break;
        }
        const std::string def = kind == PropertyKind::Object ? "" : valueText(property);
        std::string text;
        if (!def.empty() || emptyTextIsValue(kind) || kind == PropertyKind::Object)
            text = trimmed(ReadString(Section, itemName(property), def));
        applyText(property, text);
    } catch (const std::exception&) {
        // One property that cannot be restored leaves the others to go on.
    }
}

std::string TPropsStorage::valueText(const QMetaProperty& property) const {
    const QVariant value = property.read(object_);
    switch (propertyKind(property)) {
    case PropertyKind::Integer:
    case PropertyKind::Int64:
        return toStd(value.toString());
    case PropertyKind::Character:
        return toStd(value.toString());
    case PropertyKind::Enumeration:
        if (property.metaType().id() == QMetaType::Bool)
            return value.toBool() ? "True" : "False";
        if (const char* key = property.enumerator().valueToKey(enumInt(value)))
            return key;
        return "";
    case PropertyKind::Float:
        return toStd(QString::number(value.toDouble(), 'g',
                                     property.metaType().id() == QMetaType::Float ? 7 : 15));
    case PropertyKind::String:
    case PropertyKind::Variant:
        return toStd(value.toString());
    case PropertyKind::Set:
        return setText(property.enumerator(), enumInt(value));
    case PropertyKind::Object:
        return referenceText(value.value<QObject*>());
    case PropertyKind::StringList:
    case PropertyKind::Unsupported:
        break;
    }
    return "";
}

void TPropsStorage::applyText(const QMetaProperty& property, const std::string& text) {
    const QString qtext = QString::fromStdString(text);
    switch (propertyKind(property)) {
    case PropertyKind::Integer:
    case PropertyKind::Int64: {
        // A text that is no number keeps the value the property has.
        qint64 number = 0;
        if (parseWholeNumber(text, number))
            property.write(object_, QVariant(number));
        return;
    }
    case PropertyKind::Character:
        if (!qtext.isEmpty())
            property.write(object_, QVariant(qtext.at(0)));
        return;
    case PropertyKind::Enumeration:
        if (property.metaType().id() == QMetaType::Bool) {
            if (sameText(text, "True") || sameText(text, "False"))
                property.write(object_, QVariant(sameText(text, "True")));
            return;
        }
        for (int i = 0; i < property.enumerator().keyCount(); ++i)
            if (sameText(property.enumerator().key(i), text)) {
                property.write(object_, enumVariant(property, property.enumerator().value(i)));
                return;
            }
        return;
    case PropertyKind::Float: {
        bool ok = false;
        const double number = qtext.toDouble(&ok);
        if (ok)
            property.write(object_, QVariant(number));
        return;
    }
    case PropertyKind::String:
    case PropertyKind::Variant:
        property.write(object_, QVariant(qtext));
        return;
    case PropertyKind::Set:
        property.write(object_, enumVariant(property, setFromText(property.enumerator(), text)));
        return;
    case PropertyKind::Object:
        applyReference(property, text);
        return;
    case PropertyKind::StringList:
    case PropertyKind::Unsupported:
        return;
    }
}

std::string TPropsStorage::referenceText(const QObject* target) const {
    if (!target)
        return "(null)";
    const std::string name = toStd(target->objectName());
    const QObject* owner = ownerOf(*target);
    if (!owner || owner == owner_)
        return name;
    std::string ownerName = toStd(owner->objectName());
    if (ownerName.empty()) {
        // An unnamed owner goes by its class name, without the namespace and a leading T.
        ownerName = owner->metaObject()->className();
        if (const auto colon = ownerName.rfind(':'); colon != std::string::npos)
            ownerName.erase(0, colon + 1);
        if (!ownerName.empty() && ownerName.front() == 'T')
            ownerName.erase(0, 1);
    }
    return ownerName + "." + name;
}

void TPropsStorage::applyReference(const QMetaProperty& property, const std::string& text) {
    if (text.empty())
        return;
    QObject* found = nullptr;
    if (!sameText(text, "(null)")) {
        const QString qtext = QString::fromStdString(text);
        const qsizetype dot = qtext.indexOf('.');
        QObject* owner = owner_;
        if (dot >= 0) {
            owner = nullptr;
            const QString ownerName = qtext.left(dot);
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName().compare(ownerName, Qt::CaseInsensitive) == 0) {
                    owner = window;
                    break;
                }
        }
        if (!owner)
            return;
        found = componentNamed(*owner, dot >= 0 ? qtext.mid(dot + 1) : qtext);
        // An object of another class than the property holds clears it, as none would.
        const QMetaObject* wanted = property.metaType().metaObject();
        if (found && wanted && !found->metaObject()->inherits(wanted))
            found = nullptr;
    }
    QVariant value(property.metaType());
    std::memcpy(value.data(), &found, sizeof found);
    property.write(object_, value);
}

QObject* TPropsStorage::nestedObject(const QMetaProperty& property) const {
    QObject* target = property.read(object_).value<QObject*>();
    return target && target->parent() == object_ ? target : nullptr;
}

TPropsStorage TPropsStorage::nested(QObject& object, const QMetaProperty& property) const {
    TPropsStorage storage(&object, owner_);
    storage.Prefix = itemName(property);
    storage.Section = Section;
    storage.OnReadString = OnReadString;
    storage.OnWriteString = OnWriteString;
    storage.OnEraseSection = OnEraseSection;
    return storage;
}

void TPropsStorage::storeStringList(const QMetaProperty& property) {
    const std::string sub = subsection(property);
    if (OnEraseSection)
        OnEraseSection(sub);
    const QStringList lines = property.read(object_).toStringList();
    if (lines.isEmpty())
        return;
    WriteString(sub, "Count", std::to_string(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        WriteString(sub, "Item" + std::to_string(i), toStd(lines[i]));
}

void TPropsStorage::loadStringList(const QMetaProperty& property) {
    const std::string sub = subsection(property);
    int count = 0;
    if (!parseWholeNumber(ReadString(sub, "Count", "0"), count) || count <= 0)
        return;
    // A count naming items that are not there is damage: the list stays as it is
    // (and a wild count costs no more than the items really stored).
    static const std::string missing(1, '\0');
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        const std::string line = ReadString(sub, "Item" + std::to_string(i), missing);
        if (line == missing)
            return;
        lines << QString::fromStdString(line);
    }
    property.write(object_, QVariant(lines));
}

} // namespace kd
