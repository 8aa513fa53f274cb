#pragma once
#include "TestPaths.h"
#include "app/core/backup/BackupRun.h"
#include "app/core/backup/RemovableWipe.h"
#include "app/core/backup/SelfExtractorStep.h"
#include "app/core/logs/LastRunStamp.h"
#include "app/core/profiles/ProfilePassword.h"
#include "app/support/MainFixture.h"
#include "lang/TResourceStrings.h"
#include "platform/ArchiveAttributeFake.h"
#include "platform/AtomicFile.h"
#include "platform/FakeVolumeService.h"
#include "platform/TextFile.h"
#include "support/FakeClock.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"
#include "zip/writer/TZipWriter.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace kd::test {

// A network share that appears when connected, or never.
class FakeNetworkTarget : public NetworkTarget {
public:
    bool connect(const std::string& directory, const std::string& user,
                 const std::string& password) override {
        calls.push_back(directory + " " + user + " " + password);
        if (appears)
            std::filesystem::create_directories(directory);
        return appears;
    }
    bool appears = false;
    std::vector<std::string> calls;
};

// A scripted host that presses the cancel button while the writer works (when given
// the writer) and lets a test act before each box is answered (change a disk).
class CancellingUiHost : public ScriptedUiHost {
public:
    void processEvents() override {
        ScriptedUiHost::processEvents();
        if (writer)
            writer->CancelRunningOperation();
    }
    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override {
        if (beforeAnswer)
            beforeAnswer(text);
        return ScriptedUiHost::messageBox(text, caption, buttons, icon);
    }
    TZipWriter* writer = nullptr;
    std::function<void(const std::string& text)> beforeAnswer;
};

// The self-extractor stub the build puts beside the program.
inline const std::string kBuiltStub = std::string(KORDYNE_BUILD_DIR) + "/app/SfxStub.bin";

// A backup run over temporary source, target and program directories, the real ZIP
// writer, and fake volumes, network and archive attributes.
class BackupRunFixture : public ::testing::Test {
protected:
    BackupRunFixture() : clock(std::chrono::system_clock::now()) {
        ResourceStrings.LoadLanguage("CZ");
        std::filesystem::create_directories(source);
        std::filesystem::create_directories(target);
        std::filesystem::create_directories(program);
        settings.NoQuestions = true;
        profile.Name = "P";
        profile.SourceDir = source + "/";
        profile.TargetDir = target + "/";
        profile.Masks = "*.*";
        profile.Recurse = true;
    }

    // Writes a source file (path relative to the source) dated ageDays before now.
    std::string file(const std::string& name, const std::string& bytes, double ageDays = 0) {
        const std::string path = dir.write("src/" + name, bytes);
        const auto when = std::filesystem::file_time_type::clock::now() -
                          std::chrono::duration_cast<std::chrono::seconds>(
                              std::chrono::duration<double>(ageDays * 86400));
        std::filesystem::last_write_time(path, when);
        return path;
    }
    // Writes a source file of size bytes that do not compress.
    std::string noise(const std::string& name, std::size_t size, std::uint32_t seed = 1) {
        std::string bytes(size, '\0');
        for (char& c : bytes)
            c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
        return file(name, bytes);
    }
    // True when the run did not fail.
    bool run() { return backup.RunBackup(profile, 0) != RunResult::Failed; }
    std::string archive(const std::string& name = "P.zip") const { return target + "/" + name; }
    // The archive's entry names, sorted, from Python's zipfile (which also tests it).
    std::vector<std::string> entries(const std::string& zip, const std::string& password = "") {
        std::string output;
        const int status =
            runCommand("python3 -c 'import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1])\n"
                       "z.setpassword(sys.argv[2].encode())\nassert z.testzip() is None\n"
                       "print(\"\\n\".join(sorted(z.namelist())))' " +
                           zip + " '" + password + "'",
                       &output);
        EXPECT_EQ(status, 0) << output;
        std::vector<std::string> names = splitLines(output);
        return names;
    }
    BackupRunHooks hooks() {
        BackupRunHooks result;
        result.WriteSelfExtractor = [this](const TObjektZal& p, const std::string& zip) {
            return SelfExtractorStep(stub)(p, zip);
        };
        return result;
    }
    // A file's content inside an archive, read by Python's zipfile.
    std::string entryText(const std::string& zip, const std::string& name) {
        std::string out;
        EXPECT_EQ(runCommand("python3 -c 'import sys,zipfile\n"
                             "sys.stdout.write(zipfile.ZipFile(sys.argv[1]).read(sys.argv[2])"
                             ".decode())' '" +
                                 zip + "' '" + name + "'",
                             &out),
                  0)
            << out;
        return out;
    }
    std::vector<std::string> logLines(const std::string& path) { return readTextLines(path); }
    std::string protocol() { return readWholeFile(program + "/Protokol.txt"); }
    bool stampExists() { return std::filesystem::exists(lastRunStampPath(program, "P")); }

    TempDir dir;
    std::string source = dir.file("src");
    std::string target = dir.file("dst");
    std::string program = dir.file("prog");
    CancellingUiHost ui;
    FakeClock clock;
    RecordingView view;
    FakeVolumeService volumes;
    FakeNetworkTarget network;
    ArchiveAttributeFake attributes;
    ProgramSettings settings;
    TZipWriter writer{ui, volumes, attributes};
    std::string stub = kBuiltStub; // the self-extractor step's, changeable per test
    BackupRun backup{{ui, clock, view, volumes, network}, settings, program, writer, hooks()};
    TObjektZal profile;
};

} // namespace kd::test
