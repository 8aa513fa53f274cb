#pragma once
#include <QMetaProperty>
#include <QVariant>
#include <string>

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

// A value of the property's own enumeration or flag type, and the number of one.
QVariant enumVariant(const QMetaProperty& property, int value);
int enumInt(const QVariant& value);

// A flag set as "[a,b]": the names of its single-bit members, lowest bit first.
std::string setText(const QMetaEnum& flags, int value);
// The members named by the words of the text (separated by blanks, commas and
// brackets; other words are ignored).
int setFromText(const QMetaEnum& flags, const std::string& text);

// Whether an empty text is a value of its own for the kind (strings and characters).
bool emptyTextIsValue(PropertyKind kind);

} // namespace kd
