#include "app/gui/TFormZalohovani.h"

#include "app/core/logs/RunLogs.h"
#include "app/core/main/MainMessages.h"
#include "app/core/main/ProfileDeletion.h"
#include "app/core/main/ProgramVersion.h"
#include "app/core/settings/BuiltInAdverts.h"
#include "app/gui/ContentsPage.h"
#include "app/gui/HelpPage.h"
#include "app/gui/PageControls.h"
#include "app/gui/ProfileEditorPage.h"
#include "app/gui/ProfileListPage.h"
#include "app/gui/ProtocolPage.h"
#include "app/gui/SettingsPage.h"
#include "app/gui/TExtractDlg.h"
#include "app/gui/TFormul_OAplikaci.h"
#include "app/gui/TFrmSeznamAdresaru.h"
#include "app/gui/TFrmSeznamSouboru.h"
#include "app/gui/Tfrm_ViewLog.h"
#include "lang/TResourceStrings.h"
#include "lang/Translations.h"
#include "platform/DateText.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "platform/qt/QtUiHost.h"
#include "widgets/appevents/KitApplication.h"
#include "widgets/appevents/TAppEvents.h"
#include "widgets/menu/TKitPopupMenu.h"
#include "widgets/storage/TFormStorage.h"
#include "widgets/timer/TThTimer.h"
#include "widgets/tray/DrawnTrayIcons.h"
#include "widgets/tray/TKitTrayIcon.h"
#include "widgets/window/CaptionFit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <limits>

namespace kd {
namespace {

// The value of the start-with-the-system key that names this program.
constexpr const char* kRunValueName = "Kordyne";
// Message-table texts of the window's own boxes.
constexpr int kWarningCaption = 10009;
constexpr int kNoLogFile = 11039;
constexpr Translations kQuitDuringRun{
    "Právě probíhá záloha. Přerušit ji a po jejím skončení ukončit program?",
    "A backup is running. Stop it and quit the program once it has ended?",
    "Práve prebieha záloha. Prerušiť ju a po jej skončení ukončiť program?"};

// The notification icon's hint follows the window's state, in the program's language.
constexpr Translations kBusyHint{"Pracuji...", "Working...", "Pracujem..."};
constexpr Translations kReadyHint{"Připraveno k archivaci", "Ready to back up",
                                  "Pripravené na archiváciu"};

constexpr Translations kNothingSelected{kNothingSelectedText,
                                        "No item is selected; the action will not be carried out",
                                        "Nebola vybraná žiadna položka, akcia nebude dokončená"};

QString trayHint(const Translations& hint) {
    return toQString(hint.in(LanguageCode));
}

MainWindowSetup setupFor(const std::string& programDirectory) {
    MainWindowSetup setup;
    setup.programDirectory = programDirectory;
    setup.executablePath = executablePath();
    return setup;
}

std::string storeName(const std::string& executable) {
    const std::string name = fileNameOf(executable);
    return name.empty() ? "kordyne" : name;
}

} // namespace

class TFormZalohovani::WorkScope {
public:
    enum class Kind {
        Action, // an action with its questions: nothing else starts meanwhile
        Engine, // the ZIP engine works: the cancel button may stop it
    };
    WorkScope(TFormZalohovani& window, Kind kind) : window_(window), kind_(kind) {
        ++window_.workDepth_;
        if (kind_ == Kind::Engine)
            ++window_.engineDepth_;
        window_.updateControls();
    }
    ~WorkScope() {
        --window_.workDepth_;
        if (kind_ == Kind::Engine)
            --window_.engineDepth_;
        window_.workEnded();
    }
    WorkScope(const WorkScope&) = delete;
    WorkScope& operator=(const WorkScope&) = delete;

private:
    TFormZalohovani& window_;
    Kind kind_;
};

// Every run of the window passes through here, so that nothing else starts while one
// works (a run shows the ready state before its closing box) and quitting can wait
// for its end.
class TFormZalohovani::RunCounter : public MainWindowRuns {
public:
    explicit RunCounter(TFormZalohovani& window) : window_(window) {}
    void setRuns(MainWindowRuns& runs) { runs_ = &runs; }

