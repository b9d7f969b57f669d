#include "FrameListView.h"

TFrameListView::TFrameListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true); // the view need not measure every row
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TFrameListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles) {
    if (topLeft == bottomRight && roles == QList<int>{Qt::DecorationRole}) {
        // The item view's part only: the row repainted (and the change announced), no new layout.
        QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    QListView::dataChanged(topLeft, bottomRight, roles);
}
