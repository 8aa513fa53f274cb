#pragma once
#include <QMetaProperty>

class QObject;

namespace kd {

// How a property is kept as text (see TPropsStorage). Unsupported kinds (records such
// as rectangles and colours, lists other than of strings) are neither saved nor
// restored.
enum class PropertyKind {
    Unsupported,
    Integer,
    Int64,
    Character,
    Enumeration, // also Booleans, named False and True
    Float,
    String,
    Set,
    Variant,
    StringList,
    Object // a reference to another object, or an object of its own (nested)
};

PropertyKind propertyKind(const QMetaProperty& property);

// Whether an empty text is a value of its own for the kind (strings and characters).
bool emptyTextIsValue(PropertyKind kind);

} // namespace kd
