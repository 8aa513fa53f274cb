#pragma once
#include "app/gui/TExtractDlg.h"
#include "app/gui/TFormZalohovani.h"
#include "app/gui/TFormul_OAplikaci.h"
#include "app/gui/TFrmSeznamAdresaru.h"
#include "app/gui/Tfrm_ErrorDialog.h"
#include "app/gui/Tfrm_ViewLog.h"

#include <memory>
#include <string>
#include <vector>

namespace kd {

// The program's forms, created in their fixed order (the main window first) and
// destroyed in the reverse order.
class AppStartup {
public:
    AppStartup(UiHost& ui, std::string programDirectory);
    AppStartup(UiHost& ui, MainWindowSetup setup);
    ~AppStartup();

    void CreateForms();

    TFormZalohovani& mainForm() { return *FormZalohovani_; }
    // Every form, in creation order.
    std::vector<QWidget*> forms() const;

    // The whole program: the single-instance guard, the application, the forms and
    // the message loop. Returns the process's exit code.
    static int run(int argc, char** argv);

private:
    UiHost& ui_;
    MainWindowSetup setup_;
    std::unique_ptr<TFormZalohovani> FormZalohovani_;
    std::unique_ptr<TExtractDlg> ExtractDlg_;
    std::unique_ptr<TFormul_OAplikaci> Formul_OAplikaci_;
    std::unique_ptr<TFrmSeznamAdresaru> FrmSeznamAdresaru_;
    std::unique_ptr<Tfrm_ViewLog> frm_ViewLog_;
    std::unique_ptr<Tfrm_ErrorDialog> frm_ErrorDialog_;
};

} // namespace kd
