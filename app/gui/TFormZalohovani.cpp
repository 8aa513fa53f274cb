#include "app/gui/TFormZalohovani.h"

#include "app/core/SettingsFile.h"
#include "lang/TResourceStrings.h"

namespace kd {

TFormZalohovani::TFormZalohovani(UiHost& ui, const std::string& programDirectory, QWidget* parent)
    : QMainWindow(parent), ui_(ui) {
    setObjectName("FormZalohovani");
    setWindowTitle("Kordyne");
    settings_ = SettingsFile::read(programDirectory + "/" + SettingsFile::FileName, ui_);
    LanguageCode = settings_.LanguageCode;
    ResourceStrings.LoadLanguage(LanguageCode, &ui_);
}

} // namespace kd
