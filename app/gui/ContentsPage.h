#pragma once
#include "app/core/restore/ArchiveContents.h"

#include <QWidget>
#include <vector>

class QHeaderView;
class QLabel;
class QPushButton;
class QTreeView;

namespace kd {

class ContentsModel;
class TZipReader;

// The page "Informace o zálohování": the entries of a profile's newest archive, one
// row each with the columns of ArchiveContents, the archive file's date and time and
// its version number. Several rows can be selected for extraction.
class ContentsPage : public QWidget {
    Q_OBJECT
public:
    explicit ContentsPage(QWidget* parent = nullptr);

    // Shows the entries of the reader's view, in its order.
    void fill(const TZipReader& reader);
    void clear();
    // The labels above the list: the archive file's date, its time, its version.
    void setArchiveInfo(const QString& date, const QString& time, int version);

    // The selected rows (indexes into the reader's view), in ascending order.
    std::vector<int> selectedRows() const;
    QTreeView* ListBoxInfo() const { return list_; }

signals:
    void extractClicked();
    void okClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The list's fonts and style sheet, and the column widths measured with them, come
    // when the page is first filled or shown: finding two more font families took a
    // tenth of the program's start-up, which a run from the command line never shows.
    void applyFontsOnce();

    bool fontsApplied_ = false;
    ContentsModel* model_;
    QTreeView* list_;
    QLabel *LabelPoslZal, *lbl_PoslZalCas, *LabelIndex;
    QPushButton *ButtonExtract, *ButtonOkInfo;
};

} // namespace kd
