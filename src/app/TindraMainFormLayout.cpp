// The main window's controls and their layout: the menus built from the command table, the tool bar
// (ControlPanel), the tool panel, the preview panel, the colour and font panel and the status bar,
// around the canvas area (MainPanel).

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasView.h"
#include "DrawingTools.h"
#include "FrameListModel.h"
#include "FrameListView.h"
#include "IconDocument.h"
#include "PaletteStrip.h"
#include "PreviewView.h"
#include "SurfaceImage.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <string>

#ifndef TINDRA_VERSION
#define TINDRA_VERSION "2.2.0.0"
#endif

namespace {

constexpr const char* TagProperty = "Tag";

// Sizes from the window's design are minimums: a panel or cell gets larger when its contents in the
// current font and language need it, and keeps that size when the window grows.
void MinimumHeight(QWidget* w, int height) {
    w->setMinimumHeight(height);
    w->setSizePolicy(w->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
}
void MinimumWidth(QWidget* w, int width) {
    w->setMinimumWidth(width);
    w->setSizePolicy(QSizePolicy::Fixed, w->sizePolicy().verticalPolicy());
}

// Width a status cell needs to show the text whole.
int StatusTextWidth(const QLabel* cell, const std::string& text) {
    // Measured as the cell measures its own text (frame, margin and indent included).
    QLabel probe(QString::fromStdString(text));
    probe.setFont(cell->font());
    probe.setFrameStyle(cell->frameStyle());
    probe.setMargin(cell->margin());
    return probe.minimumSizeHint().width();
}

QFrame* Divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedSize(6, 22);
    return line;
}

QLabel* StatusCell(QWidget* parent, const char* name, int width) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    MinimumHeight(label, 20);
    if (width > 0) MinimumWidth(label, width);
    return label;
}

} // namespace

void TTindraMainForm::CreateControls() {
    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    setCentralWidget(central);
    CreateMenus();
    CreateControlPanel();
    CreateToolPanel();
    CreatePreviewPanel();
    CreateColorPanel();
    CreateStatusBar();

    Ui->MainPanel = new QWidget(central);
    Ui->MainPanel->setObjectName("MainPanel");
    Ui->MainPanel->setMinimumSize(325, 325);
    Ui->MainPanel->setAcceptDrops(true); // file drop target (FMDrop)
    CreateCanvasScrollArea();

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(Ui->ToolPanel);
    middle->addWidget(Ui->MainPanel, 1);
    middle->addWidget(Ui->PreviewPanel);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Ui->ControlPanel);
    layout->addLayout(middle, 1);
    layout->addWidget(Ui->ColorPanel);
    layout->addWidget(Ui->StatusBar);
    BindCommandButtons();
}

// ---- Menus, from the command table

