#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QObject;

namespace kd {

// One text of an object that the translator reads and writes.
struct TextProperty {
    QString name; // "Caption", "Hint", "StatusHint", or a published property's own name
    std::function<QString()> get;
    std::function<void(const QString&)> set;
};

// Something the translator walks: a component (a named QObject of a form) or a part of
// one that is no component (the choices of a combo box, a view's columns, one column).
// This is the one place that knows which Qt properties are texts of the interface.
class TextObject {
public:
    struct Part {
        QString name; // the property's name in the path: "Items", "Columns"
        std::unique_ptr<TextObject> object;
    };

    virtual ~TextObject() = default;

    // The QObject when this is a component, else null.
    virtual QObject* component() const { return nullptr; }
    // What the walk's visited list holds for it: the component. A part is made anew
    // for each visit and cannot be reached twice, so it has none (null).
    const void* identity() const { return component(); }

    virtual std::vector<TextProperty> textProperties() const { return {}; }
    // Parts that are objects themselves (each walked under its name).
    virtual std::vector<Part> parts() const { return {}; }

    // A list of lines (nullopt when this is no list) and its replacement.
    virtual std::optional<QStringList> lines() const { return std::nullopt; }
    virtual void setLines(const QStringList& lines) { (void)lines; }

    // A collection: its items by index (nullopt when this is no collection).
    virtual std::optional<std::vector<std::unique_ptr<TextObject>>> items() const {
        return std::nullopt;
    }
};

// The component's texts and parts. Nothing for an unnamed object, the translator
// itself and an object with the dynamic property "kdData" set (texts the program fills
// at run time).
std::unique_ptr<TextObject> textObjectOf(QObject* component);

// The component's name in paths: its objectName, except that Qt's own internal names
// ("qt_...") count as no name.
QString componentName(const QObject* component);

// A form: a window of its own (a main window or a dialog), not a menu or other popup.
bool isForm(const QObject* object);

// The nearest form above the object (its owner), or null.
QObject* ownerOf(const QObject* component);

// The named objects the component owns, in creation order: for a form, every named
// object below it (through unnamed widgets and layouts) whose owner it is; a dialog or
// other form below it is not its own and neither is anything inside that.
std::vector<QObject*> ownedComponents(QObject* component);

} // namespace kd
