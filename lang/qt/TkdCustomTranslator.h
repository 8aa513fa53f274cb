#pragma once
#include "lang/qt/TextObject.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace kd {

// Rewrites every text of its owner (a form) and of the components the owner owns. The
// walk builds a dotted path for each text ("FormZalohovani.Label1.Caption") and asks
// TranslateProp for the new value; derived translators answer from a language source.
class TkdCustomTranslator : public QObject {
    Q_OBJECT
public:
    // Each event may change the answer passed by reference (it starts as the old value).
    std::function<void(TkdCustomTranslator& sender, const QString& oldMsg, QString& newMsg)>
        OnTranslateMsg;
    std::function<void(TkdCustomTranslator& sender, const QString& propPath,
                       const QString& oldPropValue, QString& newPropValue)>
        OnTranslateProp;
    std::function<void(TkdCustomTranslator& sender, TextObject& instance, const QString& propName,
                       const QString& oldPropValue, QString& newPropValue)>
        OnTranslatePropString;
    std::function<void(TkdCustomTranslator& sender, TextObject& instance)> OnTranslatePropInstance;

    // The owner is the object the translator belongs to and translates.
    explicit TkdCustomTranslator(QObject* owner);
    ~TkdCustomTranslator() override;

    // Whether the language source is open; setting it opens or closes the source.
    bool Active() const { return active_; }
    void setActive(bool active);

    // When not empty, only these paths (any letter case) are translated.
    const QStringList& Properties() const { return properties_; }
    void setProperties(const QStringList& paths) { properties_ = paths; }

    void Translate(QObject* object);
    void TranslateOwner();

    virtual QString TranslateMsg(const QString& msg);

protected:
    virtual void DoOpen() {}
    virtual void DoClose() {}
    // The new value of the text at the path; the base answers the value itself (or
    // the event's answer).
    virtual QString TranslateProp(const QString& propPath, const QString& value);
    virtual QString TranslatePropString(TextObject& instance, const QString& propName,
                                        const QString& value);
    virtual void TranslatePropInstance(TextObject& instance);

private:
    void Translate(TextObject& object);
    QString propertyPath(const QString& propName) const;

    bool active_ = false;
    QStringList properties_;
    // The walk in progress: its root, the objects visited and the current path.
    const void* root_ = nullptr;
    std::optional<std::vector<const void*>> visited_;
    QString prefix_;
};

} // namespace kd
