#pragma once
// The GIF attributes window: a tree of the file's blocks beside a two-column list of the selected
// block's fields. Show fills it from a described file (DescribeGif) and selects the root, whose fields
// include the file's size.

#include "GifAttributes.h"

#include <QDialog>

#include <vector>

class QSplitter;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

class TTindraInfoForm : public QDialog {
    Q_OBJECT

  public:
    explicit TTindraInfoForm(QWidget* parent = nullptr);

    // Replaces the tree with the file's blocks and lists the root's fields.
    void Show(const TGifNode& root);
    // The two column captions of the field list.
    void SetColumnTexts(const QString& name, const QString& value);

    QTreeWidget* TreeViewGIF = nullptr;
    QSplitter* Splitter = nullptr;
    QTableWidget* ListViewInfo = nullptr;

  private:
    void AddNode(QTreeWidgetItem* parent, const TGifNode& node);
    void ShowFields(QTreeWidgetItem* item);

    // The fields of every tree item, by the index the item carries.
    std::vector<std::vector<TGifField>> Fields;
};
