#include "MainWindowFixture.h"
#include "app/core/main/ProgramVersion.h"
#include "app/core/settings/BuiltInAdverts.h"
#include "app/gui/HelpPage.h"
#include "app/gui/LogText.h"
#include "app/gui/LogView.h"
#include "app/gui/ProtocolPage.h"
#include "app/gui/TFormul_OAplikaci.h"
#include "app/gui/Tfrm_ViewLog.h"
#include "widgets/link/TLinkLabel.h"
#include "widgets/timer/TThTimer.h"

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <fstream>

using namespace kd;
using namespace kd::test;

namespace {

// A log of numbered lines "line N" of about the given size; returns the last number.
int writeLog(const std::string& path, std::size_t bytes) {
    std::ofstream out(path, std::ios::binary);
    int n = 0;
    for (std::size_t written = 0; written < bytes; ++n) {
        const std::string line = "line " + std::to_string(n) + " žluťoučký kůň\r\n";
        out << line;
        written += line.size();
    }
    return n - 1;
}

TEST(LogTextTest, ALargeLogIsReadFromItsFirstWholeLineWithinTheLimit) {
    TempDir dir;
    const int last = writeLog(dir.file("big.log"), 10000);
    const LogText tail = readLogForView(dir.file("big.log"), 1000);
    EXPECT_TRUE(tail.truncated);
    EXPECT_LE(tail.text.size(), 1000u);
    EXPECT_EQ(tail.text.rfind("line ", 0), 0u) << tail.text.substr(0, 40);
    EXPECT_NE(tail.text.find("line " + std::to_string(last) + " žluťoučký kůň"), std::string::npos);

    const LogText whole = readLogForView(dir.file("big.log"), 10000 + 100);
    EXPECT_FALSE(whole.truncated);
    EXPECT_EQ(whole.text.rfind("line 0 ", 0), 0u);

    // In the engine's words, which a box gives in the program's language.
    try {
        readLogForView(dir.file("none.log"));
        ADD_FAILURE() << "a missing log was read";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open " + dir.file("none.log") + ": No such file or directory");
    }
}

class ServiceFeaturesTest : public MainWindowFixture {
protected:
    QWidget* currentPage() { return widget<QStackedWidget>("PageControl1")->currentWidget(); }
    bool ready() { return widget<QToolBar>("ToolBarBrowse")->isEnabled(); }
    // Runs answer while the modal dialog shows, then closes it.
    template <class Dialog, class Look> void whenModalShows(Look look) {
        QTimer::singleShot(0, window.get(), [look] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            look(*dialog);
            dialog->accept();
        });
    }
};

TEST_F(ServiceFeaturesTest, LogPageShowsTheTailOfALargeGlobalLogInTheLogDirectory) {
    TempDir logs;
    dir.write("Nastaven.txt", "LOG_ADRESAR=" + logs.path() + "\r\n");
    const int last = writeLog(logs.file("Protokol.txt"), 3 * kLogViewLimit);
    open();
    window->showProtocolPage();
    ProtocolPage& page = window->protocolPage();
    EXPECT_EQ(currentPage(), &page);
    EXPECT_FALSE(ready());
    EXPECT_TRUE(page.BitBtnOkProtokol->isEnabled());
    EXPECT_FALSE(page.Log->lbl_LogTail->isHidden());
    const QString text = page.Log->Memo1->toPlainText();
    EXPECT_FALSE(text.startsWith("line 0 "));
    EXPECT_TRUE(text.contains(QString("line %1 ").arg(last)));

    page.BitBtnOkProtokol->click();
    EXPECT_TRUE(ready());
    EXPECT_EQ(currentPage(), &window->listPage());
    EXPECT_FALSE(page.BitBtnOkProtokol->isEnabled());
}

TEST_F(ServiceFeaturesTest, EscapeLeavesTheLogPageAndAMissingLogIsReported) {
    open();
    window->showProtocolPage(); // no log yet
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("Protokol.txt"), std::string::npos);
    EXPECT_EQ(currentPage(), &window->protocolPage());

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window->protocolPage().Log->Memo1, &escape);
    EXPECT_TRUE(ready());
    EXPECT_EQ(currentPage(), &window->listPage());
}

