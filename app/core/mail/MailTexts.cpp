#include "app/core/mail/MailTexts.h"

#include "lang/Translations.h"

#include <array>

namespace kd::mail_text {
namespace {

enum Text : std::size_t {
    SentBefore,
    SentAfter,
    OpenedBefore,
    OpenedAfter,
    NotSentBefore,
    NotSentAfter,
    RefusedBefore,
    RefusedAfter,
    NoProgramBefore,
    NoProgramAfter,
    NoClientBefore,
    NoClientAfter,
    CancelledBefore,
    CancelledAfter,
    NotAttached,
    NotTakenBefore,
    NotTakenAfter,
    NotEndedBefore,
    NotEndedAfter,
    ExitStatus,
    Signal,
    NoStatus,
    Waiting,
    TextCount
};

// Texts with the address in between: before it, after it.
constexpr std::array<Translations, TextCount> kTexts = {{
    {"E-mail se zálohou pro \"", "The e-mail with the backup for \"", "E-mail so zálohou pre \""},
    {"\" byl předán poštovnímu programu, připojených souborů: ",
     "\" was handed over to the mail program, files attached: ",
     "\" bol odovzdaný poštovému programu, pripojených súborov: "},
    {"E-mail se zálohou pro \"", "The e-mail with the backup for \"", "E-mail so zálohou pre \""},
    {"\" byl otevřen v poštovním klientu k odeslání, připojených souborů: ",
     "\" was opened in the mail client for sending, files attached: ",
     "\" bol otvorený v poštovom klientovi na odoslanie, pripojených súborov: "},
    {"E-mail se zálohou pro \"", "The e-mail with the backup for \"", "E-mail so zálohou pre \""},
    {"\" nebyl předán poštovnímu programu: ", "\" was not handed over to the mail program: ",
     "\" nebol odovzdaný poštovému programu: "},
    {"E-mail se zálohou nebyl odeslán: adresu \"", "The e-mail with the backup was not sent: \"",
     "E-mail so zálohou nebol odoslaný: adresu \""},
    {"\" nelze použít (zalomení řádku nebo \"-\" na začátku)",
     "\" cannot be used as an address (a line break or a leading \"-\")",
     "\" nemožno použiť (zalomenie riadku alebo \"-\" na začiatku)"},
    {"E-mail se zálohou pro \"", "The e-mail with the backup for \"", "E-mail so zálohou pre \""},
    {"\" nebyl odeslán: není nainstalován poštovní program (sendmail)",
     "\" was not sent: no mail program is installed (sendmail)",
     "\" nebol odoslaný: nie je nainštalovaný poštový program (sendmail)"},
    {"E-mail se zálohou pro \"", "The e-mail with the backup for \"", "E-mail so zálohou pre \""},
    {"\" nebyl odeslán: žádný poštovní klient jej nemohl zobrazit (chybí xdg-email) a bez "
     "zobrazení se neodesílá",
     "\" was not sent: no mail client could show it (xdg-email is missing), and it is not sent "
     "unseen",
     "\" nebol odoslaný: žiadny poštový klient ho nemohol zobraziť (chýba xdg-email) a bez "
     "zobrazenia sa neodosiela"},
    {"E-mail se zálohou pro \"", "The e-mail with the backup for \"", "E-mail so zálohou pre \""},
    {"\" nebyl odeslán: předání poštovnímu programu bylo přerušeno",
     "\" was not sent: the hand-over to the mail program was cancelled",
     "\" nebol odoslaný: odovzdanie poštovému programu bolo prerušené"},
    {"; nepřipojeno (zpráva nese nejvýše 19 souborů): ",
     "; not attached (a message carries at most 19 files): ",
     "; nepripojených (správa nesie najviac 19 súborov): "},
    // Texts with the program's path before them and the limit in between.
    {" nepřevzal zprávu do ", " did not take the message within ", " neprevzal správu do "},
    {" a byl ukončen", " and was stopped", " a bol ukončený"},
    {" neskončil do ", " did not end within ", " neskončil do "},
    {" a byl ukončen", " and was stopped", " a bol ukončený"},
    // How it ended, after the program's path and a colon.
    {"návratový kód ", "exit status ", "návratový kód "},
    {"ukončen signálem ", "ended by signal ", "ukončený signálom "},
    {"jeho návratový kód nelze zjistit", "its exit status could not be read",
     "jeho návratový kód nie je možné zistiť"},
    // The status bar's, before the program's path.
    {"Čekám na poštovní program ", "Waiting for the mail program ", "Čakám na poštový program "},
}};

// The address as the log shows it: a line break would split the line.
std::string shown(const std::string& address) {
    std::string out;
    for (char c : address)
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    return out;
}

std::string text(std::string_view languageCode, Text id) {
    return kTexts[id].in(languageCode);
}

std::string around(std::string_view languageCode, Text before, const std::string& middle) {
    return text(languageCode, before) + middle + text(languageCode, static_cast<Text>(before + 1));
}

std::string duration(std::chrono::milliseconds limit) {
    const long long ms = limit.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// The count of files attached, and of those left out when there are any.
std::string attached(std::string_view languageCode, std::size_t files, std::size_t leftOut) {
    std::string out = std::to_string(files);
    if (leftOut > 0)
        out += text(languageCode, NotAttached) + std::to_string(leftOut);
    return out;
}

} // namespace

std::string sent(std::string_view languageCode, const std::string& address, std::size_t files,
                 std::size_t leftOut) {
    return around(languageCode, SentBefore, shown(address)) +
           attached(languageCode, files, leftOut);
}

std::string opened(std::string_view languageCode, const std::string& address, std::size_t files,
                   std::size_t leftOut) {
    return around(languageCode, OpenedBefore, shown(address)) +
           attached(languageCode, files, leftOut);
}

std::string notSent(std::string_view languageCode, const std::string& address,
                    const std::string& detail) {
    return around(languageCode, NotSentBefore, shown(address)) + detail;
}

std::string addressRefused(std::string_view languageCode, const std::string& address) {
    return around(languageCode, RefusedBefore, shown(address));
}

std::string noProgram(std::string_view languageCode, const std::string& address) {
    return around(languageCode, NoProgramBefore, shown(address));
}

std::string noClient(std::string_view languageCode, const std::string& address) {
    return around(languageCode, NoClientBefore, shown(address));
}

std::string cancelled(std::string_view languageCode, const std::string& address) {
    return around(languageCode, CancelledBefore, shown(address));
}

std::string notTaken(std::string_view languageCode, const std::string& program,
                     std::chrono::milliseconds limit) {
    return program + around(languageCode, NotTakenBefore, duration(limit));
}

std::string notEnded(std::string_view languageCode, const std::string& program,
                     std::chrono::milliseconds limit) {
    return program + around(languageCode, NotEndedBefore, duration(limit));
}

std::string failed(std::string_view languageCode, const std::string& program,
                   const ProcessEnd& end) {
    if (end.exitCode >= 0)
        return program + ": " + text(languageCode, ExitStatus) + std::to_string(end.exitCode);
    if (end.signal > 0)
        return program + ": " + text(languageCode, Signal) + std::to_string(end.signal);
    return program + ": " + text(languageCode, NoStatus);
}

std::string waiting(std::string_view languageCode, const std::string& program) {
    return text(languageCode, Waiting) + program + "...";
}

} // namespace kd::mail_text
