#include "app/core/mail/MimeMessage.h"

#include "platform/Exception.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace kd {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Bytes per base64 line of 76 characters.
constexpr std::size_t kLineBytes = 57;

std::string base64(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    if (const std::size_t rest = bytes.size() - i; rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2)
            v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[v >> 18];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// Base64 in lines of 76 characters, each ending in "\n".
std::string base64Lines(std::string_view bytes) {
    std::string out;
    for (std::size_t at = 0; at < bytes.size(); at += kLineBytes)
        out += base64(bytes.substr(at, kLineBytes)) + "\n";
    return out;
}

// Printable ASCII only: a header can hold it as it is.
bool plainAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            return false;
    return true;
}

// Splits UTF-8 text into pieces of at most limit bytes, never inside a character.
std::vector<std::string_view> utf8Pieces(std::string_view text, std::size_t limit) {
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        std::size_t end = std::min(limit, text.size());
        // Back off over continuation bytes so the next piece starts a character.
        while (end < text.size() && end > 1 &&
               (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        pieces.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return pieces;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Encoded words separated by fold.
std::string encodedWords(std::string_view text, std::string_view fold) {
    std::string out;
    for (std::string_view piece : utf8Pieces(text, 45)) {
        if (!out.empty())
            out += fold;
        out += "=?UTF-8?B?" + base64(piece) + "?=";
    }
    return out;
}

std::string contentType(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && name.size() - dot == 4) {
        std::string ext(name.substr(dot + 1));
        for (char& c : ext)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (ext == "zip")
            return "application/zip";
    }
    return "application/octet-stream";
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string newBoundary() {
    std::random_device random;
    static constexpr char hex[] = "0123456789abcdef";
    // "=_" never occurs in base64 text, so no line of a part can look like a boundary.
    std::string boundary = "=_Kordyne_";
    for (int i = 0; i < 24; ++i)
        boundary += hex[random() & 15];
    return boundary;
}

void writeAttachment(const std::string& path, const MailSink& sink) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        throw Exception("Cannot open \"" + path + "\": " + std::strerror(errno));
    std::string buffer(kLineBytes * 1024, '\0');
    std::size_t filled = 0;
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data() + filled, buffer.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Exception("Cannot read \"" + path + "\": " + std::strerror(errno));
        filled += static_cast<std::size_t>(got);
        // Whole lines go out as the buffer fills; the rest waits for more bytes.
        if (got == 0 || filled == buffer.size()) {
            sink(base64Lines(std::string_view(buffer).substr(0, filled)));
            filled = 0;
        }
        if (got == 0)
            return;
    }
}

} // namespace

std::string encodeHeaderText(std::string_view text) {
    if (plainAscii(text) && text.find("=?") == std::string_view::npos)
        return std::string(text);
    return encodedWords(text, "\n ");
}

std::string filenameParameters(std::string_view name) {
    if (plainAscii(name))
        return "; filename=" + quoted(name);
    // RFC 2231: percent-encoded UTF-8, in numbered sections when long.
    static constexpr char hex[] = "0123456789ABCDEF";
    std::vector<std::string> sections(1);
    for (unsigned char c : name) {
        std::string code;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            std::strchr("!#$&+-.^_`|~", c))
            code = static_cast<char>(c);
        else
            code = {'%', hex[c >> 4], hex[c & 15]};
        if (sections.back().size() + code.size() > 60)
            sections.emplace_back();
        sections.back() += code;
    }
    if (sections.size() == 1)
        return ";\n filename*=UTF-8''" + sections.front();
    std::string out;
    for (std::size_t i = 0; i < sections.size(); ++i)
        out += ";\n filename*" + std::to_string(i) + "*=" + (i == 0 ? "UTF-8''" : "") + sections[i];
    return out;
}

std::string mailDate(long long secondsSinceEpoch) {
    static constexpr const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t when = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    ::localtime_r(&when, &local);
    const long offset = local.tm_gmtoff / 60;
    const long absolute = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  days[local.tm_wday], local.tm_mday, months[local.tm_mon], local.tm_year + 1900,
                  local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', absolute / 60,
                  absolute % 60);
    return text;
}

void writeMimeMessage(const MailContent& content, const MailSink& sink) {
    const std::string boundary = newBoundary();
    std::string head =
        "To: " + content.to + "\nSubject: " + encodeHeaderText(content.subject) + "\n";
    if (!content.date.empty())
        head += "Date: " + content.date + "\n";
    head += "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=" + quoted(boundary) +
            "\n\nThis is a multi-part message in MIME format.\n\n--" + boundary +
            "\nContent-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64\n\n" +
            base64Lines(content.text);
    sink(head);
    for (const std::string& path : content.attachments) {
        const std::string name = baseName(path);
        const std::string nameParameter =
            plainAscii(name) ? quoted(name) : "\"" + encodedWords(name, " ") + "\"";
        sink("--" + boundary + "\nContent-Type: " + contentType(name) + "; name=" + nameParameter +
             "\nContent-Transfer-Encoding: base64\nContent-Disposition: attachment" +
             filenameParameters(name) + "\n\n");
        writeAttachment(path, sink);
    }
    sink("--" + boundary + "--\n");
}

} // namespace kd
