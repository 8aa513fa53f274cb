#include "app/gui/PageControls.h"

#include "widgets/edits/TDirectoryEdit.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QStatusBar>

namespace kd {

QString fieldName(const QWidget* field) {
    if (!field->objectName().isEmpty())
        return field->objectName();
    // A container: named after the edit inside it.
    for (const QWidget* child : field->findChildren<QWidget*>())
        if (!child->objectName().isEmpty())
            return child->objectName();
    return {};
}

void markRunTimeText(QObject* object) {
    object->setProperty(kRunTimeTextProperty, true);
}

TDirectoryEdit* browseDirectoryEdit(UiHost& ui, QWidget* parent, const char* name,
                                    const char* prompt) {
    auto* edit = new TDirectoryEdit(ui, parent);
    edit->setObjectName(name);
    edit->Button()->setObjectName(QString(name) + "Button");
    edit->setDialogKind(TDirDialogKind::dkWin32);
    edit->setClickKey(QKeyCombination(Qt::Key_F3));
    edit->setDialogText(prompt);
    // The folder dialog starts in what the edit holds.
    edit->OnButtonClick = [](TCustomComboEdit& sender) {
        static_cast<TDirectoryEdit&>(sender).setInitialDir(fromQString(sender.text()));
    };
    return edit;
}

void addLabelledField(QGridLayout* grid, int row, int column, const char* caption, QWidget* field,
                      const char* hint) {
    auto* label = new QLabel(QString::fromUtf8(caption), field->parentWidget());
    label->setObjectName("lbl_" + fieldName(field));
    label->setBuddy(field);
    grid->addWidget(label, row, column * 2);
    grid->addWidget(field, row, column * 2 + 1);
    field->setStatusTip(QString::fromUtf8(hint));
    for (QWidget* child : field->findChildren<QWidget*>())
        child->setStatusTip(field->statusTip());
}

void showHints(QWidget* page, QStatusBar* statusLine) {
    QObject::connect(qApp, &QApplication::focusChanged, page,
                     [page, statusLine](QWidget*, QWidget* now) {
                         if (now && page->isAncestorOf(now))
                             statusLine->showMessage(now->statusTip());
                     });
}

} // namespace kd