    RunResult RunBackup(TObjektZal& profile, int row) override {
        const WorkScope work(window_, WorkScope::Kind::Engine);
        return runs_->RunBackup(profile, row);
    }
    RunResult RestoreBackup(int row) override {
        const WorkScope work(window_, WorkScope::Kind::Engine);
        return runs_->RestoreBackup(row);
    }
    void applySettings(const ProgramSettings& settings) override { runs_->applySettings(settings); }

private:
    TFormZalohovani& window_;
    MainWindowRuns* runs_ = nullptr;
};

TFormZalohovani::TFormZalohovani(UiHost& ui, const std::string& programDirectory, QWidget* parent)
    : TFormZalohovani(ui, setupFor(programDirectory), parent) {}

TFormZalohovani::TFormZalohovani(UiHost& ui, MainWindowSetup setup, QWidget* parent)
    : TFrm_KD(parent), ui_(ui), setup_(std::move(setup)),
      ownClock_(setup_.clock ? nullptr : std::make_unique<SystemClock>()),
      state_(ui, setup_.clock ? *setup_.clock : *ownClock_, setup_.programDirectory, *this),
      registry_(storeName(setup_.executablePath), setup_.configHome.empty()
                                                      ? RegistryStore::defaultConfigHome()
                                                      : setup_.configHome) {
    setObjectName("FormZalohovani");
    setWindowTitle("Kordyne");
    FormStorageKordyne = new TFormStorage(this);
    FormStorageKordyne->setObjectName("FormStorageKordyne");
    FormStorageKordyne->UseRegistry = true;
    FormStorageKordyne->Version = 155;
    FormStorageKordyne->setIniSection("hkey_local_machine\\software\\orvik_cz\\kordyne");
    FormStorageKordyne->setRegistryStore(&registry_);
    FormStorageKordyne->setOnDisplay(setup_.onDisplay);
    FormStorageKordyne->Active = false;
    FormStorageKordyne->OnError = [this](const std::string& message) {
        state_.reportError(message);
    };
    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName("PageControl1");
    TabSheetBrowse = new ProfileListPage(state_.profiles, PageControl1);
    TabSheetEditNastav = new ProfileEditorPage(ui_, PageControl1);
    PageControl1->addWidget(TabSheetBrowse);
    TabSheetNastaven = new SettingsPage(ui_, PageControl1);
    PageControl1->addWidget(TabSheetEditNastav);
    PageControl1->addWidget(TabSheetNastaven);
    TabSheetInfo = new ContentsPage(PageControl1);
    PageControl1->addWidget(TabSheetInfo);
    TabSheetProtokol = new ProtocolPage(PageControl1);
    PageControl1->addWidget(TabSheetProtokol);
    TabSheetHelp = new HelpPage(PageControl1);
    PageControl1->addWidget(TabSheetHelp);
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    PageControl1->setParent(central);
    centralLayout->addWidget(PageControl1, 1);
    setCentralWidget(central);
    buildMenus();
    buildStatusBar();
    buildTray();
    // Only the list page is ready for work; the others hold the busy state.
    connect(PageControl1, &QStackedWidget::currentChanged, this, &TFormZalohovani::pageChanged);

    // Enter, a double click and the Delete key reach the actions' handlers, which
    // check the ready state themselves.
    connect(TabSheetBrowse, &ProfileListPage::editRequested, this,
            [this] { guarded([this] { ActionOpravProfiluExecute(); }); });
    connect(TabSheetBrowse, &ProfileListPage::deleteRequested, this,
            [this] { guarded([this] { ActionSmazatProfilExecute(); }); });
    // The first focus may run a scheduler pass and end the program: never while work
    // is under way, whose end would otherwise come after the exit status was taken.
    connect(TabSheetBrowse, &ProfileListPage::listEntered, this, [this] {
        if (workInProgress())
            return;
        guarded([this] { state_.ListEnter(); });
        workEnded();
    });
    connect(TabSheetEditNastav, &ProfileEditorPage::okClicked, this,
            &TFormZalohovani::BitBtnOkClick);
    connect(TabSheetEditNastav, &ProfileEditorPage::cancelClicked, this,
            &TFormZalohovani::BitBtnZrusClick);
    connect(TabSheetEditNastav, &ProfileEditorPage::passwordEntered, this,
            &TFormZalohovani::EditHesloKeyPress);
    connect(TabSheetNastaven, &SettingsPage::okClicked, this, &TFormZalohovani::ButtonOkClick);
    connect(TabSheetNastaven, &SettingsPage::cancelClicked, this,
            &TFormZalohovani::ButtonZrusNastClick);
    connect(TabSheetInfo, &ContentsPage::extractClicked, this,
            [this] { guarded([this] { ButtonExtractClick(); }); });
    connect(TabSheetInfo, &ContentsPage::okClicked, this, &TFormZalohovani::ButtonOkInfoClick);
    connect(TabSheetProtokol, &ProtocolPage::okClicked, this,
            &TFormZalohovani::BitBtnOkProtokolClick);
    connect(TabSheetHelp, &HelpPage::okClicked, this, &TFormZalohovani::ButtonOkHelpClick);
    connect(TabSheetEditNastav, &ProfileEditorPage::maskListClicked, this,
            [this] { guarded([this] { SpdBtnFiltrSoubClick(); }); });
    connect(TabSheetEditNastav, &ProfileEditorPage::excludedDirsListClicked, this,
            [this] { guarded([this] { btn_NeuklAdresarClick(); }); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &TFormZalohovani::Timer1Timer);

    // The check mark shows whether the program starts with the system.
    MenuServisPridatpostartu1->setChecked(
        registry_.valueExists(RegistryStore::RunKey, kRunValueName));
    state_.FormCreate(CommandLine::parse(setup_.programPath, setup_.arguments));
    showVersion();
    runs_ = std::make_unique<AppRuns>(state_);
    runCounter_ = std::make_unique<RunCounter>(*this);
    setRuns(*runs_);
    connect(btn_Cancel, &QPushButton::clicked, this, &TFormZalohovani::btn_CancelClick);
    // The settings page shows what the file set; entering it reloads only a few controls.
    TabSheetNastaven->setValues(settingsPageValues(state_.settings));
    buildAdvert();
    showProfilePage();
    updateControls();
    FormStorageKordyne->Active = true;
}

void TFormZalohovani::setRuns(MainWindowRuns& runs) {
    runCounter_->setRuns(runs);
    state_.setRuns(*runCounter_);
}

TFormZalohovani::~TFormZalohovani() {
    // The placement is saved while the window is whole, then switched off.
    FormStorageKordyne->FormDestroy();
    FormStorageKordyne->Active = false;
    FormDestroy();
    // The pages show the state's profile list; they go before the state does.
    delete PageControl1;
}

QAction* TFormZalohovani::action(const char* name, const char* caption,
                                 void (TFormZalohovani::*handler)()) {
    auto* a = new QAction(QString::fromUtf8(caption), this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this,
            [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    return a;
}

void TFormZalohovani::buildMenus() {
    ActionNovyProfil =
        action("ActionNovyProfil", "&Nový profil", &TFormZalohovani::ActionNovyProfilExecute);
    ActionOpravProfilu = action("ActionOpravProfilu", "&Opravit profil",
                                &TFormZalohovani::ActionOpravProfiluExecute);
    ActionSmazatProfil =
        action("ActionSmazatProfil", "&Smazat profil", &TFormZalohovani::ActionSmazatProfilExecute);
    ActionProvestZalohu = action("ActionProvestZalohu", "&Provést zálohu",
                                 &TFormZalohovani::ActionProvestZalohuExecute);
    MenuServisPridatpostartu1 = action("MenuServisPridatpostartu1", "&Přidat po startu",
                                       &TFormZalohovani::MenuServisPridatpostartu1Click);
    MenuServisPridatpostartu1->setCheckable(true);
    MenuNastaven1 = action("MenuNastaven1", "&Nastavení", &TFormZalohovani::MenuNastaven1Click);
    ActionInformaceOZalohovani = action("ActionInformaceOZalohovani", "&Informace o zálohování",
                                        &TFormZalohovani::ActionInformaceOZalohovaniExecute);
    ActionObnovitData =
        action("ActionObnovitData", "O&bnovit data", &TFormZalohovani::ActionObnovitDataExecute);
    ActionProhlednoutLog = action("ActionProhlednoutLog", "Prohlédnout &log",
                                  &TFormZalohovani::ActionProhlednoutLogExecute);
    MenuPopi = action("MenuPopi", "Popi&s programu", &TFormZalohovani::MenuPopiClick);
    Oaplikaci1 = action("Oaplikaci1", "&O aplikaci", &TFormZalohovani::Oaplikaci1Click);
    Konec1 = action("Konec1", "&Konec", &TFormZalohovani::Konec1Click);

    MenuProfil = menuBar()->addMenu("&Profil");
    MenuProfil->setObjectName("MenuProfil");
    MenuProfil->addActions({ActionNovyProfil, ActionOpravProfilu, ActionSmazatProfil});
    MenuProfil->addSeparator();
    MenuProfil->addAction(Konec1);
    MenuZaloha = menuBar()->addMenu("&Záloha");
    MenuZaloha->setObjectName("MenuZaloha");
    MenuZaloha->addActions(
        {ActionProvestZalohu, ActionInformaceOZalohovani, ActionObnovitData, ActionProhlednoutLog});
    MenuServis = menuBar()->addMenu("&Servis");
    MenuServis->setObjectName("MenuServis");
    MenuServis->addActions({MenuNastaven1, MenuServisPridatpostartu1});
    buildSortMenu();
    MenuNapoveda = menuBar()->addMenu("&Nápověda");
    MenuNapoveda->setObjectName("MenuNapoveda");
    MenuNapoveda->addActions({MenuPopi, Oaplikaci1});

    ToolBarBrowse = addToolBar("ToolBarBrowse");
    ToolBarBrowse->setObjectName("ToolBarBrowse");
    const QList<QAction*> listActions = {
        ActionNovyProfil,           ActionOpravProfilu, ActionSmazatProfil,  ActionProvestZalohu,
        ActionInformaceOZalohovani, ActionObnovitData,  ActionProhlednoutLog};
    ToolBarBrowse->addActions(listActions);
    // The list's popup menu and the main menu reach the same actions, which are
    // therefore disabled themselves, not only the tool bar and the menu titles.
    workActions_ = listActions;
    workActions_ << MenuNastaven1 << MenuServisPridatpostartu1 << MenuPopi;
    // Hiding and quitting stay at hand while a run keeps the list's tool bar disabled.
    auto* windowTools = addToolBar("ToolBarWindow");
    windowTools->setObjectName("ToolBarWindow");
    SBSkryt = action("SBSkryt", "Skrýt do ikony-služby", &TFormZalohovani::SBSkrytClick);
    windowTools->addAction(SBSkryt);
    windowTools->addAction(action("SBKonec", "Ukončit program", &TFormZalohovani::Konec1Click));
    // The list's popup menu.
    for (QWidget* view : {static_cast<QWidget*>(TabSheetBrowse->ListSeznamZal()),
                          TabSheetBrowse->findChild<QWidget*>("ListSeznamZalIcons")})
        view->addActions(listActions);
}

void TFormZalohovani::buildSortMenu() {
    MenuTrideni = menuBar()->addMenu(QString::fromUtf8("&Třídění"));
    MenuTrideni->setObjectName("MenuTrideni");
    SortItems = new QActionGroup(this);
    SortItems->setExclusive(true);
    for (const SortMenuItem& item : kSortMenuItems) {
        QAction* a = MenuTrideni->addAction(toQString(item.caption));
        a->setObjectName(toQString(item.objectName));
        a->setCheckable(true);
        a->setData(static_cast<int>(item.mode));
        SortItems->addAction(a);
        const TZipSortMode mode = item.mode;
        connect(a, &QAction::triggered, this,
                [this, mode] { guarded([this, mode] { MenuTrideniClick(mode); }); });
    }
    // The engine starts in the stored order.
    SortItems->actions().at(sortMenuItemOf(TZipSortMode::ByNone))->setChecked(true);
}

void TFormZalohovani::buildStatusBar() {
    statusBar()->setObjectName("StatusBar1");
    StatusPanel0 = new QLabel(this);
    StatusPanel0->setObjectName("StatusBar1Panel0");
    markRunTimeText(StatusPanel0); // the runs' progress
    statusBar()->addWidget(StatusPanel0, 1);
    btn_Cancel = new QPushButton("Přerušit zálohu", this);
    btn_Cancel->setObjectName("btn_Cancel");
    btn_Cancel->setEnabled(false);
    statusBar()->addPermanentWidget(btn_Cancel);
    Version = new QLabel(this);
    Version->setObjectName("Version");
    markRunTimeText(Version);
    statusBar()->addPermanentWidget(Version);
}

void TFormZalohovani::buildTray() {
    TrayMenu = new TKitPopupMenu(this);
    TrayMenu->setObjectName("TrayMenu");
    Zobrazit1 = action("Zobrazit1", "&Kordyne", &TFormZalohovani::KitTrayIconClick);
    WWWStranky1 = action("WWWStranky1", "&WWW stránky autora", &TFormZalohovani::pnl_ReklamaClick);
    KonecTray = action("KonecTray", "&Konec", &TFormZalohovani::Konec1Click);
    TrayMenu->addActions({Zobrazit1, WWWStranky1});
    TrayMenu->addSeparator();
    TrayMenu->addAction(KonecTray);

    std::unique_ptr<TrayArea> area = setup_.trayArea ? setup_.trayArea() : nullptr;
    KitTrayIcon = area ? new TKitTrayIcon(std::move(area), this) : new TKitTrayIcon(this);
    KitTrayIcon->setObjectName("KitTrayIcon");
    markRunTimeText(KitTrayIcon);
    KitTrayIcon->SetHint(trayHint(kReadyHint));
    KitTrayIcon->SetInterval(200);
    KitTrayIcon->SetPopupMenu(TrayMenu);
    KitTrayIcon->SetIcon(DrawTrayIcon());
    for (const QIcon& frame : DrawTrayFrames(3))
        KitTrayIcon->Icons().Add(frame);
    KitTrayIcon->OnClick = [this](QObject*, Qt::MouseButton, TrayShiftState, int, int) {
        KitTrayIconClick();
    };
    KitTrayIcon->Loaded();

    AppEvents1 = new TAppEvents(this);
    AppEvents1->setObjectName("AppEvents1");
    AppEvents1->OnActivate = [this](QObject* sender) { AppEvents1Activate(sender); };
    AppEvents1->OnHint = [this](QObject* sender) { AppEvents1Hint(sender); };
    AppEvents1->OnMinimize = [this](QObject* sender) { AppEvents1Minimize(sender); };
    AppEvents1->OnRestore = [this](QObject* sender) { AppEvents1Restore(sender); };
    AppEvents1->OnSettingsChanged = [this](QObject* sender) { AppEvents1SettingsChanged(sender); };
    Application().SetMainWindow(this);
    AppEvents1->Loaded();
}

void TFormZalohovani::AppEvents1Activate(QObject*) {}

void TFormZalohovani::AppEvents1Hint(QObject*) {}

void TFormZalohovani::AppEvents1SettingsChanged(QObject*) {}

void TFormZalohovani::AppEvents1Minimize(QObject*) {
    // Minimised by the window manager: hidden where the notification icon brings it
    // back (queued: not inside the state change itself).
    if (trayUsable())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                minimizeApplication();
        });
}

void TFormZalohovani::AppEvents1Restore(QObject*) {
    if (isHidden())
        show();
}

template <class F> void TFormZalohovani::guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        state_.reportError(e.what());
    }
}

