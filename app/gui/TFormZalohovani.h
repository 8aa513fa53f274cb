#pragma once
#include "app/core/main/AppRuns.h"
#include "app/core/main/MainState.h"
#include "app/core/main/ProfileEditSession.h"
#include "app/core/main/SettingsPageSession.h"
#include "lang/qt/TFrm_KD.h"
#include "platform/RegistryStore.h"
#include "platform/UiHost.h"

#include <QList>
#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QTimer;
class QToolBar;

namespace kd {

class ContentsPage;
class HelpPage;
class ProfileEditorPage;
class ProtocolPage;
class ProfileListPage;
class SettingsPage;
class TAppEvents;
class TExtractDlg;
class TKitPopupMenu;
class TKitTrayIcon;
class TrayArea;
class TFormStorage;
class TThTimer;

// Where the main window finds its files, its command line and its clock.
struct MainWindowSetup {
    std::string programDirectory;       // settings and profiles live here
    std::string executablePath;         // the program file: version date, start entry
    std::string programPath;            // argument 0 as given
    std::vector<std::string> arguments; // the arguments after it
    const Clock* clock = nullptr;       // the system clock when null
    std::string configHome;             // the registry store's; empty: the user's
    // The notification area; the desktop's when empty.
    std::function<std::unique_ptr<TrayArea>()> trayArea;
    // Whether the window is seen on a display, where its placement is worth keeping;
    // when empty, unless Qt draws off screen.
    std::function<bool()> onDisplay;
};

// The main window: the profile list, the profile editor, the menus and the tool bar.
// Its creation reads the command line and the settings file; its first activation,
// queued once the window shows, loads the profiles and runs the command-line switches.
class TFormZalohovani : public TFrm_KD<QMainWindow>, public MainWindowView {
    Q_OBJECT
public:
    TFormZalohovani(UiHost& ui, MainWindowSetup setup, QWidget* parent = nullptr);
    TFormZalohovani(UiHost& ui, const std::string& programDirectory, QWidget* parent = nullptr);
    ~TFormZalohovani() override;

    const ProgramSettings& settings() const { return state_.settings; }
    MainState& state() { return state_; }
    // The backup and restore runs and the scheduler plug in here.
    void setRuns(MainWindowRuns& runs);
    ProfileListPage& listPage() { return *TabSheetBrowse; }
    ProfileEditorPage& editorPage() { return *TabSheetEditNastav; }
    SettingsPage& settingsPage() { return *TabSheetNastaven; }
    ContentsPage& contentsPage() { return *TabSheetInfo; }
    TZipWriter& zipEngine() { return runs_->ZipEngine(); }
    // The extraction dialog the contents page uses; the window makes its own until
    // the program's dialog is given.
    void setExtractDialog(TExtractDlg& dialog) { ExtractDlg = &dialog; }
    TExtractDlg& extractDialog();
    TFormStorage& placementStorage() { return *FormStorageKordyne; }
    bool terminateRequested() const { return state_.TerminateRequested; }

    // The first activation; also queued by the first show.
    void FormActivate();

    void ActionNovyProfilExecute();
    void ActionOpravProfiluExecute();
    void ActionSmazatProfilExecute();
    void ActionProvestZalohuExecute();
    void ActionInformaceOZalohovaniExecute();
    void ActionObnovitDataExecute();
    void TabSheetInfoEnter();
    void ButtonOkInfoClick();
    void MenuTrideniClick(TZipSortMode mode);
    void ButtonExtractClick();
    void BitBtnOkClick();
    void BitBtnZrusClick();
    void EditHesloKeyPress();
    void MenuServisPridatpostartu1Click();
    // Writes a text value under "Software\" + subkey of the registry store, creating
    // the key; a failure is reported and answers false.
    bool WriteMachineString(const std::string& subkey, const std::string& name,
                            const std::string& text);
    void MenuNastaven1Click();
    void ButtonOkClick();
    void ButtonZrusNastClick();
    void Timer1Timer();
    void SpdBtnFiltrSoubClick();
    void btn_NeuklAdresarClick();
    void TabSheetProtokolEnter();
    void BitBtnOkProtokolClick();
    void MenuPopiClick();
    void ButtonOkHelpClick();
    void ActionProhlednoutLogExecute();
    void SBSkrytClick();
    void KitTrayIconClick();
    void Konec1Click();
    void btn_CancelClick();
    void Oaplikaci1Click();
    // A tick of the banner's timer: the next of the five texts (1 after 5).
    void ThTimer_ReklamaTimer();
    int advertIndex() const { return advertIndex_; }
    // The banner and the tray item open the project's address (the help file).
    void pnl_ReklamaClick();
    std::string webAddress() const;
    void setUrlOpener(std::function<void(const QUrl&)> opener) { urlOpener_ = std::move(opener); }
    // Where the runs write the global log: the settings' log directory, else the
    // program's directory.
    std::string protocolPath() const;
    // True while an action, a backup, a restore, an extraction or a scheduler pass is
    // under way: the engine and the questions drain the event queue meanwhile, so
    // every handler that starts, changes or deletes work checks this (and the ready
    // state) again when it runs.
    bool workInProgress() const;
    ProtocolPage& protocolPage() { return *TabSheetProtokol; }
    HelpPage& helpPage() { return *TabSheetHelp; }

