#include "app/gui/ContentsPage.h"

#include "app/gui/ColumnFit.h"
#include "app/gui/HeaderCaptions.h"
#include "app/gui/PageControls.h"
#include "zip/reader/TZipReader.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kd {

// The rows of the contents list, taken from the reader when it is filled.
class ContentsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<ContentsRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(kContentsColumnCount);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const auto column = static_cast<std::size_t>(index.column());
        if (role == Qt::DisplayRole)
            return toQString(rows_[static_cast<std::size_t>(index.row())][column]);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(
                (kContentsColumns[column].rightAligned ? Qt::AlignRight : Qt::AlignLeft) |
                Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        return captions_.headerData(section, orientation, role);
    }
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override {
        if (!captions_.setHeaderData(section, orientation, value, role))
            return false;
        emit headerDataChanged(orientation, section, section);
        return true;
    }

private:
    static QStringList builtInCaptions() {
        QStringList captions;
        for (const auto& column : kContentsColumns)
            captions.append(toQString(column.title));
        return captions;
    }

    std::vector<ContentsRow> rows_;
    HeaderCaptions captions_{builtInCaptions()};
};

ContentsPage::ContentsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("TabSheetInfo");
    model_ = new ContentsModel(this);
    list_ = new QTreeView(this);
    list_->setObjectName("ListBoxInfo");
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView* header = list_->header();
    header->setObjectName("Header1");
    // The table's widths are the least each column gets; its contents may widen it.
    for (std::size_t i = 0; i < kContentsColumnCount; ++i)
        header->resizeSection(static_cast<int>(i), kContentsColumns[i].width);

    const auto label = [this](const char* name, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), this);
        l->setObjectName(name);
        return l;
    };
    // The archive's date, time and version are filled when the page opens.
    LabelPoslZal = label("LabelPoslZal", "");
    lbl_PoslZalCas = label("lbl_PoslZalCas", "");
    LabelIndex = label("LabelIndex", "");
    for (QLabel* filled : {LabelPoslZal, lbl_PoslZalCas, LabelIndex})
        markRunTimeText(filled);
    ButtonExtract = new QPushButton("Rozbalit", this);
    ButtonExtract->setObjectName("ButtonExtract");
    ButtonOkInfo = new QPushButton("&Ok", this);
    ButtonOkInfo->setObjectName("ButtonOkInfo");

    auto* info = new QHBoxLayout;
    info->addWidget(label("lbl_PoslZalNadpis", "Poslední záloha:"));
    info->addWidget(LabelPoslZal);
    info->addWidget(lbl_PoslZalCas);
    info->addSpacing(16);
    info->addWidget(label("lbl_IndexNadpis", "Index:"));
    info->addWidget(LabelIndex);
    info->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonExtract);
    buttons->addWidget(ButtonOkInfo);
    auto* column = new QVBoxLayout(this);
    column->addLayout(info);
    column->addWidget(list_);
    column->addLayout(buttons);

    connect(ButtonExtract, &QPushButton::clicked, this, &ContentsPage::extractClicked);
    connect(ButtonOkInfo, &QPushButton::clicked, this, &ContentsPage::okClicked);
}

void ContentsPage::applyFontsOnce() {
    if (fontsApplied_)
        return;
    fontsApplied_ = true;
    // In this order: the style sheet keeps the fonts the widgets have when it comes,
    // and the header's own font is saved with it.
    list_->setFont(QFont("Arial"));
    // Rows are drawn 4 pixels inside their cells, each as wide as its header section.
    list_->setStyleSheet("QTreeView::item { padding: 0px 4px; height: 16px; }");
    list_->header()->setFont(QFont("Courier"));
    keepColumnsFitted(*list_);
}

void ContentsPage::showEvent(QShowEvent* event) {
    applyFontsOnce();
    QWidget::showEvent(event);
}

void ContentsPage::fill(const TZipReader& reader) {
    applyFontsOnce();
    std::vector<ContentsRow> rows;
    rows.reserve(static_cast<std::size_t>(reader.GetEntryCount()));
    for (int i = 0; i < reader.GetEntryCount(); ++i)
        rows.push_back(contentsRow(reader, i));
    model_->setRows(std::move(rows));
}

void ContentsPage::clear() {
    model_->setRows({});
}

void ContentsPage::setArchiveInfo(const QString& date, const QString& time, int version) {
    LabelPoslZal->setText(date);
    lbl_PoslZalCas->setText(time);
    LabelIndex->setText(QString::number(version));
}

std::vector<int> ContentsPage::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace kd
