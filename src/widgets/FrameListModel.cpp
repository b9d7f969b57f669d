#include "FrameListModel.h"

#include <QMimeData>

#include <algorithm>

namespace {
// The checkerboard of the frame list: squares of 4 pixels, the canvas's light and dark.
constexpr int CheckerSide = 4;
constexpr QRgb CheckerLightRgb = 0xFFFFFFFFu, CheckerDarkRgb = 0xFFBFBFBFu;

void ShowTransparentAsChecker(QImage& picture, uint32_t transparentColor) {
    if (picture.isNull()) return;
    picture = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (((line[x] ^ transparentColor) & 0x00FFFFFFu) == 0)
                line[x] = ((x / CheckerSide + y / CheckerSide) & 1) ? CheckerDarkRgb : CheckerLightRgb;
    }
}
} // namespace

TFrameListModel::TFrameListModel(TPictureSource source, QObject* parent)
    : QAbstractListModel(parent), Source_(std::move(source)) {}

int TFrameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Frames_.size());
}

QVariant TFrameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return QVariant();
    if (role == Qt::DisplayRole) return QString::number(index.row() + 1);
    if (role != Qt::DecorationRole) return QVariant();
    TFrameRow& frame = Frames_[static_cast<std::size_t>(index.row())];
    if (frame.Picture.isNull() && Source_) {
        QImage picture = Source_(index.row());
        if (ShowTransparency_) ShowTransparentAsChecker(picture, TransparentColor_);
        frame.Picture = QPixmap::fromImage(picture);
        ++frame.Draws;
        ++PicturesDrawn_;
    }
    return frame.Picture;
}

Qt::ItemFlags TFrameListModel::flags(const QModelIndex& index) const {
    // Rows can be dragged; drops land between rows (on the list), never onto a row.
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

QStringList TFrameListModel::mimeTypes() const {
    return {QString::fromLatin1(RowMimeType)};
}

QMimeData* TFrameListModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(RowMimeType), QByteArray::number(indexes.front().row()));
    return data;
}

int TFrameListModel::RowOf(const QMimeData* data, bool* ok) {
    *ok = false;
    if (!data || !data->hasFormat(QString::fromLatin1(RowMimeType))) return -1;
    return data->data(QString::fromLatin1(RowMimeType)).toInt(ok);
}

void TFrameListModel::Reset(int count) {
    beginResetModel();
    Frames_.assign(static_cast<std::size_t>(std::max(count, 0)), TFrameRow());
    endResetModel();
}

void TFrameListModel::InsertRow(int row) {
    row = std::clamp(row, 0, rowCount());
    beginInsertRows(QModelIndex(), row, row);
    Frames_.insert(Frames_.begin() + row, TFrameRow());
    endInsertRows();
}

void TFrameListModel::RemoveRow(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows(QModelIndex(), row, row);
    Frames_.erase(Frames_.begin() + row);
    endRemoveRows();
}

void TFrameListModel::MoveRow(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= rowCount() || to >= rowCount()) return;
    // Qt names the destination as the row the moved one goes before, counted before the move.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    const auto first = Frames_.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    endMoveRows();
}

void TFrameListModel::PictureChanged(int row) {
    if (row < 0 || row >= rowCount()) return;
    Frames_[static_cast<std::size_t>(row)].Picture = QPixmap();
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::DecorationRole});
}

void TFrameListModel::AllPicturesChanged() {
    if (Frames_.empty()) return;
    for (TFrameRow& frame : Frames_)
        frame.Picture = QPixmap();
    emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
}

void TFrameListModel::SetTransparency(bool shown, uint32_t transparentColor) {
    if (shown == ShowTransparency_ && (!shown || transparentColor == TransparentColor_)) return;
    ShowTransparency_ = shown;
    TransparentColor_ = transparentColor;
    AllPicturesChanged();
}
