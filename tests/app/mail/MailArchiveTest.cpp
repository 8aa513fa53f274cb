#include "app/core/mail/MailArchive.h"
#include "app/core/mail/MailTexts.h"
#include "app/core/mail/MatchingFiles.h"
#include "app/support/FakeMailPrograms.h"
#include "platform/TextFile.h"

#include <gtest/gtest.h>

namespace kd::test {
namespace {

std::string bytes(std::size_t size, std::uint32_t seed) {
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    return out;
}

// Reads a message with Python's email parser: the recipient, the decoded subject and
// text, then per attachment its decoded file name and whether its SHA-256 equals
// that of the file of that name in directory.
std::vector<std::string> parsed(const std::string& message, const std::string& directory) {
    std::string out;
    const int status =
        runCommand("python3 -c '\n"
                   "import sys, hashlib, os, email, email.policy\n"
                   "m = email.message_from_binary_file(open(sys.argv[1], \"rb\"), "
                   "policy=email.policy.default)\n"
                   "print(m[\"To\"]); print(str(m[\"Subject\"]))\n"
                   "print(m.get_body((\"plain\",)).get_content().strip())\n"
                   "for part in m.iter_attachments():\n"
                   "    name = part.get_filename()\n"
                   "    data = part.get_payload(decode=True)\n"
                   "    file = open(os.path.join(sys.argv[2], name), \"rb\").read()\n"
                   "    same = hashlib.sha256(data).digest() == hashlib.sha256(file).digest()\n"
                   "    print(name + (\" same\" if same else \" differs\"))\n"
                   "' '" +
                       message + "' '" + directory + "'",
                   &out);
    EXPECT_EQ(status, 0) << out;
    return splitLines(out);
}

class MailArchiveTest : public ::testing::Test {
protected:
    std::string send(const std::string& archive, const std::string& address,
                     bool noQuestions = true) {
        return MailArchive(nullptr, options)(archive, address, noQuestions, "EN");
    }
    static std::vector<std::string> lines(const std::string& path) { return readTextLines(path); }

