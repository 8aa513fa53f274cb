#pragma once
#include "platform/qt/QtUiHost.h"

namespace kd {

// The running program's UI host: Qt's dialogs with the program's own button texts,
// and the password form for the password guards.
class AppUiHost : public QtUiHost {
public:
    std::optional<std::string> passwordDialog() override;
};

} // namespace kd