void TTindraMainForm::CreateMenus() {
    std::map<std::string, QMenu*> menus;
    for (const TCommand& row : MainFormCommands()) {
        QMenu* parent = row.Parent ? menus.at(row.Parent) : nullptr;
        QObject* item = nullptr;
        switch (row.Kind) {
        case TCommandKind::Menu: {
            auto* m = parent ? new QMenu(parent) : new QMenu(menuBar());
            m->setObjectName(row.Name);
            m->menuAction()->setObjectName(row.Name);
            if (parent)
                parent->addMenu(m);
            else
                menuBar()->addMenu(m);
            if (row.Glyph >= 0) SetGlyph(m->menuAction(), row.Glyph);
            menus[row.Name] = m;
            item = m;
            break;
        }
        case TCommandKind::Item:
        case TCommandKind::Check:
        case TCommandKind::Checked: {
            auto* a = new QAction(parent);
            a->setObjectName(row.Name);
            if (row.Shortcut) a->setShortcuts(QKeySequence::listFromString(row.Shortcut));
            if (row.Handler) connect(a, &QAction::triggered, this, row.Handler);
            if (row.Glyph >= 0) SetGlyph(a, row.Glyph);
            if (row.Kind != TCommandKind::Item) {
                a->setCheckable(true);
                a->setChecked(row.Kind == TCommandKind::Checked);
            }
            parent->addAction(a);
            item = a;
            break;
        }
        case TCommandKind::Separator: {
            QAction* line = parent->addSeparator();
            if (row.Name) line->setObjectName(row.Name);
            item = line;
            break;
        }
        case TCommandKind::Control: // bound once the panels exist
            break;
        }
        Ui->Commands.push_back({&row, item, nullptr});
    }
    auto action = [this](const char* name) { return findChild<QAction*>(name); };
    Ui->MnFile = menus.at("MnFile");
    Ui->MnFileOpenMru = menus.at("MnFileOpenMru");
    Ui->MnEdit = menus.at("MnEdit");
    Ui->MnImage = menus.at("MnImage");
    Ui->MnMRUSep = action("MnMRUSep");
    Ui->MnMRUShowPath = action("MnMRUShowPath");
    Ui->MnFileSaveWithoutBorder = action("MnFileSaveWithoutBorder");
    Ui->MnFileSaveFrameAsICO = action("MnFileSaveFrameAsICO");
    Ui->MnViewGrid = action("MnViewGrid");
    Ui->MnViewThumbnail = action("MnViewThumbnail");
    Ui->MnViewControlBar = action("MnViewControlBar");
    Ui->MnViewToolBar = action("MnViewToolBar");
    Ui->MnViewColorBar = action("MnViewColorBar");
    Ui->MnImageAutoBorder = action("MnImageAutoBorder");
    Ui->MnViewOnionSkin = action("MnViewOnionSkin");
    Ui->MnViewOnionSkinNext = action("MnViewOnionSkinNext");
    Ui->MnViewTransparency = action("MnViewTransparency");
    Ui->MnFileModernIco = action("MnFileModernIco");
    Ui->MnFileOptimizeGif = action("MnFileOptimizeGif");
}

void TTindraMainForm::BindCommandButtons() {
    for (TControls::TBoundCommand& bound : Ui->Commands) {
        const TCommand& row = *bound.Row;
        if (row.Kind == TCommandKind::Control) bound.Item = findChild<QWidget*>(row.Name);
        if (!row.Button) continue;
        bound.Button = findChild<QToolButton*>(row.Button);
        connect(bound.Button, &QToolButton::clicked, this, row.Handler);
    }
}

// ---- Buttons and panels

QToolButton* TTindraMainForm::MakeButton(QWidget* owner, const char* name, QSize size, int glyph,
                                         void (TTindraMainForm::*slot)()) {
    auto* b = new QToolButton(owner);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setFixedSize(size);
    b->setIconSize(QSize(16, 16));
    b->setFocusPolicy(Qt::NoFocus);
    if (slot) connect(b, &QToolButton::clicked, this, slot);
    if (glyph >= 0) SetGlyph(b, glyph);
    return b;
}

