#include "app/gui/AppUiHost.h"

#include "app/gui/QtMissingTranslations.h"
#include "app/gui/TPasswordDlg.h"
#include "lang/EngineMessages.h"
#include "lang/TResourceStrings.h"
#include "lang/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kd {
namespace {

// Qt's translation file stem of a language code; empty for English (Qt's own).
QString qtTranslationName(const std::string& code) {
    if (code == "EN")
        return {};
    return code == "SK" ? QStringLiteral("qtbase_sk") : QStringLiteral("qtbase_cs");
}

// The locale whose dates and numbers Qt's dialogs show.
QLocale localeOf(const std::string& code) {
    if (code == "EN")
        return QLocale(QLocale::English, QLocale::UnitedKingdom);
    return code == "SK" ? QLocale(QLocale::Slovak, QLocale::Slovakia)
                        : QLocale(QLocale::Czech, QLocale::CzechRepublic);
}

// The name a box without a caption shows: the program's, as its main window does.
constexpr const char* kProgramName = "Kordyne";

} // namespace

DialogButtonTexts dialogButtonTexts(const std::string& code) {
    static constexpr Translations kOk{"OK", "OK", "OK"};
    static constexpr Translations kCancel{"Zruš", "Cancel", "Zrušiť"};
    static constexpr Translations kYes{"Ano", "Yes", "Áno"};
    static constexpr Translations kNo{"Ne", "No", "Nie"};
    static constexpr Translations kRetry{"Opakovat", "Retry", "Opakovať"};
    static constexpr Translations kAbort{"Přerušit", "Abort", "Prerušiť"};
    static constexpr Translations kIgnore{"Ignorovat", "Ignore", "Ignorovať"};
    return {kOk.in(code),    kCancel.in(code), kYes.in(code),   kNo.in(code),
            kRetry.in(code), kAbort.in(code),  kIgnore.in(code)};
}

AppUiHost::AppUiHost() = default;

AppUiHost::~AppUiHost() {
    removeQtTranslations();
}

void AppUiHost::removeQtTranslations() {
    for (auto* translation : {&qtMissing_, &qtTranslation_})
        if (*translation) {
            QCoreApplication::removeTranslator(translation->get());
            translation->reset();
        }
}

void AppUiHost::setLanguage(const std::string& code) {
    language_ = code;
    setButtonTexts(dialogButtonTexts(code));
    QLocale::setDefault(localeOf(code));
    removeQtTranslations();
    const QString name = qtTranslationName(code);
    if (name.isEmpty() || !QCoreApplication::instance())
        return;
    // Without Debian's file Qt's dialogs stay English; nothing to say about it.
    auto translation = std::make_unique<QTranslator>();
    if (translation->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translation.get()))
        qtTranslation_ = std::move(translation);
    // Asked before Qt's file, which lacks these texts.
    auto missing = std::make_unique<QtMissingTranslations>(code);
    if (qtTranslation_ && QCoreApplication::installTranslator(missing.get()))
        qtMissing_ = std::move(missing);
}

void AppUiHost::followLanguage() {
    if (LanguageCode != language_)
        setLanguage(LanguageCode);
}

MsgAnswer AppUiHost::messageBox(const std::string& text, const std::string& caption,
                                MsgButtons buttons, MsgIcon icon) {
    followLanguage();
    return QtUiHost::messageBox(EngineMessageText(text),
                                caption.empty() ? kProgramName : EngineMessageText(caption),
                                buttons, icon);
}

std::optional<std::string> AppUiHost::inputBox(const std::string& caption,
                                               const std::string& prompt,
                                               const std::string& initial, bool password) {
    followLanguage();
    return QtUiHost::inputBox(caption, prompt, initial, password);
}

std::optional<std::string> AppUiHost::passwordDialog() {
    // Without a display nobody could answer: the question is cancelled.
    if (!showsDialogs())
        return std::nullopt;
    followLanguage();
    TPasswordDlg dialog(parentWidget());
    return dialog.ask();
}

std::optional<std::string> AppUiHost::chooseDirectory(const std::string& caption,
                                                      const std::string& start) {
    followLanguage();
    return QtUiHost::chooseDirectory(caption, start);
}

std::optional<std::string> AppUiHost::chooseFile(const std::string& caption,
                                                 const std::string& start,
                                                 const std::string& filter) {
    followLanguage();
    return QtUiHost::chooseFile(caption, start, filter);
}

} // namespace kd