    // MainWindowView
    void showProfilePage() override;
    bool profilePageActive() const override;
    void focusProfileList() override;
    void ShowBusy() override;
    void ShowReady() override;
    bool readyForWork() const override;
    void startTimers() override;
    void setTimerInterval(std::chrono::milliseconds interval) override;
    void minimizeApplication() override;
    void terminateApplication() override;
    bool interactive() const override;
    void showStatusText(const std::string& text) override;
    void showTrayHint(const std::string& text) override;
    void showProtocolPage() override;

protected:
    void showEvent(QShowEvent* event) override;
    // A click on the banner opens the project's address.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Quitting while work is under way waits for its end; a run is asked to stop first.
    void closeEvent(QCloseEvent* event) override;
    // Minimising hides to the notification area where there is one.

private:
    void buildMenus();
    void showVersion();
    void buildStatusBar();
    void buildTray();
    void AppEvents1Activate(QObject* sender);
    void AppEvents1Hint(QObject* sender);
    void AppEvents1Minimize(QObject* sender);
    void AppEvents1Restore(QObject* sender);
    void AppEvents1SettingsChanged(QObject* sender);
    void buildAdvert();
    // The banner shows the current text of the settings' table.
    void showAdvert();
    void buildSortMenu();
    QAction* action(const char* name, const char* caption, void (TFormZalohovani::*handler)());
    void showEditorPage();
    // Runs a handler; an error it raises is shown in a box and the program goes on.
    template <class F> void guarded(F&& handler);
    // The menus, actions, tool bar and cancel button follow the busy state, the page
    // shown and the work under way.
    void updateControls();
    // After work: the controls follow, and a quit asked for during it happens now.
    void workEnded();
    // The page shows and no work is under way: what a page's button needs before it
    // changes anything.
    bool pageFree(const QWidget* page) const;
    // A page that holds the busy state is done: the ready state and the list page.
    void closePage();
    // The engine works for a run in the busy state: what the cancel button may stop.
    bool engineCancellable() const;
    void nothingSelected();
    // Shows one of the list dialogs for the editor field edit, starting in the
    // profile's source directory; OK copies the list back.
    template <class Dialog> void editList(QLineEdit* edit);
    bool trayUsable() const;
    // Leaving the window: the banner's timer stops.
    void FormDestroy();
    // Leaving the page shown before: the log and help pages disable their buttons.
    void pageChanged(int index);
    // Work from its start to its end (RAII): counted in workDepth_.
    class WorkScope;
    // In the ready state: the scope of an action that starts, changes or deletes work;
    // otherwise none, and the action does nothing.
    std::optional<WorkScope> startWork();
    // Forwards to the runs set, each run under a WorkScope.
    class RunCounter;

    UiHost& ui_;
    MainWindowSetup setup_;
    std::unique_ptr<Clock> ownClock_;
    MainState state_;
    ProfileEditSession session_{state_};
    SettingsPageSession settingsSession_{state_};
    // The runs over the window's ZIP writer; made once the settings are read.
    std::unique_ptr<AppRuns> runs_;
    std::unique_ptr<RunCounter> runCounter_;
    // The busy state of ShowBusy / ShowReady.
    bool busy_ = false;
    // Actions, runs and extractions under way (nested inside one another), and of
    // them the ones in which the ZIP engine works.
    int workDepth_ = 0;
    int engineDepth_ = 0;
    bool closeAfterRun_ = false;
    int advertIndex_ = 1;
    QWidget* previousPage_ = nullptr;
    std::function<void(const QUrl&)> urlOpener_;
    RegistryStore registry_;
    TExtractDlg* ExtractDlg = nullptr;
    bool activationQueued_ = false;
    bool inActivation_ = false;

    QStackedWidget* PageControl1;
    ProfileListPage* TabSheetBrowse;
    ProfileEditorPage* TabSheetEditNastav;
    SettingsPage* TabSheetNastaven;
    ContentsPage* TabSheetInfo;
    ProtocolPage* TabSheetProtokol;
    HelpPage* TabSheetHelp;
    QMenu *MenuProfil, *MenuZaloha, *MenuServis, *MenuTrideni;
    QActionGroup* SortItems;
    QAction *ActionNovyProfil, *ActionOpravProfilu, *ActionSmazatProfil, *ActionProvestZalohu;
    QAction *ActionInformaceOZalohovani, *ActionObnovitData;
    QAction *MenuServisPridatpostartu1, *MenuNastaven1;
    QAction *ActionProhlednoutLog, *MenuPopi, *Oaplikaci1, *Konec1, *SBSkryt;
    QAction *Zobrazit1, *WWWStranky1, *KonecTray;
    // What starts, changes or deletes work: enabled only in the ready state.
    QList<QAction*> workActions_;
    QMenu* MenuNapoveda;
    TKitPopupMenu* TrayMenu;
    QToolBar* ToolBarBrowse;
    QPushButton* btn_Cancel;
    QLabel* StatusPanel0;
    QLabel* Version;
    QTimer* Timer1;
    TKitTrayIcon* KitTrayIcon;
    TAppEvents* AppEvents1;
    // Keeps the window's position, size and state across runs.
    TFormStorage* FormStorageKordyne;
    QFrame* pnl_Reklama;
    QLabel* lbl_Reklama;
    TThTimer* ThTimer_Reklama;
};

} // namespace kd
