#include "app/gui/AppStartup.h"

#include "app/core/StartUpGuard.h"
#include "platform/Paths.h"
#include "platform/qt/QtUiHost.h"

#include <QApplication>
#include <filesystem>

namespace kd {

AppStartup::AppStartup(UiHost& ui, std::string programDirectory)
    : ui_(ui), programDirectory_(std::move(programDirectory)) {}

AppStartup::~AppStartup() {
    frm_ErrorDialog_.reset();
    frm_ViewLog_.reset();
    FrmSeznamAdresaru_.reset();
    Formul_OAplikaci_.reset();
    ExtractDlg_.reset();
    FormZalohovani_.reset();
}

void AppStartup::CreateForms() {
    FormZalohovani_ = std::make_unique<TFormZalohovani>(ui_, programDirectory_);
    ExtractDlg_ = std::make_unique<TExtractDlg>();
    Formul_OAplikaci_ = std::make_unique<TFormul_OAplikaci>();
    FrmSeznamAdresaru_ = std::make_unique<TFrmSeznamAdresaru>();
    frm_ViewLog_ = std::make_unique<Tfrm_ViewLog>();
    frm_ErrorDialog_ = std::make_unique<Tfrm_ErrorDialog>();
}

std::vector<QWidget*> AppStartup::forms() const {
    return {FormZalohovani_.get(),    ExtractDlg_.get(),  Formul_OAplikaci_.get(),
            FrmSeznamAdresaru_.get(), frm_ViewLog_.get(), frm_ErrorDialog_.get()};
}

int AppStartup::run(int argc, char** argv) {
    // A second copy ends here, before any window exists.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    StartUpGuard guard(argc > 0 ? argv[0] : "kordyne", std::move(arguments));
    if (!guard.StartUp())
        return 0;

    // The program's files (settings, profiles, stamps, logs) live beside it.
    const std::string programDirectory = executableDirectory();
    std::error_code ignored;
    std::filesystem::current_path(programDirectory, ignored);

    QApplication application(argc, argv);
    QtUiHost ui;
    AppStartup startup(ui, programDirectory);
    startup.CreateForms();
    ui.setParentWidget(&startup.mainForm());
    startup.mainForm().show();
    return QApplication::exec();
}

} // namespace kd
