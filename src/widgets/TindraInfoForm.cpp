#include "TindraInfoForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>

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
}
