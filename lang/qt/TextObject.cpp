#include "lang/qt/TextObject.h"

#include "lang/qt/TkdCustomTranslator.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMetaProperty>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTreeView>

namespace kd {
namespace {

// The text Qt gives as an action's tool tip when none is set.
QString defaultActionToolTip(QString text) {
    text.remove(QLatin1String("..."));
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == u'&')
            text.remove(i, 1);
    return text.trimmed();
}

// Reads and writes one Qt property through a getter and a setter of the object.
template <class T, class Get, class Set>
TextProperty property(const char* name, T* object, Get get, Set set) {
    return {QString::fromLatin1(name), [object, get] { return (object->*get)(); },
            [object, set](const QString& value) { (object->*set)(value); }};
}

// The texts our own classes publish (the directory edit's prompt, the file edit's
// filter): every string property a class of the program declares, by its name. Qt's
// own properties are left to the mapping above.
void addPublishedTexts(QObject* object, std::vector<TextProperty>& texts) {
    for (const QMetaObject* meta = object->metaObject(); meta; meta = meta->superClass()) {
        if (!QLatin1String(meta->className()).startsWith(QLatin1String("kd::")))
            continue;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.metaType().id() != QMetaType::QString || !property.isWritable())
                continue;
            texts.push_back(
                {QString::fromLatin1(property.name()),
                 [object, property] { return property.read(object).toString(); },
                 [object, property](const QString& value) { property.write(object, value); }});
        }
    }
}

// The page's tab when it is a page of a tab widget.
std::pair<QTabWidget*, int> tabOf(QWidget* page) {
    QWidget* stack = page->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return {tabs, tabs ? tabs->indexOf(page) : -1};
}

std::optional<TextProperty> captionOf(QObject* object) {
    if (auto* menu = qobject_cast<QMenu*>(object))
        return property("Caption", menu, &QMenu::title, &QMenu::setTitle);
    if (auto* box = qobject_cast<QGroupBox*>(object))
        return property("Caption", box, &QGroupBox::title, &QGroupBox::setTitle);
    if (auto* label = qobject_cast<QLabel*>(object))
        return property("Caption", label, &QLabel::text, &QLabel::setText);
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return property("Caption", button, &QAbstractButton::text, &QAbstractButton::setText);
    if (auto* action = qobject_cast<QAction*>(object))
        return property("Caption", action, &QAction::text, &QAction::setText);
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return std::nullopt;
    if (const auto [tabs, index] = tabOf(widget); index >= 0)
        return TextProperty{"Caption", [tabs, index] { return tabs->tabText(index); },
                            [tabs, index](const QString& text) { tabs->setTabText(index, text); }};
    if (isForm(widget))
        return property("Caption", widget, &QWidget::windowTitle, &QWidget::setWindowTitle);
    return std::nullopt;
}

// One column of a view: its header text in the view's model.
class ColumnText : public TextObject {
public:
    ColumnText(QAbstractItemModel* model, int column) : model_(model), column_(column) {}
    std::vector<TextProperty> textProperties() const override {
        return {{"Caption",
                 [model = model_, column = column_] {
                     return model->headerData(column, Qt::Horizontal).toString();
                 },
                 [model = model_, column = column_](const QString& text) {
                     model->setHeaderData(column, Qt::Horizontal, text);
                 }}};
    }

private:
    QAbstractItemModel* model_;
    int column_;
};

class Columns : public TextObject {
public:
    explicit Columns(QAbstractItemModel* model) : model_(model) {}
    std::optional<std::vector<std::unique_ptr<TextObject>>> items() const override {
        std::vector<std::unique_ptr<TextObject>> columns;
        for (int i = 0; i < model_->columnCount(); ++i)
            columns.push_back(std::make_unique<ColumnText>(model_, i));
        return columns;
    }

private:
    QAbstractItemModel* model_;
};

