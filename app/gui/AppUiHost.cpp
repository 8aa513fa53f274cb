#include "app/gui/AppUiHost.h"

#include "app/gui/TPasswordDlg.h"
#include "lang/TResourceStrings.h"
#include "lang/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kd {
namespace {

// Qt's translation file stem of a language code; empty for English (Qt's own).
QString qtTranslationName(const std::string& code) {
    if (code == "EN")
        return {};
    return code == "SK" ? QStringLiteral("qtbase_sk") : QStringLiteral("qtbase_cs");
}

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
    if (qtTranslation_)
        QCoreApplication::removeTranslator(qtTranslation_.get());
}

void AppUiHost::setLanguage(const std::string& code) {
    language_ = code;
    setButtonTexts(dialogButtonTexts(code));
    if (qtTranslation_) {
        QCoreApplication::removeTranslator(qtTranslation_.get());
        qtTranslation_.reset();
    }
    const QString name = qtTranslationName(code);
    if (name.isEmpty() || !QCoreApplication::instance())
        return;
    // Without Debian's file Qt's dialogs stay English; nothing to say about it.
    auto translation = std::make_unique<QTranslator>();
    if (translation->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translation.get()))
        qtTranslation_ = std::move(translation);
}

void AppUiHost::followLanguage() {
    if (LanguageCode != language_)
        setLanguage(LanguageCode);
}

MsgAnswer AppUiHost::messageBox(const std::string& text, const std::string& caption,
                                MsgButtons buttons, MsgIcon icon) {
    followLanguage();
    return QtUiHost::messageBox(text, caption, buttons, icon);
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
