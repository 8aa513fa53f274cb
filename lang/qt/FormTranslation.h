#pragma once
#include "lang/qt/TKDTranslator.h"

#include <QObject>
#include <string>
#include <vector>

class QWidget;

namespace kd {

// Set by the start-up switch "/save_translation": each shown form then also writes its
// texts to "Lang/TRANSL_<form>.ini" beside the executable.
extern bool SaveTranslationMode;

// Sets SaveTranslationMode when an argument, lower-cased, is "/save_translation".
void readSaveTranslationSwitch(const std::vector<std::string>& arguments);

// The directory whose "Lang" folder holds the language files: the executable's, or
// the one set here (tests; empty goes back to the executable's).
std::string formFilesDirectory();
void setFormFilesDirectory(std::string directory);

// What the base form adds to a window: its translator KD_TL (a child of the window)
// and the show handler that translates the window from the language file of the
// current language each time the window is shown.
//
// Beyond a plain re-translation on every show: a text the program changed at run time
// (it differs from what the translator last wrote there) is left alone; a text the
// language file does not hold goes back to the window's built-in text, so switching
// back to Czech restores the Czech texts.
class FormTranslation : public QObject {
    Q_OBJECT
public:
    explicit FormTranslation(QWidget& form);

    TKDTranslator& KD_TL() { return *translator_; }

    // The show handler: in save mode writes the window's texts first, then translates.
    // A save that fails is reported on standard error; a language file that is
    // missing or unreadable leaves the texts as they are.
    void FormShow();
    // Translates the window again at once (the language was changed).
    void translateAgain();
    // The next show only brings back a window hidden to the notification area: it is
    // no new show and translates nothing.
    void nextShowIsRestore() { restoring_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& form_;
    TKDTranslator* translator_; // owned by the form, like its other components
    bool restoring_ = false;
};

} // namespace kd
