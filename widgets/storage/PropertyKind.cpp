#include "widgets/storage/PropertyKind.h"

#include <QMetaEnum>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>
#include <cstring>

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

QVariant enumVariant(const QMetaProperty& property, int value) {
    QVariant variant(property.metaType());
    const qsizetype size = property.metaType().sizeOf();
    if (size == sizeof(int))
        std::memcpy(variant.data(), &value, sizeof value);
    else
        variant = QVariant(value);
    return variant;
}

int enumInt(const QVariant& value) {
    int result = 0;
    if (value.metaType().sizeOf() == sizeof(int))
        std::memcpy(&result, value.constData(), sizeof result);
    else
        result = value.toInt();
    return result;
}

std::string setText(const QMetaEnum& flags, int value) {
    std::string text = "[";
    for (int bit = 0; bit < 32; ++bit) {
        const int member = static_cast<int>(1u << bit);
        if (!(value & member))
            continue;
        if (const char* key = flags.valueToKey(member)) {
            if (text.size() > 1)
                text += ",";
            text += key;
        }
    }
    return text + "]";
}

int setFromText(const QMetaEnum& flags, const std::string& text) {
    int value = 0;
    const QStringList words =
        QString::fromStdString(text).split(QRegularExpression("[ ,\\[\\]]"), Qt::SkipEmptyParts);
    for (const QString& word : words)
        for (int i = 0; i < flags.keyCount(); ++i) {
            const unsigned member = static_cast<unsigned>(flags.value(i));
            // Only single members (one bit) count, not combinations of them.
            if (member != 0 && (member & (member - 1)) == 0 &&
                word.compare(QLatin1String(flags.key(i)), Qt::CaseInsensitive) == 0)
                value |= static_cast<int>(member);
        }
    return value;
}

} // namespace kd