void TFormZalohovani::showEvent(QShowEvent* event) {
    // Without a stored placement the window opens large enough for its texts, which are
    // in their language by now.
    if (!activationQueued_ && !FormStorageKordyne->PlacementApplied())
        fitToCaptions(*this);
    QMainWindow::showEvent(event);
    if (!activationQueued_) {
        activationQueued_ = true;
        QTimer::singleShot(0, this, &TFormZalohovani::FormActivate);
    }
}

void TFormZalohovani::FormActivate() {
    activationQueued_ = true;
    inActivation_ = true;
    guarded([this] { state_.FormActivate(); });
    inActivation_ = false;
    if (state_.TerminateRequested)
        terminateApplication();
}

void TFormZalohovani::nothingSelected() {
    ui_.messageBox(kNothingSelected.in(LanguageCode), "", MsgButtons::Ok, MsgIcon::None);
}

std::optional<TFormZalohovani::WorkScope> TFormZalohovani::startWork() {
    if (!readyForWork())
        return std::nullopt;
    return std::optional<WorkScope>(std::in_place, *this, WorkScope::Kind::Action);
}

void TFormZalohovani::ActionNovyProfilExecute() {
    const auto work = startWork();
    if (!work || !state_.grantProfileAccess())
        return;
    ShowBusy();
    TabSheetEditNastav->setValues(session_.NewProfileDefaults());
    showEditorPage();
}