TEST_F(ServiceFeaturesTest, ProfileLogViewerShowsTheProfilesLogOrSaysThereIsNone) {
    writeProfile("Alfa");
    writeProfile("Beta");
    dir.write("Alfa.log", "Zálohování profilu \"Alfa\"\r\nhotovo\r\n");
    open();
    window->listPage().focusRow(1); // Beta: no log
    action("ActionProhlednoutLog")->trigger();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "LOG soubor neexistuje");
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");

    window->listPage().focusRow(0);
    QString shown;
    bool busyMeanwhile = false;
    whenModalShows<Tfrm_ViewLog>([&](Tfrm_ViewLog& viewer) {
        shown = viewer.Log->Memo1->toPlainText();
        busyMeanwhile = !ready();
    });
    action("ActionProhlednoutLog")->trigger();
    EXPECT_EQ(shown, QString::fromUtf8("Zálohování profilu \"Alfa\"\nhotovo\n"));
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_TRUE(ready());
}

TEST_F(ServiceFeaturesTest, HelpIsTheLanguagesOwnWhereItHasOneElseTheCzech) {
    dir.write("Nastaven.txt", "LANGUAGE=SK\r\n");
    dir.write("Kordyne.html", "<p>Nápověda</p>");
    dir.write("Kordyne_EN.html", "<p>Help</p>");
    open();
    const auto shownHelp = [&] {
        action("MenuPopi")->trigger();
        const QString text = window->helpPage().RichEditHelp->toPlainText();
        window->helpPage().ButtonOkHelp->click();
        return text;
    };
    EXPECT_EQ(shownHelp(), QString::fromUtf8("Nápověda")); // no Slovak help here
    dir.write("kordyne_sk.HTML", "<p>Pomocník</p>");       // found in any letter case
    EXPECT_EQ(shownHelp(), QString::fromUtf8("Pomocník"));
    LanguageCode = "EN";
    EXPECT_EQ(shownHelp(), "Help");
    TFormul_OAplikaci about(dir.file("kordyne"));
    EXPECT_EQ(about.lbl_Web->target(),
              QUrl::fromLocalFile(QString::fromStdString(dir.file("Kordyne_EN.html"))));
    EXPECT_TRUE(ui.shown.empty());

    // A help that cannot be read is named with the system's reason.
    std::filesystem::remove(dir.file("Kordyne_EN.html"));
    std::filesystem::remove(dir.file("Kordyne.html"));
    shownHelp();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text,
              "Cannot open " + dir.file("Kordyne.html") + ": No such file or directory");
}

TEST_F(ServiceFeaturesTest, HelpPageShowsTheHelpBesideTheProgram) {
    open();
    action("MenuPopi")->trigger(); // no help file
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(currentPage(), &window->helpPage());
    window->helpPage().ButtonOkHelp->click();
    EXPECT_TRUE(ready());

    dir.write("Kordyne.html", "<html><body><h1>Nápověda</h1><p>Zálohy</p></body></html>");
    action("MenuPopi")->trigger();
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_FALSE(ready());
    EXPECT_TRUE(
        window->helpPage().RichEditHelp->toPlainText().contains(QString::fromUtf8("Nápověda")));
    window->helpPage().ButtonOkHelp->click();
    EXPECT_EQ(currentPage(), &window->listPage());
    EXPECT_FALSE(window->helpPage().ButtonOkHelp->isEnabled());
}

// A run during which the user quits.
class QuitDuringRun : public MainWindowRuns {
public:
    explicit QuitDuringRun(TFormZalohovani& window) : window_(window) {}
    RunResult RunBackup(TObjektZal&, int) override {
        window_.findChild<QAction*>("Konec1")->trigger();
        visibleAfterQuit = window_.isVisible();
        QCoreApplication::processEvents();
        visibleAfterEvents = window_.isVisible();
        return RunResult::Complete;
    }
    RunResult RestoreBackup(int) override { return RunResult::Complete; }

    TFormZalohovani& window_;
    bool visibleAfterQuit = false, visibleAfterEvents = false;
};

TEST_F(ServiceFeaturesTest, QuittingDuringARunWaitsForItsEndWhenTheCancelIsConfirmed) {
    writeProfile("Alfa");
    open();
    QuitDuringRun run(*window);
    window->setRuns(run);
    ui.answerNext(MsgAnswer::Yes);
    window->state().runs().RunBackup(window->state().profiles.record(0), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(run.visibleAfterQuit);
    EXPECT_TRUE(run.visibleAfterEvents);
    EXPECT_TRUE(window->isVisible());
    QCoreApplication::processEvents(); // the run has ended: the window closes
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ServiceFeaturesTest, QuittingDuringARunAnsweredNoKeepsTheWindow) {
    writeProfile("Alfa");
    open();
    QuitDuringRun run(*window);
    window->setRuns(run);
    ui.answerNext(MsgAnswer::No);
    window->state().runs().RunBackup(window->state().profiles.record(0), 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());

    action("Konec1")->trigger(); // no run: closes at once
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ui.shown.size(), 1u);
}

