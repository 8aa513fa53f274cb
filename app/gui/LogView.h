#pragma once
#include <QWidget>
#include <string>

class QLabel;
class QPlainTextEdit;

namespace kd {

// A read-only memo (Memo1) showing a log, with a line above it that says when only
// the log's last part is shown.
class LogView : public QWidget {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent);

    // Shows the log file; throws kd::Exception when it cannot be read, keeping what
    // was shown before.
    void load(const std::string& path);

    QPlainTextEdit* Memo1;
    QLabel* lbl_LogTail;
};

} // namespace kd
