#pragma once
#include <QFlags>

namespace kd {

enum class TKitMenuStyle { msStandard, msOwnerDraw, msBtnLowered, msBtnRaised };

enum class TMenuOwnerDrawStateFlag {
    odSelected = 0x1,
    odGrayed = 0x2,
    odDisabled = 0x4,
    odChecked = 0x8,
    odDefault = 0x20,
};
using TMenuOwnerDrawState = QFlags<TMenuOwnerDrawStateFlag>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TMenuOwnerDrawState)

enum class TPopupAlignment { paLeft, paRight, paCenter };

inline bool isButtonStyle(TKitMenuStyle style) {
    return style == TKitMenuStyle::msBtnLowered || style == TKitMenuStyle::msBtnRaised;
}

} // namespace kd
