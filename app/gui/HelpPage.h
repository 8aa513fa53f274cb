#pragma once
#include <QWidget>
#include <string>

class QPushButton;
class QTextBrowser;

namespace kd {

// The page "TabSheetHelp": the program's help text and its "&Ok" button.
class HelpPage : public QWidget {
    Q_OBJECT
public:
    explicit HelpPage(QWidget* parent = nullptr);

    // Entering: the button is enabled and the help file (HTML) loaded; kd::Exception
    // when it cannot be read, the page keeping what it showed. Leaving disables the
    // button.
    void TabSheetHelpEnter(const std::string& helpPath);
    void TabSheetHelpExit();

    QTextBrowser* RichEditHelp;
    QPushButton* ButtonOkHelp;

signals:
    void okClicked();
};

} // namespace kd
