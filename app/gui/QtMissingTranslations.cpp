#include "app/gui/QtMissingTranslations.h"

#include <cstring>

namespace kd {
namespace {

struct MissingText {
    const char* context;
    const char* source;
    const char* czech; // null: Qt's Czech file has it
    const char* slovak;
};

constexpr MissingText kTexts[] = {
    {"QAbstractFileIconProvider", "Drive", "Jednotka", "Jednotka"},
    {"QAbstractFileIconProvider", "Folder", "Složka", "Priečinok"},
    {"QAbstractFileIconProvider", "File Folder", "Složka", "Priečinok"},
    {"QAbstractFileIconProvider", "File", "Soubor", "Súbor"},
    {"QAbstractFileIconProvider", "%1 File", "Soubor %1", "Súbor %1"},
    {"QAbstractFileIconProvider", "Shortcut", "Zástupce", "Odkaz"},
    {"QAbstractFileIconProvider", "Alias", "Alias", "Alias"},
    {"QAbstractFileIconProvider", "Unknown", "Neznámý", "Neznámy"},
    {"QPlatformTheme", "OK", nullptr, "OK"},
    {"QPlatformTheme", "Save", nullptr, "Uložiť"},
    {"QPlatformTheme", "Save All", nullptr, "Uložiť všetko"},
    {"QPlatformTheme", "Open", nullptr, "Otvoriť"},
    {"QPlatformTheme", "&Yes", nullptr, "Án&o"},
    {"QPlatformTheme", "Yes to &All", nullptr, "Áno pre &všetky"},
    {"QPlatformTheme", "&No", nullptr, "&Nie"},
    {"QPlatformTheme", "N&o to All", nullptr, "Ni&e pre všetky"},
    {"QPlatformTheme", "Abort", nullptr, "Prerušiť"},
    {"QPlatformTheme", "Retry", nullptr, "Opakovať"},
    {"QPlatformTheme", "Ignore", nullptr, "Ignorovať"},
    {"QPlatformTheme", "Close", nullptr, "Zavrieť"},
    {"QPlatformTheme", "Cancel", nullptr, "Zrušiť"},
    {"QPlatformTheme", "Discard", nullptr, "Zahodiť"},
    {"QPlatformTheme", "Help", nullptr, "Pomocník"},
    {"QPlatformTheme", "Apply", nullptr, "Použiť"},
    {"QPlatformTheme", "Reset", nullptr, "Obnoviť"},
    {"QPlatformTheme", "Restore Defaults", nullptr, "Obnoviť predvolené"},
};

} // namespace

QtMissingTranslations::QtMissingTranslations(const std::string& code) {
    if (code == "CZ")
        language_ = 0;
    else if (code == "SK")
        language_ = 1;
}

QString QtMissingTranslations::translate(const char* context, const char* sourceText, const char*,
                                         int) const {
    if (language_ < 0 || !context || !sourceText)
        return {};
    for (const MissingText& text : kTexts) {
        if (std::strcmp(text.context, context) != 0 || std::strcmp(text.source, sourceText) != 0)
            continue;
        const char* translated = language_ == 0 ? text.czech : text.slovak;
        return translated ? QString::fromUtf8(translated) : QString();
    }
    return {};
}

} // namespace kd
