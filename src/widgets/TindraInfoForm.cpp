#include "TindraInfoForm.h"

#include "GifAttributes.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>

// Sizeable and left at its designed place (not centred like the other dialogs).
TTindraInfoForm::TTindraInfoForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TindraInfoForm"));
    setWindowTitle(QStringLiteral("Tindra"));
    resize(579, 464);
    setSizeGripEnabled(true);

    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));

    TreeViewGIF = new QTreeWidget(Splitter);
    TreeViewGIF->setObjectName(QStringLiteral("TreeViewGIF"));
    TreeViewGIF->setHeaderHidden(true);
    TreeViewGIF->setEditTriggers(QAbstractItemView::NoEditTriggers);

    ListViewInfo = new QTableWidget(0, 2, Splitter);
    ListViewInfo->setObjectName(QStringLiteral("ListViewInfo"));
    ListViewInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListViewInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListViewInfo->setShowGrid(true);
    ListViewInfo->verticalHeader()->hide();
    // Rows as high as a line of text, as in a report list.
    ListViewInfo->verticalHeader()->setDefaultSectionSize(ListViewInfo->fontMetrics().height() + 6);
    QHeaderView* header = ListViewInfo->horizontalHeader();
    header->setMinimumSectionSize(100);
    header->setStretchLastSection(false);
    ListViewInfo->setColumnWidth(0, 100);
    ListViewInfo->setColumnWidth(1, 200);
    // The second column keeps at least its designed width.
    connect(header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section == 1 && size < 200) ListViewInfo->setColumnWidth(1, 200);
    });

    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 2);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter);

    connect(TreeViewGIF, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) { ShowFields(item); });
}

void TTindraInfoForm::SetColumnTexts(const QString& name, const QString& value) {
    ListViewInfo->setHorizontalHeaderLabels({name, value});
}

void TTindraInfoForm::Show(const TGifNode& root) {
    TreeViewGIF->clear();
    Fields.clear();
    AddNode(nullptr, root);
    TreeViewGIF->expandAll();
    TreeViewGIF->setCurrentItem(TreeViewGIF->topLevelItem(0));
    ShowFields(TreeViewGIF->topLevelItem(0));
    // The tree as wide as its longest block name, the fields the rest.
    TreeViewGIF->resizeColumnToContents(0);
    const int tree = TreeViewGIF->columnWidth(0) + 8;
    Splitter->setSizes({tree, std::max(1, width() - tree)});
}

void TTindraInfoForm::AddNode(QTreeWidgetItem* parent, const TGifNode& node) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeViewGIF);
    item->setText(0, QString::fromStdString(node.Title));
    item->setData(0, Qt::UserRole, static_cast<int>(Fields.size()));
    Fields.push_back(node.Fields);
    for (const TGifNode& child : node.Children)
        AddNode(item, child);
}

void TTindraInfoForm::ShowFields(QTreeWidgetItem* item) {
    ListViewInfo->setRowCount(0);
    if (!item) return;
    const int index = item->data(0, Qt::UserRole).toInt();
    if (index < 0 || index >= static_cast<int>(Fields.size())) return;
    const std::vector<TGifField>& fields = Fields[static_cast<size_t>(index)];
    ListViewInfo->setRowCount(static_cast<int>(fields.size()));
    for (int row = 0; row < static_cast<int>(fields.size()); ++row) {
        const TGifField& f = fields[static_cast<size_t>(row)];
        ListViewInfo->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(f.Name)));
        ListViewInfo->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(f.Value)));
    }
    // The names are never cut ("LZW minimum code size"); the column keeps its designed minimum.
    ListViewInfo->resizeColumnToContents(0);
}