// The tool bar: buttons of the commands (bound by the command table), in groups.
void TTindraMainForm::CreateControlPanel() {
    Ui->ControlPanel = new QFrame(centralWidget());
    Ui->ControlPanel->setObjectName("ControlPanel");
    MinimumHeight(Ui->ControlPanel, 33);
    auto* row = new QHBoxLayout(Ui->ControlPanel);
    row->setContentsMargins(4, 5, 4, 6);
    row->setSpacing(0);
    const struct {
        const char* Name;
        int Glyph;
    } buttons[] = {
        {"TBFileNew", 0},
        {"TBFileOpen", 1},
        {"TBFileSave", 2},
        {"TBFileSaveFrameAsGIF", 3},
        {"TBFileSaveFrameAsICO", 4},
        {"TBFileSaveFrameAsBMP", 5},
        {"TBSetup", 6},
        {nullptr, 0},
        {"TBEditUndo", 46},
        {"TBEditRedo", 53},
        {nullptr, 0},
        {"TBEditCut", 7},
        {"TBEditCopy", 8},
        {"TBEditPaste", 9},
        {"TBEditClear", 10},
        {nullptr, 0},
        {"TBEditInsertFrame", GlyphInsertFrame},
        {"TBEditRemoveFrame", 12},
        {"TBEditMoveFrame", GlyphMoveFrame},
        {nullptr, 0},
        {"TBViewGrid", GlyphGridOn},
        {"TBViewThumbnail", GlyphPreviewOn},
        {nullptr, 0},
        {"TBHelp", 17},
        {"TBAbout", GlyphAbout},
        {nullptr, 0},
        {"TBExit", 19},
    };
    for (const auto& b : buttons) {
        if (b.Name)
            row->addWidget(MakeButton(Ui->ControlPanel, b.Name, QSize(23, 22), b.Glyph));
        else
            row->addWidget(Divider(Ui->ControlPanel));
    }
    row->addStretch(1);
    Ui->TBFileSaveFrameAsICO = Ui->ControlPanel->findChild<QToolButton*>("TBFileSaveFrameAsICO");
    Ui->TBViewGrid = Ui->ControlPanel->findChild<QToolButton*>("TBViewGrid");
    Ui->TBViewThumbnail = Ui->ControlPanel->findChild<QToolButton*>("TBViewThumbnail");
}