void TFormZalohovani::ActionOpravProfiluExecute() {
    const auto work = startWork();
    if (!work || !state_.grantProfileAccess())
        return;
    const int row = TabSheetBrowse->focusedRow();
    if (row < 0)
        return nothingSelected();
    ShowBusy();
    TabSheetEditNastav->setValues(session_.LoadProfileEditor(row));
    showEditorPage();
}

void TFormZalohovani::ActionSmazatProfilExecute() {
    const auto work = startWork();
    if (!work)
        return;
    const int row = TabSheetBrowse->focusedRow();
    if (row < 0)
        return nothingSelected();
    if (state_.grantProfileAccess())
        DeleteProfile(state_, row);
}

void TFormZalohovani::ActionProvestZalohuExecute() {
    const auto work = startWork();
    if (!work)
        return;
    const std::vector<int> rows = TabSheetBrowse->selectedRows();
    if (rows.empty())
        return nothingSelected();
    // A run may reorder the list; keep to the profiles selected at the start.
    std::vector<const TObjektZal*> selected;
    for (int row : rows)
        selected.push_back(&state_.profiles.record(row));
    for (const TObjektZal* profile : selected)
        if (const int row = state_.profiles.rowOf(profile); row >= 0)
            state_.runs().RunBackup(state_.profiles.record(row), row);
}

