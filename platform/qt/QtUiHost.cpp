#include "platform/qt/QtUiHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <iostream>
#include <utility>

namespace kd {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QMessageBox::StandardButtons standardButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// Our own texts on the box's buttons in place of Qt's English ones.
void labelButtons(QMessageBox& box, const DialogButtonTexts& texts) {
    const std::pair<QMessageBox::StandardButton, const std::string*> labels[] = {
        {QMessageBox::Ok, &texts.ok},         {QMessageBox::Cancel, &texts.cancel},
        {QMessageBox::Yes, &texts.yes},       {QMessageBox::No, &texts.no},
        {QMessageBox::Retry, &texts.retry},   {QMessageBox::Abort, &texts.abort},
        {QMessageBox::Ignore, &texts.ignore},
    };
    for (const auto& [button, text] : labels)
        if (QAbstractButton* shown = box.button(button))
            shown->setText(q(*text));
}

MsgAnswer answerOf(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Retry:
        return MsgAnswer::Retry;
    case QMessageBox::Abort:
        return MsgAnswer::Abort;
    case QMessageBox::Ignore:
        return MsgAnswer::Ignore;
    default:
        return MsgAnswer::Cancel;
    }
}

} // namespace

bool QtUiHost::interactive() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

MsgAnswer QtUiHost::messageBox(const std::string& text, const std::string& caption,
                               MsgButtons buttons, MsgIcon icon) {
    if (!showsDialogs()) {
        std::cerr << caption << ": " << text << '\n';
        return SilentUiHost().messageBox(text, caption, buttons, icon);
    }
    QMessageBox box(boxIcon(icon), q(caption), q(text), standardButtons(buttons), parent_);
    labelButtons(box, buttonTexts_);
    return answerOf(box.exec());
}

std::optional<std::string> QtUiHost::inputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial, bool password) {
    if (!showsDialogs())
        return std::nullopt;
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(q(caption));
    dialog.setLabelText(q(prompt));
    dialog.setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setTextValue(q(initial));
    dialog.setOkButtonText(q(buttonTexts_.ok));
    dialog.setCancelButtonText(q(buttonTexts_.cancel));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdString();
}

std::optional<std::string> QtUiHost::chooseDirectory(const std::string& caption,
                                                     const std::string& start) {
    if (!showsDialogs())
        return std::nullopt;
    const QString dir = QFileDialog::getExistingDirectory(parent_, q(caption), q(start));
    if (dir.isEmpty())
        return std::nullopt;
    return dir.toStdString();
}

std::optional<std::string> QtUiHost::chooseFile(const std::string& caption,
                                                const std::string& start,
                                                const std::string& filter) {
    if (!showsDialogs())
        return std::nullopt;
    const QString file = QFileDialog::getOpenFileName(parent_, q(caption), q(start), q(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file.toStdString();
}

void QtUiHost::setBusyCursor(bool busy) {
    if (busy) {
        if (busyDepth_++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void QtUiHost::processEvents() {
    // Long work calls this for every file: forty times a second is responsive
    // enough, and spares thousands of event-loop turns (each a relayout and repaint
    // of the progress window) per run.
    constexpr qint64 kIntervalMs = 25;
    if (lastPump_.isValid() && lastPump_.elapsed() < kIntervalMs)
        return;
    lastPump_.start();
    QApplication::processEvents();
}

} // namespace kd
