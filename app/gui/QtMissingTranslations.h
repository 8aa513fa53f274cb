#pragma once
#include <QTranslator>
#include <string>

namespace kd {

// Qt's own texts that Debian's translation files of Qt leave in English: the kinds of
// files in the file dialog ("Folder", "txt File") in Czech and Slovak, and the standard
// buttons ("Cancel", "Open") in Slovak. Installed after Qt's own translation, it is asked
// first and answers nothing for the texts that one has.
class QtMissingTranslations : public QTranslator {
public:
    // The language of the code ("CZ", "SK"; anything else answers nothing).
    explicit QtMissingTranslations(const std::string& code);

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return language_ < 0; }

private:
    int language_ = -1; // 0 Czech, 1 Slovak
};

} // namespace kd
