#include "widgets/storage/PropertyKind.h"

#include <QVariant>

namespace kd {

PropertyKind propertyKind(const QMetaProperty& property) {
    if (property.isEnumType())
        return property.isFlagType() ? PropertyKind::Set : PropertyKind::Enumeration;
    const QMetaType type = property.metaType();
    if (type.flags().testFlag(QMetaType::PointerToQObject))
        return PropertyKind::Object;
    switch (type.id()) {
    case QMetaType::Bool:
        return PropertyKind::Enumeration;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return PropertyKind::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return PropertyKind::Int64;
    case QMetaType::QChar:
    case QMetaType::Char:
        return PropertyKind::Character;
    case QMetaType::Float:
    case QMetaType::Double:
        return PropertyKind::Float;
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return PropertyKind::String;
    case QMetaType::QVariant:
        return PropertyKind::Variant;
    case QMetaType::QStringList:
        return PropertyKind::StringList;
    default:
        return PropertyKind::Unsupported;
    }
}

bool emptyTextIsValue(PropertyKind kind) {
    return kind == PropertyKind::String || kind == PropertyKind::Character;
}

} // namespace kd