// The fixed choices of a combo box or list box. A translation with another number of
// lines is not taken: the program tells the choices apart by their position.
template <class Box> class Choices : public TextObject {
public:
    explicit Choices(Box* box) : box_(box) {}
    std::optional<QStringList> lines() const override {
        QStringList texts;
        for (int i = 0; i < box_->count(); ++i)
            texts.append(textAt(i));
        return texts;
    }
    void setLines(const QStringList& texts) override {
        if (texts.size() != box_->count())
            return;
        for (int i = 0; i < box_->count(); ++i)
            setTextAt(i, texts[i]);
    }

private:
    QString textAt(int i) const {
        if constexpr (std::is_same_v<Box, QComboBox>)
            return box_->itemText(i);
        else
            return box_->item(i)->text();
    }
    void setTextAt(int i, const QString& text) const {
        if constexpr (std::is_same_v<Box, QComboBox>)
            box_->setItemText(i, text);
        else
            box_->item(i)->setText(text);
    }

    Box* box_;
};

class Component : public TextObject {
public:
    explicit Component(QObject* object) : object_(object) {}
    QObject* component() const override { return object_; }

    std::vector<TextProperty> textProperties() const override {
        std::vector<TextProperty> texts;
        if (!translatable())
            return texts;
        if (auto caption = captionOf(object_))
            texts.push_back(std::move(*caption));
        if (auto* widget = qobject_cast<QWidget*>(object_)) {
            texts.push_back(property("Hint", widget, &QWidget::toolTip, &QWidget::setToolTip));
            if (!widget->statusTip().isEmpty())
                texts.push_back(
                    property("StatusHint", widget, &QWidget::statusTip, &QWidget::setStatusTip));
        } else if (auto* action = qobject_cast<QAction*>(object_)) {
            if (action->toolTip() != defaultActionToolTip(action->text()))
                texts.push_back(property("Hint", action, &QAction::toolTip, &QAction::setToolTip));
            if (!action->statusTip().isEmpty())
                texts.push_back(
                    property("StatusHint", action, &QAction::statusTip, &QAction::setStatusTip));
        }
        addPublishedTexts(object_, texts);
        return texts;
    }

    std::vector<Part> parts() const override {
        std::vector<Part> found;
        if (!translatable())
            return found;
        if (auto* combo = qobject_cast<QComboBox*>(object_); combo && !combo->isEditable())
            found.push_back({"Items", std::make_unique<Choices<QComboBox>>(combo)});
        if (auto* list = qobject_cast<QListWidget*>(object_))
            found.push_back({"Items", std::make_unique<Choices<QListWidget>>(list)});
        QAbstractItemModel* model = nullptr;
        if (auto* tree = qobject_cast<QTreeView*>(object_))
            model = tree->model();
        else if (auto* table = qobject_cast<QTableView*>(object_))
            model = table->model();
        if (model)
            found.push_back({"Columns", std::make_unique<Columns>(model)});
        return found;
    }

private:
    bool translatable() const {
        return !componentName(object_).isEmpty() && !object_->property("kdData").toBool() &&
               !qobject_cast<TkdCustomTranslator*>(object_);
    }

    QObject* object_;
};

bool isBoundary(const QObject* object) {
    return isForm(object) || !object->parent();
}

void collectOwned(QObject* object, std::vector<QObject*>& owned) {
    for (QObject* child : object->children()) {
        if (isBoundary(child))
            continue;
        if (!componentName(child).isEmpty())
            owned.push_back(child);
        collectOwned(child, owned);
    }
}

} // namespace

std::unique_ptr<TextObject> textObjectOf(QObject* component) {
    return std::make_unique<Component>(component);
}

QString componentName(const QObject* component) {
    const QString name = component->objectName();
    return name.startsWith(QLatin1String("qt_")) ? QString() : name;
}

bool isForm(const QObject* object) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || !widget->isWindow())
        return false;
    const Qt::WindowType type = widget->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

QObject* ownerOf(const QObject* component) {
    for (QObject* above = component->parent(); above; above = above->parent())
        if (isBoundary(above))
            return above;
    return nullptr;
}

std::vector<QObject*> ownedComponents(QObject* component) {
    std::vector<QObject*> owned;
    if (isBoundary(component))
        collectOwned(component, owned);
    return owned;
}

} // namespace kd
