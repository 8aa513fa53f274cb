#pragma once
#include "widgets/storage/TFormPlacement.h"
#include "widgets/storage/TStoredValue.h"

#include <QPointer>
#include <string>
#include <vector>

namespace kd {

// A placement that also keeps chosen properties of the window's objects (StoredProps,
// lines "object.property", each kept as "object_property") and named values
// (StoredValues) in its section, after the placement values.
class TFormStorage : public TFormPlacement {
    Q_OBJECT
public:
    explicit TFormStorage(QWidget* form);

    // The lines with each object's current name; lines whose object is gone are left
    // out.
    std::vector<std::string> StoredProps();
    // Takes the lines and finds their objects on the window; a line without an object
    // of that name, or without an object or property part, is dropped.
    void setStoredProps(const std::vector<std::string>& lines);
    TStoredValues& StoredValues() { return storedValues_; }

    virtual void SaveProperties();
    virtual void RestoreProperties();

protected:
    void SavePlacement() override;
    void RestorePlacement() override;

private:
    struct StoredProp {
        QPointer<QObject> object;
        std::string property;
    };
    // Rewrites the lines from their objects' names, dropping those whose object is gone.
    void updateStoredProps();
    template <class F> void propertyPass(F&& pass);

    std::vector<StoredProp> storedProps_;
    TStoredValues storedValues_{*this};
};

} // namespace kd