void TTindraMainForm::CreateToolPanel() {
    Ui->ToolPanel = new QFrame(centralWidget());
    Ui->ToolPanel->setObjectName("ToolPanel");
    MinimumWidth(Ui->ToolPanel, 70);
    Ui->ToolPanel->setMinimumHeight(325);
    auto* column = new QVBoxLayout(Ui->ToolPanel);
    column->setContentsMargins(0, 6, 0, 6);
    column->setSpacing(2);
    Ui->ToolGroup = new QButtonGroup(this);
    Ui->ToolGroup->setExclusive(true);
    auto tool = [&](const char* name, int tag, int glyph) {
        QToolButton* b = MakeButton(Ui->ToolPanel, name, QSize(39, 25), glyph, &TTindraMainForm::SBToolClick);
        b->setProperty(TagProperty, tag);
        b->setCheckable(true);
        Ui->ToolGroup->addButton(b);
        if (tag != ToolNone) column->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    Ui->SBToolNone = tool("SBToolNone", ToolNone, -1);
    Ui->SBToolNone->hide();
    tool("SBToolMover", ToolMover, 20);
    tool("SBToolSelect", ToolSelect, 21);
    tool("SBToolColorDropper", ToolDropper, 22);
    tool("SBToolPen", ToolPencil, 23);
    tool("SBToolBrush", ToolBrush, 24);
    tool("SBToolFloodFill", ToolFill, 25);
    tool("SBToolLine", ToolLine, 26);
    Ui->SBToolRectangle = tool("SBToolRectangle", ToolRectangle, GlyphRectangle);
    Ui->SBToolEllipse = tool("SBToolEllipse", ToolEllipse, GlyphEllipse);
    tool("SBToolText", ToolText, 35);

    // The shape drop-downs: tool-bar-style pop-ups whose entries show only their glyphs.
    auto popup = [&](QToolButton* owner, const char* name) {
        auto* m = new QMenu(owner);
        m->setObjectName(name);
        owner->setMenu(m);
        owner->setPopupMode(QToolButton::MenuButtonPopup);
        return m;
    };
    auto entry = [&](QMenu* m, const char* name, int tag) {
        auto* a = new QAction(m);
        a->setObjectName(name);
        a->setProperty(TagProperty, tag);
        SetGlyph(a, tag + 19);
        connect(a, &QAction::triggered, this, &TTindraMainForm::PopupClick);
        m->addAction(a);
    };
    QMenu* rectangles = popup(Ui->SBToolRectangle, "PMRectanglePopup");
    entry(rectangles, "PMR1", ToolRectangle);
    entry(rectangles, "PMR2", ToolFilledRectangle);
    entry(rectangles, "PMR3", ToolSquare);
    entry(rectangles, "PMR4", ToolFilledSquare);
    QMenu* ellipses = popup(Ui->SBToolEllipse, "PMEllipsePopup");
    entry(ellipses, "PME1", ToolEllipse);
    entry(ellipses, "PME2", ToolFilledEllipse);
    entry(ellipses, "PME3", ToolCircle);
    entry(ellipses, "PME4", ToolFilledCircle);

    // The pen size of the pencil, brush, line and shape outlines, under the tools.
    Ui->EdToolSize = new QSpinBox(Ui->ToolPanel);
    Ui->EdToolSize->setObjectName("EdToolSize");
    Ui->EdToolSize->setRange(1, 5);
    Ui->EdToolSize->setValue(1);
    Ui->EdToolSize->setFixedWidth(39);
    column->addWidget(Ui->EdToolSize, 0, Qt::AlignHCenter);
    connect(Ui->EdToolSize, &QSpinBox::valueChanged, this, &TTindraMainForm::EdToolSizeChange);
    column->addStretch(1);
    CreateToolKeys();
}

void TTindraMainForm::CreatePreviewPanel() {
    Ui->PreviewPanel = new QFrame(centralWidget());
    Ui->PreviewPanel->setObjectName("PreviewPanel");
    MinimumWidth(Ui->PreviewPanel, 110);
    Ui->PreviewPanel->setMinimumHeight(325);
    auto* column = new QVBoxLayout(Ui->PreviewPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The frame list, with its thumbnail-size pop-up.
    auto* frameList = new TFrameListView(Ui->PreviewPanel);
    frameList->SetRowMoved([this](int from, int to) { LBImageBoxDrop(from, to); });
    Ui->LBImageBox = frameList;
    Ui->LBImageBox->setObjectName("LBImageBox");
    Ui->LBImageBox->setIconSize(QSize(40, 40));
    Ui->FrameList = new TFrameListModel(
        [this](int row) { return SurfaceImage(Document->FrameListPicture(row)); }, Ui->LBImageBox);
    Ui->LBImageBox->setModel(Ui->FrameList);
    Ui->LBImageBox->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* sizes = new QMenu(Ui->LBImageBox);
    sizes->setObjectName("PMThumbSizeMenu");
    Ui->PMS4 = sizes->addAction("40 x 40");
    Ui->PMS4->setObjectName("PMS4");
    Ui->PMS3 = sizes->addAction("32 x 32");
    Ui->PMS3->setObjectName("PMS3");
    for (QAction* a : {Ui->PMS4, Ui->PMS3}) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, &TTindraMainForm::PMThumbSizeClick);
    }
    Ui->PMS4->setChecked(true);
    connect(Ui->LBImageBox, &QListView::customContextMenuRequested, this,
            [this, sizes](const QPoint& at) { sizes->popup(Ui->LBImageBox->viewport()->mapToGlobal(at)); });
    column->addWidget(Ui->LBImageBox, 1);

    // The preview with Stop and Play (bound by the command table).
    auto small = [this](QWidget* owner, const char* name, int glyph) {
        return MakeButton(owner, name, QSize(25, 22), glyph);
    };
    Ui->ThumbnailPanel = new QFrame(Ui->PreviewPanel);
    Ui->ThumbnailPanel->setObjectName("ThumbnailPanel");
    MinimumHeight(Ui->ThumbnailPanel, 69);
    Ui->ImThumbnail = new TPreviewView(Ui->ThumbnailPanel);
    Ui->ImThumbnail->setObjectName("ImThumbnail");
    Ui->ImThumbnail->setFixedSize(40, 40);
    connect(Ui->ImThumbnail, &TPreviewView::clicked, this, &TTindraMainForm::ImThumbnailClick);
    auto* thumbRow = new QHBoxLayout;
    thumbRow->setSpacing(4);
    thumbRow->addStretch(1);
    thumbRow->addWidget(small(Ui->ThumbnailPanel, "SBStop", 37));
    thumbRow->addWidget(small(Ui->ThumbnailPanel, "SBPlay", 36));
    thumbRow->addStretch(1);
    auto* thumbColumn = new QVBoxLayout(Ui->ThumbnailPanel);
    thumbColumn->setContentsMargins(0, 3, 0, 2);
    thumbColumn->setSpacing(2);
    thumbColumn->addWidget(Ui->ImThumbnail, 0, Qt::AlignHCenter);
    thumbColumn->addLayout(thumbRow);
    column->addWidget(Ui->ThumbnailPanel);

    // Frame navigation (bound by the command table).
    Ui->FramePanel = new QFrame(Ui->PreviewPanel);
    Ui->FramePanel->setObjectName("FramePanel");
    MinimumHeight(Ui->FramePanel, 22);
    auto* frameRow = new QHBoxLayout(Ui->FramePanel);
    frameRow->setContentsMargins(2, 0, 2, 0);
    frameRow->setSpacing(1);
    frameRow->addWidget(small(Ui->FramePanel, "SBFirst", 38));
    frameRow->addWidget(small(Ui->FramePanel, "SBPrev", 39));
    frameRow->addWidget(small(Ui->FramePanel, "SBNext", 40));
    frameRow->addWidget(small(Ui->FramePanel, "SBLast", 41));
    column->addWidget(Ui->FramePanel);

    // The display time of the current frame.
    Ui->SpeedPanel = new QFrame(Ui->PreviewPanel);
    Ui->SpeedPanel->setObjectName("SpeedPanel");
    MinimumHeight(Ui->SpeedPanel, 24);
    Ui->EDSpeed = new QSpinBox(Ui->SpeedPanel);
    Ui->EDSpeed->setObjectName("EDSpeed");
    Ui->EDSpeed->setRange(10, 300000);
    Ui->EDSpeed->setSingleStep(10);
    Ui->EDSpeed->setValue(100);
    Ui->EDSpeed->setSuffix(" ms");
    // A warning sign beside the field while the time is one that browsers change; its hint says how.
    // It keeps its place when hidden, so nothing else moves.
    Ui->LBSpeedHint = new QLabel(Ui->SpeedPanel);
    Ui->LBSpeedHint->setObjectName("LBSpeedHint");
    Ui->LBSpeedHint->setFixedSize(16, 16);
    Ui->LBSpeedHint->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(QSize(16, 16), devicePixelRatioF()));
    QSizePolicy keepPlace = Ui->LBSpeedHint->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    Ui->LBSpeedHint->setSizePolicy(keepPlace);
    Ui->LBSpeedHint->hide();
    auto* speedRow = new QHBoxLayout(Ui->SpeedPanel);
    speedRow->setContentsMargins(2, 1, 2, 1);
    speedRow->setSpacing(2);
    speedRow->addWidget(Ui->EDSpeed);
    speedRow->addWidget(Ui->LBSpeedHint);
    column->addWidget(Ui->SpeedPanel);
}

