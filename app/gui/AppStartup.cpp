#include "app/gui/AppStartup.h"

#include "app/core/main/CommandLine.h"
#include "app/core/main/StartUpGuard.h"
#include "app/core/main/StartUpTexts.h"
#include "app/gui/AppUiHost.h"
#include "crypto/cipher/CipherRegistry.h"
#include "crypto/startup/CryptoLibrary.h"
#include "lang/TResourceStrings.h"
#include "lang/qt/FormTranslation.h"
#include "platform/DisplayChoice.h"
#include "platform/Paths.h"
#include "platform/qt/QtUiHost.h"
#include "report/ReportLibrary.h"
#include "widgets/cursors/KitCursors.h"
#include "zip/base/ObjectClassRegistry.h"
#include "zip/format/RecordSignatures.h"

#include <QApplication>
#include <clocale>
#include <filesystem>
#include <iostream>

namespace kd {

AppStartup::AppStartup(UiHost& ui, std::string programDirectory) : ui_(ui) {
    setup_.programDirectory = std::move(programDirectory);
    setup_.executablePath = executablePath();
}

AppStartup::AppStartup(UiHost& ui, MainWindowSetup setup) : ui_(ui), setup_(std::move(setup)) {}

AppStartup::~AppStartup() {
    frm_ErrorDialog_.reset();
    frm_ViewLog_.reset();
    FrmSeznamAdresaru_.reset();
    Formul_OAplikaci_.reset();
    ExtractDlg_.reset();
    FormZalohovani_.reset();
}

void AppStartup::CreateForms() {
    FormZalohovani_ = std::make_unique<TFormZalohovani>(ui_, setup_);
    ExtractDlg_ = std::make_unique<TExtractDlg>(ui_);
    FormZalohovani_->setExtractDialog(*ExtractDlg_);
    Formul_OAplikaci_ = std::make_unique<TFormul_OAplikaci>();
    FrmSeznamAdresaru_ = std::make_unique<TFrmSeznamAdresaru>(ui_);
    frm_ViewLog_ = std::make_unique<Tfrm_ViewLog>();
    frm_ErrorDialog_ = std::make_unique<Tfrm_ErrorDialog>();
}

std::vector<QWidget*> AppStartup::forms() const {
    return {FormZalohovani_.get(),    ExtractDlg_.get(),  Formul_OAplikaci_.get(),
            FrmSeznamAdresaru_.get(), frm_ViewLog_.get(), frm_ErrorDialog_.get()};
}

int AppStartup::run(int argc, char** argv) {
    SetRecordSignatures(0, 0, 0); // the standard records
    // The engine's class registry: empty from here to the end of the program.
    const ObjectClassRegistryLifetime classRegistry;
    RegisterCiphers();         // the cipher library's classes, known from start-up
    InitializeCryptoLibrary(); // hash classes and text formats
    MainWindowSetup setup;
    setup.programPath = argc > 0 ? argv[0] : "kordyne";
    for (int i = 1; i < argc; ++i)
        setup.arguments.emplace_back(argv[i]);
    readSaveTranslationSwitch(setup.arguments);
    const CommandLine line = CommandLine::parse(setup.programPath, setup.arguments);
    const bool unattended = line.RunSwitch || line.RestoreSwitch;
    // A second copy ends here, before any window exists.
    StartUpGuard guard(setup.programPath, setup.arguments);
    if (!guard.StartUp()) {
        // Silent for a plain second start; a backup or restore asked of this copy
        // did not happen, which a calling script must be able to tell.
        if (!unattended)
            return 0;
        std::cerr << alreadyRunningText(executableDirectory()) << '\n';
        return 1;
    }
    if (ChooseDisplayForThisProcess(unattended) == DisplayChoice::None) {
        std::cerr << noDisplayText(executableDirectory()) << '\n';
        return 1;
    }

    // The program's files (settings, profiles, stamps, logs) live beside it.
    setup.executablePath = executablePath();
    setup.programDirectory = executableDirectory();
    std::error_code ignored;
    std::filesystem::current_path(setup.programDirectory, ignored);

    QApplication application(argc, argv);
    // Qt takes on the user's locale; the system's error descriptions stay English,
    // the words the program's boxes and logs put into the program's own language.
    std::setlocale(LC_MESSAGES, "C");
    RegisterKitCursors();
    // The report designer's tables, released before the application goes.
    const ReportLibrary reportLibrary;
    AppUiHost ui;
    AppStartup startup(ui, std::move(setup));
    startup.CreateForms();
    ui.setParentWidget(&startup.mainForm());
    // The settings are read: Qt's own texts in their language from the start.
    ui.setLanguage(LanguageCode);
    // Off screen nobody sees an unattended run's window: it is shown without being
    // drawn.
    if (unattended && !QtUiHost::interactive()) {
        startup.mainForm().setAttribute(Qt::WA_DontShowOnScreen);
        startup.mainForm().setUpdatesEnabled(false);
    }
    // The first activation is queued by the first show; a quit it asks for is queued
    // too, so the loop below ends at once after it.
    startup.mainForm().show();
    return QApplication::exec();
}

} // namespace kd