void TFormZalohovani::ActionInformaceOZalohovaniExecute() {
    const auto work = startWork();
    if (!work)
        return;
    const int row = TabSheetBrowse->focusedRow();
    if (row < 0) {
        TabSheetInfo->clear();
        return nothingSelected();
    }
    const auto opened = runs_->restore().OpenProfileArchive(row);
    if (!opened)
        return;
    TabSheetInfo->fill(zipEngine());
    const auto written = fileModificationTime(opened->archive.path);
    const TDateTime when = written ? toDateTime(*written) : 0;
    TabSheetInfo->setArchiveInfo(toQString(formatShortDate(when)), toQString(formatTime(when)),
                                 opened->archive.version);
    PageControl1->setCurrentWidget(TabSheetInfo);
    TabSheetInfoEnter();
}

void TFormZalohovani::TabSheetInfoEnter() {
    ShowBusy();
    TabSheetInfo->ListBoxInfo()->setFocus();
}

void TFormZalohovani::ButtonOkInfoClick() {
    // Not while the entries are extracted.
    if (!pageFree(TabSheetInfo))
        return;
    closePage();
}

void TFormZalohovani::ActionObnovitDataExecute() {
    const auto work = startWork();
    if (!work)
        return;
    const int row = TabSheetBrowse->focusedRow();
    if (row < 0)
        return nothingSelected();
    if (ui_.messageBox(ResourceStrings.GetText(main_msg::RestoreQuestion),
                       ResourceStrings.GetText(main_msg::QuestionCaption), MsgButtons::YesNo,
                       MsgIcon::Question) == MsgAnswer::Yes)
        state_.runs().RestoreBackup(row);
}

void TFormZalohovani::MenuTrideniClick(TZipSortMode mode) {
    // The engine's directory is re-sorted only while nothing uses it.
    if (workInProgress())
        return;
    zipEngine().SortDirectory(mode);
    if (const int item = sortMenuItemOf(mode); item >= 0)
        SortItems->actions().at(item)->setChecked(true);
    TabSheetInfo->fill(zipEngine());
}

TExtractDlg& TFormZalohovani::extractDialog() {
    if (!ExtractDlg)
        ExtractDlg = new TExtractDlg(ui_, this);
    return *ExtractDlg;
}

void TFormZalohovani::ButtonExtractClick() {
    if (!pageFree(TabSheetInfo))
        return;
    if (zipEngine().GetEntryCount() == 0) {
        QApplication::beep();
        return;
    }
    // A beep ends the extraction however it went.
    struct BeepAtEnd {
        ~BeepAtEnd() { QApplication::beep(); }
    } beep;
    const std::vector<int> rows = TabSheetInfo->selectedRows();
    zipEngine().SetCheckDiskLabels(false);
    TExtractDlg& dialog = extractDialog();
    dialog.setOptions(extractOptionsFromReader(zipEngine(), !rows.empty()));
    zipEngine().FilesList().clear();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const WorkScope work(*this, WorkScope::Kind::Engine);
    runs_->restore().ExtractFromContents(dialog.options(), rows);
}

