#include "widgets/storage/TFormStorage.h"

#include "platform/Trim.h"
#include "widgets/storage/PlacementStore.h"
#include "widgets/storage/TPropsStorage.h"

#include <QWidget>
#include <algorithm>
#include <exception>

namespace kd {

TFormStorage::TFormStorage(QWidget* form) : TFormPlacement(form) {}

void TFormStorage::updateStoredProps() {
    std::erase_if(storedProps_, [](const StoredProp& p) { return p.object.isNull(); });
}

std::vector<std::string> TFormStorage::StoredProps() {
    updateStoredProps();
    std::vector<std::string> lines;
    for (const StoredProp& p : storedProps_)
        lines.push_back(p.object->objectName().toStdString() + "." + p.property);
    return lines;
}

void TFormStorage::setStoredProps(const std::vector<std::string>& lines) {
    storedProps_.clear();
    if (!form())
        return;
    for (const std::string& line : lines) {
        const auto dot = line.find('.');
        if (dot == std::string::npos)
            continue;
        const QString objectName =
            QString::fromStdString(std::string(trimBlanks(line.substr(0, dot))));
        const std::string property(trimBlanks(line.substr(dot + 1)));
        if (objectName.isEmpty() || property.empty())
            continue;
        QObject* object =
            form()->objectName() == objectName ? form() : form()->findChild<QObject*>(objectName);
        if (object)
            storedProps_.push_back({object, property});
    }
}

template <class F> void TFormStorage::propertyPass(F&& pass) {
    updateStoredProps();
    for (const StoredProp& p : storedProps_) {
        const auto property = TPropsStorage::findProperty(*p.object, p.property);
        if (!property)
            continue;
        TPropsStorage storage(p.object, form());
        storage.Prefix = p.object->objectName().toStdString() + "_";
        storage.Section = IniSection();
        pass(storage, *property);
    }
}

void TFormStorage::SaveProperties() {
    propertyPass([this](TPropsStorage& storage, const QMetaProperty& property) {
        storage.OnWriteString = [this](const std::string& section, const std::string& name,
                                       const std::string& value) {
            WriteString(section, name, value);
        };
        storage.OnEraseSection = [this](const std::string& section) {
            if (PlacementStore* open = store())
                open->eraseSection(section);
        };
        storage.StoreAnyProperty(property);
    });
}

void TFormStorage::RestoreProperties() {
    try {
        propertyPass([this](TPropsStorage& storage, const QMetaProperty& property) {
            storage.OnReadString = [this](const std::string& section, const std::string& name,
                                          const std::string& def) {
                return ReadString(section, name, def);
            };
            storage.LoadAnyProperty(property);
        });
    } catch (const std::exception&) {
        // A failed property pass leaves the rest of the restore to go on.
    }
}

void TFormStorage::SavePlacement() {
    TFormPlacement::SavePlacement();
    SaveProperties();
    storedValues_.SaveValues();
}

void TFormStorage::RestorePlacement() {
    TFormPlacement::RestorePlacement();
    setRestored();
    RestoreProperties();
    storedValues_.RestoreValues();
}

} // namespace kd
