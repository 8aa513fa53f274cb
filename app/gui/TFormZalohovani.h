#pragma once
#include "app/core/ProgramSettings.h"
#include "platform/UiHost.h"

#include <QMainWindow>

namespace kd {

// The main window. Its creation reads the settings file from the program's
// directory and loads the message table of the language it names.
class TFormZalohovani : public QMainWindow {
    Q_OBJECT
public:
    TFormZalohovani(UiHost& ui, const std::string& programDirectory, QWidget* parent = nullptr);

    const ProgramSettings& settings() const { return settings_; }

private:
    UiHost& ui_;
    ProgramSettings settings_;
};

} // namespace kd