void TTindraMainForm::CreateColorPanel() {
    auto* panel = new QFrame(centralWidget());
    panel->setFrameShape(QFrame::StyledPanel);
    Ui->ColorPanel = panel;
    Ui->ColorPanel->setObjectName("ColorPanel");
    MinimumHeight(Ui->ColorPanel, 80);
    auto* row = new QHBoxLayout(Ui->ColorPanel);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(8);

    // Drawing, background and transparent colour, each a lettered swatch.
    auto* swatches = new QGridLayout;
    swatches->setHorizontalSpacing(3);
    swatches->setVerticalSpacing(2);
    auto swatch = [&](const char* labelName, const char* letter, const char* swatchName, int line,
                      QLabel*& label, QFrame*& box) {
        label = new QLabel(letter, Ui->ColorPanel);
        label->setObjectName(labelName);
        box = new QFrame(Ui->ColorPanel);
        box->setObjectName(swatchName);
        box->setFrameShape(QFrame::Box);
        box->setFixedSize(34, 18);
        swatches->addWidget(label, line, 0);
        swatches->addWidget(box, line, 1);
    };
    swatch("TLColor", "L", "SLColor", 0, Ui->TLColor, Ui->SLColor);
    swatch("TRColor", "P", "SRColor", 1, Ui->TRColor, Ui->SRColor);
    swatch("TTColor", "T", "STColor", 2, Ui->TTColor, Ui->STColor);
    row->addLayout(swatches);

    Ui->GColorPalette = new TPaletteStrip(Ui->ColorPanel);
    Ui->GColorPalette->setFixedSize(273, 33);

    // Font of the text tool, in a row below the palette, and its sample.
    Ui->SBFontSelect = MakeButton(Ui->ColorPanel, "SBFontSelect", QSize(23, 22), 50);
    Ui->CBFontName = new QComboBox(Ui->ColorPanel);
    Ui->CBFontName->setObjectName("CBFontName");
    Ui->CBFontName->addItems(QFontDatabase::families());
    Ui->CBFontName->setFixedWidth(118);
    Ui->CBFontSize = new QComboBox(Ui->ColorPanel);
    Ui->CBFontSize->setObjectName("CBFontSize");
    for (int size : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24})
        Ui->CBFontSize->addItem(QString::number(size));
    Ui->CBFontSize->setCurrentText("8");
    Ui->CBFontSize->setFixedWidth(50);
    auto style = [&](const char* name, const char* caption) {
        auto* b = new QToolButton(Ui->ColorPanel);
        b->setObjectName(name);
        b->setText(caption);
        b->setCheckable(true);
        b->setMinimumSize(22, 22);
        return b;
    };
    Ui->SBBold = style("SBBold", "B");
    Ui->SBItalics = style("SBItalics", "I");
    Ui->SBUnderline = style("SBUnderline", "U");
    QFont bold = Ui->SBBold->font();
    bold.setBold(true);
    Ui->SBBold->setFont(bold);
    QFont italic = Ui->SBItalics->font();
    italic.setItalic(true);
    Ui->SBItalics->setFont(italic);
    QFont underline = Ui->SBUnderline->font();
    underline.setUnderline(true);
    Ui->SBUnderline->setFont(underline);
    auto* styles = new QHBoxLayout;
    styles->setSpacing(1);
    styles->addWidget(Ui->CBFontSize);
    styles->addWidget(Ui->SBBold);
    styles->addWidget(Ui->SBItalics);
    styles->addWidget(Ui->SBUnderline);
    auto* fontRow = new QHBoxLayout;
    fontRow->setSpacing(1);
    fontRow->addWidget(Ui->SBFontSelect);
    fontRow->addWidget(Ui->CBFontName);
    fontRow->addLayout(styles);
    fontRow->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->setSpacing(4);
    middle->addWidget(Ui->GColorPalette);
    middle->addLayout(fontRow);
    middle->addStretch(1);
    row->addLayout(middle);
    row->addStretch(1);

    Ui->TestPanel = new QLabel("Abc", Ui->ColorPanel);
    Ui->TestPanel->setObjectName("TestPanel");
    Ui->TestPanel->setAlignment(Qt::AlignCenter);
    Ui->TestPanel->setFrameShape(QFrame::Panel);
    Ui->TestPanel->setFrameShadow(QFrame::Sunken);
    Ui->TestPanel->setFixedSize(64, 48);
    row->addWidget(Ui->TestPanel);
}

