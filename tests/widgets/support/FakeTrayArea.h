#pragma once
#include "widgets/tray/TrayArea.h"

#include <vector>

namespace kd::test {

// A notification area that records what it is shown; Notify plays a mouse
// notification. The record outlives the area (the tray icon owns the area).
struct FakeTrayRecord {
    bool available = true;
    bool present = false;
    std::vector<qint64> icons; // cache keys of the icons shown, in order
    std::vector<QString> tips;
    QPoint cursor{100, 200};
    Qt::KeyboardModifiers modifiers;
};

class FakeTrayArea : public TrayArea {
public:
    explicit FakeTrayArea(FakeTrayRecord& record) : record_(record) {}
    bool Add(const QIcon& icon, const QString& tip) override {
        if (!record_.available)
            return false;
        record_.present = true;
        Modify(icon, tip);
        return true;
    }
    void Modify(const QIcon& icon, const QString& tip) override {
        record_.icons.push_back(icon.cacheKey());
        record_.tips.push_back(tip);
    }
    void Remove() override { record_.present = false; }
    QPoint CursorPos() const override { return record_.cursor; }
    Qt::KeyboardModifiers Modifiers() const override { return record_.modifiers; }
    void Notify(TrayMouse message) { OnNotify(message); }

private:
    FakeTrayRecord& record_;
};

} // namespace kd::test
