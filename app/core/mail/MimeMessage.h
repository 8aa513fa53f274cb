#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// What a mail message carries: one recipient, a subject, a plain text and files.
struct MailContent {
    std::string to;
    std::string subject;
    std::string text;
    std::vector<std::string> attachments; // paths; each is read while the message is written
    std::string date;                     // the Date header's value; empty: none
};

// Receives the message piece by piece.
using MailSink = std::function<void(std::string_view)>;

// Writes an Internet message (MIME, multipart/mixed) with LF line ends, as the local
// mail programs take it on their input: the subject as RFC 2047 encoded words, the
// text in base64 UTF-8, each attachment in base64 read from its file in small pieces,
// so that an archive is never held in memory whole. Non-ASCII file names go as RFC
// 2231 parameters (and RFC 2047 for older readers). Throws kd::Exception when an
// attachment cannot be read.
void writeMimeMessage(const MailContent& content, const MailSink& sink);

// "=?UTF-8?B?...?=" words of at most 75 characters, joined by a folding "\n ";
// plain ASCII text without "=?" comes back as it is.
std::string encodeHeaderText(std::string_view text);

// The file name parameters of a Content-Disposition header, from "; filename=...".
std::string filenameParameters(std::string_view name);

// The Date header's value for a time in seconds since the epoch, in local time.
std::string mailDate(long long secondsSinceEpoch);

} // namespace kd