TEST_F(ServiceFeaturesTest, WithoutANotificationAreaHidingOnlyMinimisesAndTheTrayItemRestores) {
    open();
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // offscreen
    action("SBSkryt")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    action("Zobrazit1")->trigger();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ServiceFeaturesTest, AFailedStartEntryIsReportedAndLeftUnchecked) {
    // The store's folder cannot be made: a file stands in its place.
    config.write("kordyne", "");
    open();
    QAction* item = action("MenuServisPridatpostartu1");
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Error);
}

TEST_F(ServiceFeaturesTest, BannerTurnsThroughItsFiveTextsAndOpensTheProjectsAddress) {
    open();
    const AdvertTexts& texts = window->settings().Adverts;
    auto* label = widget<QLabel>("lbl_Reklama");
    EXPECT_EQ(label->text().toStdString(), texts[0]);
    EXPECT_NE(texts[0].find("Kordyne"), std::string::npos);
    EXPECT_TRUE(widget<TThTimer>("ThTimer_Reklama")->Enabled());
    EXPECT_EQ(widget<TThTimer>("ThTimer_Reklama")->Interval(), 20000u);
    std::vector<int> order;
    for (int tick = 0; tick < 6; ++tick) {
        window->ThTimer_ReklamaTimer();
        order.push_back(window->advertIndex());
        EXPECT_EQ(label->text().toStdString(), texts[static_cast<std::size_t>(order.back() - 1)]);
    }
    EXPECT_EQ(order, (std::vector<int>{2, 3, 4, 5, 1, 2}));

    std::vector<QUrl> opened;
    window->setUrlOpener([&](const QUrl& url) { opened.push_back(url); });
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &click);
    action("WWWStranky1")->trigger();
    const QUrl help = QUrl::fromLocalFile(QString::fromStdString(dir.file("Kordyne.html")));
    EXPECT_EQ(opened, (std::vector<QUrl>{help, help}));
    TFormul_OAplikaci about(dir.file("kordyne"));
    EXPECT_EQ(about.lbl_Web->target(), help);
}

TEST_F(ServiceFeaturesTest, SettingsHideTheBannerOrGiveItTheirLanguagesTexts) {
    dir.write("Nastaven.txt", "REKLAMA=NE\r\nLANGUAGE=EN\r\n");
    open();
    EXPECT_TRUE(widget<QWidget>("pnl_Reklama")->isHidden());
    EXPECT_FALSE(widget<TThTimer>("ThTimer_Reklama")->Enabled());
    EXPECT_EQ(window->settings().Adverts[0].rfind("Kordyne – a backup manager", 0), 0u);

    // A language saved on the settings page: the banner follows at once.
    action("MenuNastaven1")->trigger();
    widget<QComboBox>("cb_Language")->setCurrentIndex(2); // SK
    widget<QPushButton>("ButtonOk")->click();
    EXPECT_EQ(widget<QLabel>("lbl_Reklama")->text().toStdString(), builtInAdverts().SK[0]);
}

TEST(VersionTextTest, PartsAfterTheFirstHaveTwoDigitsAndTheAboutBoxShowsTheDate) {
    EXPECT_EQ(formatFileVersion("1.5.3.12"), "1.05.03.12");
    EXPECT_EQ(formatFileVersion("2.10"), "2.10.00.00");
    ensureApplication();
    TempDir dir;
    const std::string program = dir.write("kordyne", "");
    std::filesystem::last_write_time(program, std::filesystem::file_time_type::clock::now());
    TFormul_OAplikaci about(program);
    const std::string text = about.Version->text().toStdString();
    EXPECT_EQ(text.rfind("Verze:" + GetFileVersion() + " z:", 0), 0u);
    EXPECT_GT(text.size(), ("Verze:" + GetFileVersion() + " z:").size());
}

} // namespace

TEST_F(ServiceFeaturesTest, TheAboutBoxLinksToTheHelpFileWhateverItsFolderIsCalled) {
    for (const char* folder : {"a#b", "a?b", "100% záloha"}) {
        const std::string help = dir.file(std::string(folder) + "/Kordyne.html");
        TFormul_OAplikaci about(dir.file(std::string(folder) + "/kordyne"));
        const QUrl link = about.lbl_Web->target();
        EXPECT_TRUE(link.isLocalFile()) << folder;
        EXPECT_EQ(link.toLocalFile().toStdString(), help);
        EXPECT_EQ(about.lbl_Web->text().toStdString(), help);
    }
}
