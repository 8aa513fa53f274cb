#include "app/core/mail/MailArchive.h"
#include "app/core/mail/MailTexts.h"
#include "app/support/BackupRunFixture.h"
#include "app/support/FakeMailPrograms.h"

namespace kd::test {
namespace {

class BackupRunMailTest : public BackupRunFixture {
protected:
    BackupRunMailTest() {
        profile.MailTo = "owner@example.org";
        file("a.txt", "some text");
    }
    RunResult runWith(std::function<std::string(const std::string&, const std::string&)> mail) {
        BackupRunHooks withMail = hooks();
        withMail.MailArchive = std::move(mail);
        BackupRun run{{ui, clock, view, volumes, network}, settings, program, writer, withMail};
        return run.RunBackup(profile, 0);
    }
    std::function<std::string(const std::string&, const std::string&)> mailer() {
        return [this](const std::string& archive, const std::string& address) {
            return MailArchive(nullptr, {std::chrono::seconds(60), std::chrono::seconds(60), {}})(
                archive, address, settings.NoQuestions, LanguageCode);
        };
    }
    // The attachments of the message sendmail took: file name, then whether its data
    // equals that of the file of that name in the target, one a line.
    std::string attachments() {
        std::string out;
        EXPECT_EQ(runCommand("python3 -c 'import sys, os, email\n"
                             "m = email.message_from_binary_file(open(sys.argv[1], \"rb\"))\n"
                             "for a in [p for p in m.walk() if p.get_filename()]:\n"
                             "    f = open(os.path.join(sys.argv[2], a.get_filename()), \"rb\")\n"
                             "    same = a.get_payload(decode=True) == f.read()\n"
                             "    print(a.get_filename(), same)' '" +
                                 programs.recorded("sendmail", "input") + "' '" + target + "'",
                             &out),
                  0)
            << out;
        return out;
    }
    bool inBothLogs(const std::string& line) {
        return protocol().find(line) != std::string::npos &&
               readWholeFile(program + "/P.log").find(line) != std::string::npos;
    }

    FakeMailPrograms programs;
};

TEST_F(BackupRunMailTest, TheArchiveGoesToSendmailAndBothLogsSaySo) {
    programs.add("sendmail");
    EXPECT_EQ(runWith(mailer()), RunResult::Complete);
    EXPECT_TRUE(inBothLogs(mail_text::sent(LanguageCode, profile.MailTo, 1))) << protocol();
    EXPECT_EQ(attachments(), "P.zip True\n");
}

TEST_F(BackupRunMailTest, ASplitArchiveGoesWithEveryPart) {
    profile.SplitMode = 1;
    profile.FirstPartSize = 16000;
    profile.NextPartSize = 24000;
    noise("a.bin", 60000);
    programs.add("sendmail");
    EXPECT_EQ(runWith(mailer()), RunResult::Complete);
    std::string parts;
    std::size_t count = 0;
    for (const char* name : {"P.001", "P.002", "P.003", "P.004", "P.005"}) {
        if (std::filesystem::exists(archive(name))) {
            parts += std::string(name) + " True\n";
            ++count;
        }
    }
    EXPECT_GE(count, 3u);
    EXPECT_TRUE(inBothLogs(mail_text::sent(LanguageCode, profile.MailTo, count))) << protocol();
    EXPECT_EQ(attachments(), parts);
}

// The mail client reads its attachments when the user sends, long after the run.
TEST_F(BackupRunMailTest, ASelfExtractingProfileMailsTheProgramThatStays) {
    profile.SelfExtract = true;
    settings.NoQuestions = false;
    programs.add("xdg-email");
    EXPECT_EQ(runWith(mailer()), RunResult::Complete);
    const std::vector<std::string> args = readTextLines(programs.recorded("xdg-email", "args"));
    const auto attach = std::find(args.begin(), args.end(), "--attach");
    ASSERT_NE(attach, args.end());
    ASSERT_NE(attach + 1, args.end());
    EXPECT_EQ(attach[1], archive("P.exe"));
    EXPECT_TRUE(std::filesystem::exists(attach[1]));
    EXPECT_FALSE(std::filesystem::exists(archive("P.zip")));
    EXPECT_TRUE(inBothLogs(mail_text::opened(LanguageCode, profile.MailTo, 1))) << protocol();
}

TEST_F(BackupRunMailTest, WithQuestionsAndNoMailClientNothingIsSentAndBothLogsSaySo) {
    settings.NoQuestions = false;
    programs.alone();
    programs.add("sendmail");
    EXPECT_EQ(runWith(mailer()), RunResult::Complete);
    EXPECT_TRUE(inBothLogs(mail_text::noClient(LanguageCode, profile.MailTo))) << protocol();
    EXPECT_FALSE(std::filesystem::exists(programs.recorded("sendmail", "args")));
}

TEST_F(BackupRunMailTest, AMailThatCannotGoLeavesTheRunsResultAsItIs) {
    programs.alone();
    EXPECT_EQ(runWith(mailer()), RunResult::Complete);
    EXPECT_TRUE(inBothLogs(mail_text::noProgram(LanguageCode, profile.MailTo))) << protocol();
    EXPECT_TRUE(stampExists());

    EXPECT_EQ(runWith([](const std::string&, const std::string&) -> std::string {
                  throw Exception("mail broke");
              }),
              RunResult::Complete);
    EXPECT_TRUE(inBothLogs("mail broke"));
}

} // namespace
} // namespace kd::test