void TFormZalohovani::EditHesloKeyPress() {
    if (!session_.ConfirmPassword(TabSheetEditNastav->password()))
        TabSheetEditNastav->clearPassword();
}

void TFormZalohovani::BitBtnOkClick() {
    // A run may hold the record that saving replaces.
    if (!pageFree(TabSheetEditNastav))
        return;
    const auto result = session_.SaveProfileEditor(TabSheetEditNastav->values());
    switch (result.outcome) {
    case ProfileEditSession::SaveOutcome::Saved:
        closePage();
        TabSheetBrowse->focusRow(result.row);
        break;
    case ProfileEditSession::SaveOutcome::PasswordNotConfirmed:
        TabSheetEditNastav->clearPassword();
        break;
    case ProfileEditSession::SaveOutcome::Refused:
        break;
    }
}

void TFormZalohovani::BitBtnZrusClick() {
    session_.Cancel();
    closePage();
}

bool TFormZalohovani::WriteMachineString(const std::string& subkey, const std::string& name,
                                         const std::string& text) {
    try {
        registry_.writeString("Software\\" + subkey, name, text);
        return true;
    } catch (const std::exception& e) {
        state_.reportError(e.what());
        return false;
    }
}

void TFormZalohovani::MenuServisPridatpostartu1Click() {
    const auto work = startWork();
    if (!work)
        return;
    // The check mark follows what the store holds afterwards; a failure is reported.
    if (registry_.valueExists(RegistryStore::RunKey, kRunValueName)) {
        try {
            registry_.deleteValue(RegistryStore::RunKey, kRunValueName);
        } catch (const std::exception& e) {
            state_.reportError(e.what());
        }
    } else {
        WriteMachineString("Microsoft\\Windows\\CurrentVersion\\Run", kRunValueName,
                           setup_.executablePath + " 1");
    }
    MenuServisPridatpostartu1->setChecked(
        registry_.valueExists(RegistryStore::RunKey, kRunValueName));
}

void TFormZalohovani::MenuNastaven1Click() {
    const auto work = startWork();
    if (!work || !settingsSession_.MenuNastaven1Click())
        return;
    PageControl1->setCurrentWidget(TabSheetNastaven);
    SettingsPageValues shown = TabSheetNastaven->values();
    settingsSession_.TabSheetNastavenEnter(shown);
    TabSheetNastaven->setValues(shown);
    TabSheetNastaven->focusFirst();
}

void TFormZalohovani::ButtonOkClick() {
    // A run reads the settings that saving replaces.
    if (!pageFree(TabSheetNastaven))
        return;
    const std::string language = LanguageCode;
    const auto result = settingsSession_.ButtonOkClick(TabSheetNastaven->values());
    if (result.outcome == SettingsPageSession::OkOutcome::BadValue)
        TabSheetNastaven->focusField(result.field);
    if (result.outcome != SettingsPageSession::OkOutcome::Saved)
        return;
    // The window follows a new language at once, not only at its next show; so does
    // the banner.
    if (isVisible())
        formTranslation().translateAgain();
    showVersion();
    state_.settings.Adverts = advertsIn(builtInAdverts(), state_.settings.LanguageCode);
    showAdvert();
    // Longer texts grow the window, as far as the screen allows, so that every action
    // still shows; a smaller need leaves the size the user gave it.
    if (LanguageCode != language && isVisible())
        fitToCaptions(*this);
}

void TFormZalohovani::showVersion() {
    // In the language the settings name.
    Version->setText(QString::fromStdString(versionLabelText(setup_.executablePath, LanguageCode)));
}

void TFormZalohovani::ButtonZrusNastClick() {
    settingsSession_.ButtonZrusNastClick();
}

void TFormZalohovani::Timer1Timer() {
    // The scheduler sets the next interval, keeps to its gate (readyForWork) and
    // reports its errors.
    state_.scheduler().Timer1Timer();
    workEnded();
}

void TFormZalohovani::showProfilePage() {
    PageControl1->setCurrentWidget(TabSheetBrowse);
}

bool TFormZalohovani::profilePageActive() const {
    return PageControl1->currentWidget() == TabSheetBrowse;
}

void TFormZalohovani::focusProfileList() {
    TabSheetBrowse->currentView()->setFocus();
}

void TFormZalohovani::showEditorPage() {
    PageControl1->setCurrentWidget(TabSheetEditNastav);
    TabSheetEditNastav->TabSheetEditNastavEnter();
}

void TFormZalohovani::ShowBusy() {
    busy_ = true;
    KitTrayIcon->SetHint(trayHint(kBusyHint));
    KitTrayIcon->SetAnimated(true);
    updateControls();
}

void TFormZalohovani::ShowReady() {
    busy_ = false;
    StatusPanel0->clear();
    KitTrayIcon->SetAnimated(false);
    KitTrayIcon->SetHint(trayHint(kReadyHint));
    updateControls();
}

