#pragma once
#include <QWidget>
#include <string>

class QPushButton;

namespace kd {

class LogView;

// The page "TabSheetProtokol": the global log of the runs and its "&OK" button.
// Escape in the log does what the button does.
class ProtocolPage : public QWidget {
    Q_OBJECT
public:
    explicit ProtocolPage(QWidget* parent = nullptr);

    // Entering: the button is enabled and the log loaded (kd::Exception when it
    // cannot be read; the page keeps what it showed). Leaving disables the button.
    void TabSheetProtokolEnter(const std::string& logPath);
    void TabSheetProtokolExit();

    LogView* Log;
    QPushButton* BitBtnOkProtokol;

signals:
    void okClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kd
