#pragma once
// The frame list's view (LBImageBox): a list of uniform rows over TFrameListModel. When only the
// picture of one row changes (a commit), it repaints that row; the list view's own handling would
// lay out every row again, which costs time in proportion to the frames, for rows whose size and
// place cannot change.

#include <QListView>

class TFrameListView : public QListView {
  public:
    explicit TFrameListView(QWidget* parent = nullptr);

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
};