bool TFormZalohovani::workInProgress() const {
    return workDepth_ > 0 || state_.scheduler().passRunning();
}

bool TFormZalohovani::readyForWork() const {
    // A run shows the ready state before its closing box, and a page's OK button may
    // show it during a run: neither ends the work.
    return !busy_ && !workInProgress() && profilePageActive();
}

bool TFormZalohovani::pageFree(const QWidget* page) const {
    return PageControl1->currentWidget() == page && !workInProgress();
}

void TFormZalohovani::closePage() {
    // Work under way keeps the busy state it has shown; its own end leaves it.
    if (!workInProgress())
        ShowReady();
    showProfilePage();
}

bool TFormZalohovani::engineCancellable() const {
    // Not a page's busy state, nor a run that has shown the ready state and only
    // reports how it went.
    return busy_ && engineDepth_ > 0;
}

void TFormZalohovani::updateControls() {
    const bool ready = readyForWork();
    for (QMenu* menu : {MenuProfil, MenuZaloha, MenuServis, MenuNapoveda})
        menu->menuAction()->setEnabled(ready);
    for (QAction* work : workActions_)
        work->setEnabled(ready);
    ToolBarBrowse->setEnabled(ready);
    // The sort items re-sort the engine's directory, which a run must keep.
    const bool engineFree = !workInProgress();
    MenuTrideni->menuAction()->setEnabled(engineFree);
    SortItems->setEnabled(engineFree);
    btn_Cancel->setEnabled(engineCancellable());
}

void TFormZalohovani::workEnded() {
    updateControls();
    if (closeAfterRun_ && !workInProgress())
        QTimer::singleShot(0, this, &TFormZalohovani::Konec1Click);
}

void TFormZalohovani::startTimers() {
    Timer1->start();
}

void TFormZalohovani::setTimerInterval(std::chrono::milliseconds interval) {
    Timer1->setInterval(static_cast<int>(std::min<std::chrono::milliseconds::rep>(
        interval.count(), std::numeric_limits<int>::max())));
}

void TFormZalohovani::showStatusText(const std::string& text) {
    StatusPanel0->setText(QString::fromStdString(text));
}

void TFormZalohovani::showTrayHint(const std::string& text) {
    // The icon is touched on the GUI thread only.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, text] { showTrayHint(text); }, Qt::QueuedConnection);
        return;
    }
    KitTrayIcon->SetHint(QString::fromStdString(text));
}

void TFormZalohovani::minimizeApplication() {
    // Hidden only where the notification icon can bring the window back.
    if (trayUsable()) {
        formTranslation().nextShowIsRestore();
        hide();
    } else
        showMinimized();
}

bool TFormZalohovani::interactive() const {
    return QtUiHost::interactive();
}

void TFormZalohovani::terminateApplication() {
    // Within the first activation the request waits until it ends; the quit is queued,
    // so it also ends the program when asked before the event loop runs.
    if (inActivation_)
        return;
    QMetaObject::invokeMethod(
        qApp, [status = state_.ExitStatus] { QCoreApplication::exit(status); },
        Qt::QueuedConnection);
}

} // namespace kd

