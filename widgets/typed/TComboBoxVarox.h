#pragma once
#include "widgets/typed/TabExitKeys.h"

#include <QComboBox>

namespace kd {

// A combo box with Enter acting as Tab, Space as a click and the tab-exit event.
class TComboBoxVarox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBoxVarox(QWidget* parent = nullptr) : QComboBox(parent) {}

    bool EnterIsTab() const { return keys_.EnterIsTab; }
    void setEnterIsTab(bool value) { keys_.EnterIsTab = value; }
    void setOnClickSpace(std::function<void()> handler) { keys_.OnClickSpace = std::move(handler); }
    void setOnTabExit(TTabExitEvent handler) { keys_.OnTabExit = std::move(handler); }

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TabExitKeys keys_;
};

} // namespace kd
