#include "FrameListView.h"

#include "FrameListModel.h"
#include "PixelArt.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

#include <cmath>

namespace {

// A row: the picture crisp at whole factors in a room of the icon size, framed when selected, and
// the frame number beside it.
class TFrameRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int Margin = 3;  // room around the picture, where the selection frame goes
    static constexpr int Outline = 2; // width of the selection frame
    static constexpr int TextGap = 6;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QSize room = option.decorationSize;
        const QRect pictureRoom(option.rect.left() + Margin,
                                option.rect.top() + (option.rect.height() - room.height()) / 2, room.width(),
                                room.height());
        painter->save();
        painter->fillRect(option.rect, option.palette.base());
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        if (!picture.isNull()) {
            // Whole device pixels per picture pixel (the most that fit the room), placed on whole
            // device pixels, so that every device pixel shows exactly one picture pixel.
            const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
            const QSize pictureSize = picture.size();
            const int roomWidth = int(std::floor(room.width() * ratio)),
                      roomHeight = int(std::floor(room.height() * ratio));
            const int scale = PixelArtScale(pictureSize, QSize(roomWidth, roomHeight));
            const int width = pictureSize.width() * scale, height = pictureSize.height() * scale;
            const qreal left = std::round(pictureRoom.left() * ratio) + (roomWidth - width) / 2;
            const qreal top = std::round(pictureRoom.top() * ratio) + (roomHeight - height) / 2;
            const QRectF target(left / ratio, top / ratio, width / ratio, height / ratio);
            painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter->drawPixmap(target, picture, QRectF(picture.rect()));
        }
        const bool selected = option.state & QStyle::State_Selected;
        if (selected) {
            QPen pen(option.palette.highlight(), Outline);
            pen.setJoinStyle(Qt::MiterJoin);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            const qreal half = Outline / 2.0;
            painter->drawRect(QRectF(pictureRoom).adjusted(-half - 0.5, -half - 0.5, half + 0.5, half + 0.5));
        }
        QRect text = option.rect;
        text.setLeft(pictureRoom.right() + 1 + Margin + TextGap);
        QFont font = option.font;
        font.setBold(selected);
        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize room = option.decorationSize;
        const int text = option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
        return QSize(room.width() + 2 * Margin + TextGap + text + Margin, room.height() + 2 * Margin);
    }
};

} // namespace

TFrameListView::TFrameListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true); // the view need not measure every row
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new TFrameRowDelegate(this));
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
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

int TFrameListView::DropTarget(int from, const QPoint& at) const {
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0) return -1;
    const QModelIndex under = indexAt(at);
    int place = rows; // the gap the row goes into, 0 .. rows
    if (under.isValid()) {
        const QRect rect = visualRect(under);
        place = at.y() < rect.center().y() ? under.row() : under.row() + 1;
    } else if (at.y() < 0) {
        place = 0;
    }
    // Taking the row out first shifts the gaps after it by one.
    return place > from ? place - 1 : place;
}

void TFrameListView::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasFormat(TFrameListModel::RowMimeType)) {
        event->ignore();
        return;
    }
    QListView::dragEnterEvent(event);
    event->acceptProposedAction();
}

void TFrameListView::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(TFrameListModel::RowMimeType)) {
        event->ignore();
        return;
    }
    QListView::dragMoveEvent(event); // the drop indicator and the scrolling near the edges
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void TFrameListView::dropEvent(QDropEvent* event) {
    setState(NoState);
    viewport()->update();
    bool ok = false;
    const int from = TFrameListModel::RowOf(event->mimeData(), &ok);
    if (!ok || !model() || from < 0 || from >= model()->rowCount()) {
        event->ignore();
        return;
    }
    const int to = DropTarget(from, event->position().toPoint());
    // The rows follow the document: the drag itself removes nothing.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (RowMoved_ && to >= 0) RowMoved_(from, to);
}