    FakeMailPrograms programs;
    TempDir dir;
    MailOptions options{std::chrono::seconds(60), std::chrono::seconds(60), {}};
};

TEST_F(MailArchiveTest, SendmailGetsAMessageWhoseAttachmentIsTheArchive) {
    programs.add("sendmail");
    // A long Czech name takes the numbered sections of an encoded parameter.
    const std::string name = "Zálohování účetnictví – měsíční přehled dokumentů 2026.zip";
    const std::string archive = dir.write(name, bytes(300000, 7));

    EXPECT_EQ(send(archive, "user@example.org"), mail_text::sent("EN", "user@example.org", 1));

    EXPECT_EQ(lines(programs.recorded("sendmail", "args")),
              (std::vector<std::string>{"-i", "--", "user@example.org"}));
    EXPECT_EQ(parsed(programs.recorded("sendmail", "input"), dir.path()),
              (std::vector<std::string>{"user@example.org", MailArchive::Subject, MailArchive::Text,
                                        name + " same"}));
}

TEST_F(MailArchiveTest, TheNameAsAPatternAttachesAtMostNineteenFiles) {
    programs.add("sendmail");
    for (int i = 0; i < 25; ++i)
        dir.write("part" + std::to_string(i) + ".zip", bytes(1000 + i, i));
    dir.write("other.zip", "x");
    std::filesystem::create_directory(dir.file("partdir.zip")); // a directory is no file

    EXPECT_EQ(send(dir.file("part*.zip"), "a@b.c"), mail_text::sent("EN", "a@b.c", 19, 6));

    const std::vector<std::string> message =
        parsed(programs.recorded("sendmail", "input"), dir.path());
    ASSERT_EQ(message.size(), 3u + 19u);
    for (std::size_t i = 3; i < message.size(); ++i) {
        EXPECT_TRUE(message[i].starts_with("part")) << message[i];
        EXPECT_TRUE(message[i].ends_with(".zip same")) << message[i];
    }
}

TEST_F(MailArchiveTest, AnArchiveThatIsNotThereGoesOutWithoutAttachment) {
    programs.add("sendmail");
    EXPECT_EQ(send(dir.file("gone.zip"), "a@b.c"), mail_text::sent("EN", "a@b.c", 0));
    EXPECT_EQ(parsed(programs.recorded("sendmail", "input"), dir.path()).size(), 3u);
}

TEST_F(MailArchiveTest, AnAddressThatIsNotOneArgumentIsRefused) {
    programs.add("sendmail");
    programs.add("xdg-email");
    const std::string archive = dir.write("P.zip", "zip");
    for (const std::string& address :
         std::vector<std::string>{"a@b.c\nBcc: other@example.org", "a@b.c\r", "-oQ/tmp", "-t",
                                  std::string("a@b.c\0x", 7)}) {
        EXPECT_EQ(send(archive, address), mail_text::addressRefused("EN", address));
        EXPECT_EQ(send(archive, address, false), mail_text::addressRefused("EN", address));
    }
    EXPECT_FALSE(std::filesystem::exists(programs.recorded("sendmail", "args")));
    EXPECT_FALSE(std::filesystem::exists(programs.recorded("xdg-email", "args")));
    // The log line itself stays one line.
    EXPECT_EQ(mail_text::addressRefused("EN", "a\nb").find('\n'), std::string::npos);
}

TEST_F(MailArchiveTest, ASetOfPartsGoesWholeInTheOrderOfItsParts) {
    programs.add("sendmail");
    for (int i = 1; i <= 3; ++i)
        dir.write("P.00" + std::to_string(i), bytes(20000, i));
    dir.write("P.zfc", "directory"); // a copy of what the last part holds
    dir.write("P.zip", "an older archive");

    EXPECT_EQ(send(dir.file("P.003"), "a@b.c"), mail_text::sent("EN", "a@b.c", 3));
    EXPECT_EQ(parsed(programs.recorded("sendmail", "input"), dir.path()),
              (std::vector<std::string>{"a@b.c", MailArchive::Subject, MailArchive::Text,
                                        "P.001 same", "P.002 same", "P.003 same"}));

    // More parts than a message carries: the first ones go, the line counts the rest.
    for (int i = 4; i <= 21; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P.%03d", i);
        dir.write(name, bytes(100, i));
    }
    EXPECT_EQ(send(dir.file("P.021"), "a@b.c"), mail_text::sent("EN", "a@b.c", 19, 2));
    const std::vector<std::string> message =
        parsed(programs.recorded("sendmail", "input"), dir.path());
    ASSERT_EQ(message.size(), 3u + 19u);
    EXPECT_EQ(message.back(), "P.019 same");
}

TEST_F(MailArchiveTest, AFailedHandOverIsReportedNotFatal) {
    const std::string archive = dir.write("P.zip", bytes(4 << 20, 3));
    programs.add("sendmail", 75);
    EXPECT_EQ(send(archive, "a@b.c"),
              mail_text::notSent("EN", "a@b.c", programs.bin() + "/sendmail: exit status 75"));
    EXPECT_EQ(MailArchive(nullptr, options)(archive, "a@b.c", true, "CZ"),
              mail_text::notSent("CZ", "a@b.c", programs.bin() + "/sendmail: návratový kód 75"));

    // A program that reads nothing: the unread message must not end our process.
    programs.add("sendmail", 0, "", false);
    EXPECT_TRUE(send(archive, "a@b.c").starts_with(mail_text::notSent("EN", "a@b.c", "")));
}

// The hand-over as a whole is bounded: a sendmail that hangs, before or after taking
// the message, is stopped and reaped at the limit while the window's pump runs.
TEST_F(MailArchiveTest, AStuckSendmailIsStoppedAtTheLimitWhileTheWindowAnswers) {
    const std::string archive = dir.write("P.zip", bytes(4 << 20, 3));
    const std::string pid = dir.file("pid");
    int pumped = 0;
    options.pump = [&] { ++pumped; };
    options.sendmailLimit = std::chrono::milliseconds(300);
    const auto gone = [&] {
        return !std::filesystem::exists("/proc/" + lines(pid).at(0)); // reaped: no zombie
    };

    programs.add("sendmail", 0, "echo $$ > '" + pid + "'; exec /bin/sleep 600 >/dev/null 2>&1",
                 false);
    EXPECT_EQ(send(archive, "a@b.c"),
              mail_text::notSent("EN", "a@b.c",
                                 programs.bin() +
                                     "/sendmail did not take the message within 300 ms and was "
                                     "stopped"));
    EXPECT_GT(pumped, 0);
    EXPECT_TRUE(gone());

    programs.add("sendmail", 0, "echo $$ > '" + pid + "'; exec /bin/sleep 600 >/dev/null 2>&1");
    pumped = 0;
    EXPECT_EQ(
        send(archive, "a@b.c"),
        mail_text::notSent("EN", "a@b.c",
                           programs.bin() + "/sendmail did not end within 300 ms and was stopped"));
    EXPECT_GT(pumped, 0);
    EXPECT_TRUE(gone());
    EXPECT_EQ(MailArchive(nullptr, options)(archive, "a@b.c", true, "SK"),
              mail_text::notSent("SK", "a@b.c",
                                 programs.bin() + "/sendmail neskončil do 300 ms a bol ukončený"));
}

// A cancel while sendmail has the message, before or after it took all of it, stops
// and reaps it at once; the status bar said what was waited for until then.
TEST_F(MailArchiveTest, ACancelStopsSendmailAtOnce) {
    const std::string pid = dir.file("pid");
    std::vector<std::string> status;
    options.status = [&](const std::string& text) { status.push_back(text); };
    options.pump = [&] {
        if (std::filesystem::exists(pid) && !lines(pid).empty())
            throw MailCancelled();
    };
    for (const std::size_t size : {std::size_t(4) << 20, std::size_t(10)}) {
        SCOPED_TRACE(size);
        std::filesystem::remove(pid);
        status.clear();
        programs.add("sendmail", 0, "echo $$ > '" + pid + "'; exec /bin/sleep 600 >/dev/null 2>&1",
                     false);
        const std::string archive = dir.write("P.zip", bytes(size, 3));
        EXPECT_EQ(MailArchive(nullptr, options)(archive, "a@b.c", true, "CZ"),
                  mail_text::cancelled("CZ", "a@b.c"));
        EXPECT_FALSE(std::filesystem::exists("/proc/" + lines(pid).at(0)));
        EXPECT_EQ(status, (std::vector<std::string>{
                              mail_text::waiting("CZ", programs.bin() + "/sendmail"), ""}));
    }
}

TEST_F(MailArchiveTest, WithQuestionsTheMailClientOpensTheMessage) {
    programs.add("xdg-email", 0, "", false);
    programs.add("sendmail");
    const std::string archive = dir.write("-P.zip", "zip");

    EXPECT_EQ(send(archive, "a@b.c", false), mail_text::opened("EN", "a@b.c", 1));
    EXPECT_EQ(lines(programs.recorded("xdg-email", "args")),
              (std::vector<std::string>{"--utf8", "--subject", MailArchive::Subject, "--body",
                                        MailArchive::Text, "--attach", archive, "a@b.c"}));
    EXPECT_FALSE(std::filesystem::exists(programs.recorded("sendmail", "args")));
}

TEST_F(MailArchiveTest, WithoutAMailProgramOnlyTheLineIsLeft) {
    programs.alone();
    const std::string archive = dir.write("P.zip", "zip");
    EXPECT_EQ(send(archive, "a@b.c"), mail_text::noProgram("EN", "a@b.c"));
    EXPECT_EQ(send(archive, "a@b.c", false), mail_text::noClient("EN", "a@b.c"));

    // With questions the message is shown before it goes: without a mail client that
    // could show it, sendmail does not get it either.
    programs.add("sendmail");
    EXPECT_EQ(send(archive, "a@b.c", false), mail_text::noClient("EN", "a@b.c"));
    EXPECT_FALSE(std::filesystem::exists(programs.recorded("sendmail", "args")));
}

TEST_F(MailArchiveTest, TheMailFlagGoesOnlyIntoAKeyThatIsThere) {
    programs.add("sendmail");
    RegistryStore registry("kordyne", dir.file("config"));
    const std::string archive = dir.write("P.zip", "zip");
    MailArchive(&registry, options)(archive, "a@b.c", true, "EN");
    EXPECT_FALSE(registry.keyExists(MailArchive::MessagingKey));

    registry.writeString(MailArchive::MessagingKey, "Other", "x");
    MailArchive(&registry, options)(archive, "a@b.c", true, "EN");
    EXPECT_EQ(registry.readString(MailArchive::MessagingKey, "mapi"), "1");
}

TEST(MatchingFilesTest, StarAndQuestionMarkOnlyAndLetterCaseKept) {
    EXPECT_TRUE(nameMatches("P*.zip", "P12.zip"));
    EXPECT_FALSE(nameMatches("P*.zip", "p12.zip"));
    EXPECT_TRUE(nameMatches("Z?loha.zip", "Záloha.zip")); // one character, two bytes
    EXPECT_TRUE(nameMatches("[a].zip", "[a].zip"));       // no sets
    EXPECT_FALSE(nameMatches("[a].zip", "a.zip"));
    EXPECT_TRUE(nameMatches("*a*b", "xaxxab"));
    EXPECT_FALSE(nameMatches("*a*b", "xaxxa"));
}

} // namespace
} // namespace kd::test
