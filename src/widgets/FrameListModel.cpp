#include "FrameListModel.h"

#include <QMimeData>

#include <algorithm>

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
        frame.Picture = QPixmap::fromImage(Source_(index.row()));
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
