#pragma once
// The frame list (LBImageBox) as a view over the document's frames: row i carries the number i + 1
// and the picture of frame i. A picture is drawn when the view first shows its row and kept with its
// frame (it moves when the frame moves) until the frame's picture changes. The rows change one at a
// time as the document reports it, so opening N frames draws each shown picture once, and a commit
// makes the view draw one picture again, whatever N is.

#include <QAbstractListModel>
#include <QImage>
#include <QPixmap>

#include <cstdint>
#include <functional>
#include <vector>

// No signals or slots of its own (it emits the model's), so no Q_OBJECT.
class TFrameListModel : public QAbstractListModel {
  public:
    // The picture of frame `row` as the list shows it (40 x 40, or 32 x 32 without border).
    using TPictureSource = std::function<QImage(int row)>;

    explicit TFrameListModel(TPictureSource source, QObject* parent = nullptr);

    // A dragged row travels as its row number in this format.
    static constexpr const char* RowMimeType = "application/x-tindra-frame-row";
    // The row number a drag carries; ok false when it carries none.
    static int RowOf(const QMimeData* data, bool* ok);
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction | Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction | Qt::CopyAction; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // DisplayRole: the row number from 1; DecorationRole: the frame's picture.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The list becomes count rows, no picture drawn yet.
    void Reset(int count);
    void InsertRow(int row);
    void RemoveRow(int row);
    // The frame at `from` now stands at `to` (the frames between shift by one), its picture with it.
    void MoveRow(int from, int to);
    // The frame's picture changed: drawn again when its row is shown.
    void PictureChanged(int row);
    // Every picture changed (the output size): each drawn again when its row is shown.
    void AllPicturesChanged();
    // Pixels whose red, green and blue are those of transparentColor (0xAARRGGBB) drawn as a light and
    // dark checkerboard, or as they are; every picture is drawn again when this changes.
    void SetTransparency(bool shown, uint32_t transparentColor);

    // How often the picture of the frame now in `row` has been drawn (for tests of the work done).
    int DrawCount(int row) const { return Frames_.at(static_cast<std::size_t>(row)).Draws; }
    // Pictures drawn in all.
    long long PicturesDrawn() const { return PicturesDrawn_; }

  private:
    struct TFrameRow {
        QPixmap Picture; // null until drawn
        int Draws = 0;
    };
    TPictureSource Source_;
    bool ShowTransparency_ = false;
    uint32_t TransparentColor_ = 0;
    mutable std::vector<TFrameRow> Frames_;
    mutable long long PicturesDrawn_ = 0;
};
