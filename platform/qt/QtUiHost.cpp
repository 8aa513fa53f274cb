#include "platform/qt/QtUiHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <iostream>

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
    if (!interactive()) {
        std::cerr << caption << ": " << text << '\n';
        return SilentUiHost().messageBox(text, caption, buttons, icon);
    }
    QMessageBox box(boxIcon(icon), q(caption), q(text), standardButtons(buttons), parent_);
    return answerOf(box.exec());
}

std::optional<std::string> QtUiHost::inputBox(const std::string& caption, const std::string& prompt,
                                              const std::string& initial, bool password) {
    if (!interactive())
        return std::nullopt;
    bool ok = false;
    const QString value =
        QInputDialog::getText(parent_, q(caption), q(prompt),
                              password ? QLineEdit::Password : QLineEdit::Normal, q(initial), &ok);
    if (!ok)
        return std::nullopt;
    return value.toStdString();
}

std::optional<std::string> QtUiHost::chooseDirectory(const std::string& caption,
                                                     const std::string& start) {
    if (!interactive())
        return std::nullopt;
    const QString dir = QFileDialog::getExistingDirectory(parent_, q(caption), q(start));
    if (dir.isEmpty())
        return std::nullopt;
    return dir.toStdString();
}

std::optional<std::string> QtUiHost::chooseFile(const std::string& caption,
                                                const std::string& start,
                                                const std::string& filter) {
    if (!interactive())
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
    QApplication::processEvents();
}

} // namespace kd
