#include "lang/qt/TkdCustomTranslator.h"
#include "lang/qt/TextListJoin.h"

#include <algorithm>

namespace kd {
namespace {

// Runs the action when the scope ends, also on an exception.
template <class F> class AtScopeEnd {
public:
    explicit AtScopeEnd(F action) : action_(std::move(action)) {}
    ~AtScopeEnd() { action_(); }
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;

private:
    F action_;
};

} // namespace

TkdCustomTranslator::TkdCustomTranslator(QObject* owner) : QObject(owner) {}

// A derived translator closes its own source; the base has nothing to close.
TkdCustomTranslator::~TkdCustomTranslator() = default;

void TkdCustomTranslator::setActive(bool active) {
    if (active == active_)
        return;
    if (active)
        DoOpen();
    else
        DoClose();
    active_ = active;
}

QString TkdCustomTranslator::TranslateMsg(const QString& msg) {
    QString result = msg;
    if (OnTranslateMsg)
        OnTranslateMsg(*this, msg, result);
    return result;
}

QString TkdCustomTranslator::TranslateProp(const QString& propPath, const QString& value) {
    QString result = value;
    if (OnTranslateProp)
        OnTranslateProp(*this, propPath, value, result);
    return result;
}

QString TkdCustomTranslator::propertyPath(const QString& propName) const {
    return propName.isEmpty() ? prefix_ : prefix_ + u'.' + propName;
}

QString TkdCustomTranslator::TranslatePropString(TextObject& instance, const QString& propName,
                                                 const QString& value) {
    const QString path = propertyPath(propName);
    if (!properties_.isEmpty() && !properties_.contains(path, Qt::CaseInsensitive))
        return value;
    if (OnTranslatePropString) {
        QString result = value;
        OnTranslatePropString(*this, instance, propName, value, result);
        return result;
    }
    setActive(true);
    return TranslateProp(path, value);
}

void TkdCustomTranslator::TranslatePropInstance(TextObject& instance) {
    if (const auto lines = instance.lines()) {
        const QString joined = joinTextLines(*lines);
        const QString result = TranslatePropString(instance, {}, joined);
        if (result != joined)
            instance.setLines(splitTextLines(result));
    } else if (auto items = instance.items()) {
        const QString saved = prefix_;
        const AtScopeEnd restore([&] { prefix_ = saved; });
        for (std::size_t i = 0; i < items->size(); ++i) {
            prefix_ = saved + u'.' + QString::number(i);
            Translate(*(*items)[i]);
        }
    }
    if (OnTranslatePropInstance)
        OnTranslatePropInstance(*this, instance);
}

void TkdCustomTranslator::Translate(QObject* object) {
    if (object)
        Translate(*textObjectOf(object));
}

void TkdCustomTranslator::TranslateOwner() {
    Translate(parent());
}

void TkdCustomTranslator::Translate(TextObject& object) {
    setActive(true);
    const bool outermost = !visited_;
    if (outermost) {
        root_ = object.identity();
        visited_.emplace();
    }
    const AtScopeEnd endOfWalk([&] {
        if (outermost) {
            visited_.reset();
            root_ = nullptr;
            prefix_.clear();
        }
    });

    const auto visited = [this](const void* identity) {
        return std::find(visited_->begin(), visited_->end(), identity) != visited_->end();
    };
    QObject* component = object.component();
    if (component) {
        if (visited(component) || (component != root_ && !visited(ownerOf(component))))
            return;
        visited_->push_back(component);
    }

    // The component's name joins the path for everything below it.
    const QString name = component ? componentName(component) : QString();
    const qsizetype prefixLength = prefix_.size();
    const AtScopeEnd removeName([&] {
        if (!outermost)
            prefix_.truncate(prefixLength);
    });
    if (!name.isEmpty())
        prefix_ += prefix_.isEmpty() ? name : u'.' + name;

    TranslatePropInstance(object);
    for (const TextProperty& text : object.textProperties()) {
        const QString value = text.get();
        const QString result = TranslatePropString(object, text.name, value);
        if (result != value)
            text.set(result);
    }
    for (const TextObject::Part& part : object.parts()) {
        const qsizetype length = prefix_.size();
        const AtScopeEnd restore([&] { prefix_.truncate(length); });
        prefix_ += u'.' + part.name;
        Translate(*part.object);
    }
    if (component)
        for (QObject* owned : ownedComponents(component))
            Translate(owned);
}

} // namespace kd
