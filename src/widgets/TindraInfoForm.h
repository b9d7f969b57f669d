#pragma once
// The GIF attributes window: a tree of the file's blocks beside a two-column
// list of the selected block's fields. Its command is never enabled, so nothing
// fills it yet.

#include <QDialog>

class QSplitter;
class QTableWidget;
class QTreeWidget;

class TTindraInfoForm : public QDialog {
    Q_OBJECT

  public:
    explicit TTindraInfoForm(QWidget* parent = nullptr);

    QTreeWidget* TreeViewGIF = nullptr;
    QSplitter* Splitter = nullptr;
    QTableWidget* ListViewInfo = nullptr;
};
