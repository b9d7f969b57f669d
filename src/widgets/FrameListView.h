#pragma once
// The frame list's view (LBImageBox): a list of uniform rows over TFrameListModel. When only the
// picture of one row changes (a commit), it repaints that row; the list view's own handling would
// lay out every row again, which costs time in proportion to the frames, for rows whose size and
// place cannot change.
//
// Each row shows the frame's picture, enlarged by whole factors only on screens of any pixel ratio
// (nearest neighbour, never blurred), with the frame number beside it; the selected row is marked by
// a frame drawn around the picture, which leaves the picture's colours as they are.
//
// A row dragged to another place of the list asks for the frame to be moved there (RowMoved); the
// list itself changes only when the document reports the move.

#include <QListView>

#include <functional>

class TFrameListView : public QListView {
  public:
    // The frame of row `from` is to stand at index `to` (the frames between shift by one).
    using TRowMoved = std::function<void(int from, int to)>;

    explicit TFrameListView(QWidget* parent = nullptr);

    void SetRowMoved(TRowMoved handler) { RowMoved_ = std::move(handler); }
    // The index the frame of row `from` gets when it is dropped at `at` (viewport coordinates): before
    // the row under the point when over its upper half, else after it; below the last row, last.
    int DropTarget(int from, const QPoint& at) const;

  protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    TRowMoved RowMoved_;
};