// The canvas area: a scroll area filling MainPanel, whose widget CanvasPanel carries the canvas. While
// the zoom fits the window the panel is the area's whole view and nothing scrolls; a larger zoom
// widens the panel (the canvas does that) and the area shows scroll bars. Drops still reach MainPanel,
// the first parent that takes them.
void TTindraMainForm::CreateCanvasScrollArea() {
    auto* scroll = new QScrollArea(Ui->MainPanel);
    scroll->setObjectName("CanvasScrollArea");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    Ui->CanvasPanel = new QWidget;
    Ui->CanvasPanel->setObjectName("CanvasPanel");
    scroll->setWidget(Ui->CanvasPanel);
    // Moving over the panel beside the canvas clears the pointer information, as over MainPanel.
    Ui->CanvasPanel->setMouseTracking(true);
    Ui->CanvasPanel->installEventFilter(this);
    auto* fill = new QVBoxLayout(Ui->MainPanel);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroll);
}

void TTindraMainForm::CreateStatusBar() {
    Ui->StatusBar = new QWidget(centralWidget());
    Ui->StatusBar->setObjectName("StatusBar");
    MinimumHeight(Ui->StatusBar, 40);
    auto* lines = new QVBoxLayout(Ui->StatusBar);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    Ui->SBHintInfo = StatusCell(Ui->StatusBar, "SBHintInfo", 0);
    lines->addWidget(Ui->SBHintInfo);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(0);
    Ui->SBVersionInfo = StatusCell(Ui->StatusBar, "SBVersionInfo", 71);
    Ui->SBVersionInfo->setText(QString("Tindra ") + TINDRA_VERSION);
    QFont bold = Ui->SBVersionInfo->font();
    bold.setBold(true);
    Ui->SBVersionInfo->setFont(bold);
    // Wide enough for the version in the face actually used.
    Ui->SBVersionInfo->setMinimumWidth(
        std::max(71, StatusTextWidth(Ui->SBVersionInfo, Ui->SBVersionInfo->text().toStdString())));
    Ui->SBFrameInfo = StatusCell(Ui->StatusBar, "SBFrameInfo", 66);
    Ui->SBColorInfo = StatusCell(Ui->StatusBar, "SBColorInfo", 18);
    Ui->SBColorInfo->setAutoFillBackground(true);
    Ui->SBPixelInfo = StatusCell(Ui->StatusBar, "SBPixelInfo", 0);
    // Room for the longest pointer text, the dropper's, at the smallest window width.
    Ui->SBPixelInfo->setMinimumWidth(
        StatusTextWidth(Ui->SBPixelInfo, DropperInfoText({IconCells - 1, IconCells - 1}, 0xFFFFFFFF)));
    Ui->SBCapsLockInfo = StatusCell(Ui->StatusBar, "SBCapsLockInfo", 66);
    Ui->SBCapsLockInfo->setText("Caps");
    Ui->SBNumLockInfo = StatusCell(Ui->StatusBar, "SBNumLockInfo", 66);
    Ui->SBNumLockInfo->setText("Num");
    for (QLabel* l : {Ui->SBCapsLockInfo, Ui->SBNumLockInfo})
        l->setAlignment(Qt::AlignCenter);
    lower->addWidget(Ui->SBVersionInfo);
    lower->addWidget(Ui->SBFrameInfo);
    lower->addWidget(Ui->SBColorInfo);
    lower->addWidget(Ui->SBPixelInfo, 1);
    // The zoom, "×17": screen pixels per icon pixel.
    Ui->SBZoomInfo = StatusCell(Ui->StatusBar, "SBZoomInfo", 0);
    Ui->SBZoomInfo->setAlignment(Qt::AlignCenter);
    Ui->SBZoomInfo->setMinimumWidth(StatusTextWidth(Ui->SBZoomInfo, ZoomText(MaxZoom).toStdString()));
    lower->addWidget(Ui->SBZoomInfo);
    lower->addWidget(Ui->SBCapsLockInfo);
    lower->addWidget(Ui->SBNumLockInfo);
    lines->addLayout(lower);
    ClearPointerInfo();
}