namespace kd {

std::string TFormZalohovani::protocolPath() const {
    const std::string& logDirectory = state_.settings.LogDirectory;
    return withTrailingSlash(logDirectory.empty() ? setup_.programDirectory : logDirectory) +
           kProtocolFileName;
}

std::string TFormZalohovani::webAddress() const {
    return TFormul_OAplikaci::webAddress(setup_.executablePath);
}

template <class Dialog> void TFormZalohovani::editList(QLineEdit* edit) {
    Dialog dialog(ui_, this);
    dialog.setInitialDirectory(fromQString(TabSheetEditNastav->sourceDirectoryEdit()->text()));
    dialog.ListText = fromQString(edit->text());
    if (dialog.exec() == QDialog::Accepted)
        edit->setText(toQString(dialog.ListText));
}

void TFormZalohovani::SpdBtnFiltrSoubClick() {
    editList<TFrmSeznamSouboru>(TabSheetEditNastav->maskEdit());
}

void TFormZalohovani::btn_NeuklAdresarClick() {
    editList<TFrmSeznamAdresaru>(TabSheetEditNastav->excludedDirsEdit());
}

void TFormZalohovani::pageChanged(int index) {
    if (previousPage_ == TabSheetProtokol)
        TabSheetProtokol->TabSheetProtokolExit();
    else if (previousPage_ == TabSheetHelp)
        TabSheetHelp->TabSheetHelpExit();
    previousPage_ = PageControl1->widget(index);
    updateControls();
}

void TFormZalohovani::showProtocolPage() {
    ShowBusy();
    PageControl1->setCurrentWidget(TabSheetProtokol);
    TabSheetProtokolEnter();
}

void TFormZalohovani::TabSheetProtokolEnter() {
    guarded([this] { TabSheetProtokol->TabSheetProtokolEnter(protocolPath()); });
}

void TFormZalohovani::BitBtnOkProtokolClick() {
    closePage();
}

void TFormZalohovani::MenuPopiClick() {
    const auto work = startWork();
    if (!work)
        return;
    ShowBusy();
    PageControl1->setCurrentWidget(TabSheetHelp);
    guarded([this] { TabSheetHelp->TabSheetHelpEnter(webAddress()); });
}

void TFormZalohovani::ButtonOkHelpClick() {
    closePage();
}

void TFormZalohovani::ActionProhlednoutLogExecute() {
    const auto work = startWork();
    if (!work)
        return;
    const int row = TabSheetBrowse->focusedRow();
    if (row < 0)
        return nothingSelected();
    // The runs write the profile's log beside the program, named after the profile.
    const std::string path =
        withTrailingSlash(setup_.programDirectory) + state_.profiles.record(row).Name + ".log";
    if (!pathExists(path)) {
        ui_.messageBox(ResourceStrings.GetText(kNoLogFile),
                       ResourceStrings.GetText(kWarningCaption), MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    Tfrm_ViewLog viewer(this);
    ShowBusy();
    struct ReadyAtEnd {
        TFormZalohovani& window;
        ~ReadyAtEnd() { window.ShowReady(); }
    } ready{*this};
    viewer.load(path);
    viewer.exec();
}

void TFormZalohovani::SBSkrytClick() {
    minimizeApplication();
}

void TFormZalohovani::KitTrayIconClick() {
    showNormal();
    raise();
    activateWindow();
}

void TFormZalohovani::pnl_ReklamaClick() {
    const QUrl address = QUrl::fromLocalFile(toQString(webAddress()));
    if (urlOpener_)
        urlOpener_(address);
    else
        QDesktopServices::openUrl(address);
}

void TFormZalohovani::btn_CancelClick() {
    // A cancel with nothing running would be left for the next run to find.
    if (engineCancellable())
        runs_->cancel();
}

void TFormZalohovani::Konec1Click() {
    if (close())
        terminateApplication();
}

void TFormZalohovani::closeEvent(QCloseEvent* event) {
    if (workInProgress()) {
        // Never in the middle of writing an archive: the run is cancelled and the
        // window closes when the work has ended. An action waiting for an answer, or
        // a scheduler pass between its runs, closes the window once it is done.
        event->ignore();
        if (closeAfterRun_)
            return;
        if (engineDepth_ == 0) {
            closeAfterRun_ = true;
        } else if (ui_.messageBox(kQuitDuringRun.in(LanguageCode),
                                  ResourceStrings.GetText(main_msg::QuestionCaption),
                                  MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes) {
            closeAfterRun_ = true;
            btn_CancelClick();
        }
        return;
    }
    FormDestroy();
    QMainWindow::closeEvent(event);
}

} // namespace kd

namespace kd {

bool TFormZalohovani::trayUsable() const {
    return KitTrayIcon->Shown();
}

void TFormZalohovani::FormDestroy() {
    ThTimer_Reklama->SetEnabled(false);
}

void TFormZalohovani::buildAdvert() {
    pnl_Reklama = new QFrame(centralWidget());
    pnl_Reklama->setObjectName("pnl_Reklama");
    pnl_Reklama->setFrameShape(QFrame::StyledPanel);
    pnl_Reklama->setCursor(Qt::PointingHandCursor);
    lbl_Reklama = new QLabel(pnl_Reklama);
    lbl_Reklama->setObjectName("lbl_Reklama");
    markRunTimeText(lbl_Reklama); // the settings' table, not the form's text
    showAdvert();
    auto* layout = new QHBoxLayout(pnl_Reklama);
    layout->addWidget(lbl_Reklama);
    centralWidget()->layout()->addWidget(pnl_Reklama);
    pnl_Reklama->installEventFilter(this);
    lbl_Reklama->installEventFilter(this);

    ThTimer_Reklama = new TThTimer(this);
    ThTimer_Reklama->setObjectName("ThTimer_Reklama");
    ThTimer_Reklama->SetInterval(20000);
    ThTimer_Reklama->SetOnTimer([this](TThTimer&) { ThTimer_ReklamaTimer(); });
    // The setting "REKLAMA=NE" hides the banner and stops its timer.
    pnl_Reklama->setVisible(state_.settings.ShowAdvert);
    ThTimer_Reklama->SetEnabled(state_.settings.ShowAdvert);
}

void TFormZalohovani::ThTimer_ReklamaTimer() {
    advertIndex_ = advertIndex_ % 5 + 1;
    showAdvert();
}

void TFormZalohovani::showAdvert() {
    lbl_Reklama->setText(
        toQString(state_.settings.Adverts[static_cast<std::size_t>(advertIndex_ - 1)]));
}

bool TFormZalohovani::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == pnl_Reklama || watched == lbl_Reklama) &&
        event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        guarded([this] { pnl_ReklamaClick(); });
        return true;
    }
    return TFrm_KD::eventFilter(watched, event);
}

} // namespace kd

namespace kd {

void TFormZalohovani::Oaplikaci1Click() {
    TFormul_OAplikaci about(setup_.executablePath, this);
    about.exec();
}

} // namespace kd
