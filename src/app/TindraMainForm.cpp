#include "TindraMainForm.h"

#include "CanvasWidget.h"
#include "CanvasView.h"
#include "ClipboardPicture.h"
#include "DataFiles.h"
#include "DialogSetup.h"
#include "EditorColors.h"
#include "FontPanel.h"
#include "HelpTopics.h"
#include "IconDocument.h"
#include "GIFPainter.h"
#include "PreviewView.h"
#include "QtSyncCaller.h"
#include "QtTranslator.h"
#include "SystemColors.h"
#include "ImageTransforms.h"
#include "LanguageTables.h"
#include "LockKeys.h"
#include "Messages.h"
#include "TindraAboutForm.h"
#include "TindraAngleForm.h"
#include "TindraHelpForm.h"
#include "TindraIframeForm.h"
#include "TindraInfoForm.h"
#include "TindraLangForm.h"
#include "PaletteStrip.h"
#include "PixelArt.h"
#include "QtColor.h"
#include "SurfaceColor.h"
#include "SurfaceImage.h"
#include "TindraMFrameForm.h"
#include "WindowPlacement.h"

#include "GIFPicture.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

#ifndef TINDRA_VERSION
#define TINDRA_VERSION "2.2.0.0"
#endif

namespace {

constexpr int ItemEmptyTemplates = 0;
constexpr int ItemGlyphs = 1;
constexpr const char* TagProperty = "Tag";
constexpr const char* HelpContextProperty = "HelpContext";
constexpr TInterfaceColor ButtonFace{0xF0F0F0}; // the platform's button face

QImage ToImage(const tindra::TImageListItem& item, int index) {
    QImage image(item.Width, item.Height, QImage::Format_ARGB32);
    for (int y = 0; y < item.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < item.Width; ++x)
            line[x] = item.Pixel(index, x, y);
    }
    return image;
}


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

TTindraMainForm::TTindraMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("TindraMainForm");
    setFont(WindowFont());
    setMinimumSize(DesignWidth, DesignHeight);
    resize(DesignWidth, DesignHeight);
    ControlImagePath = TDataFiles::Find(QCoreApplication::applicationDirPath(), "images.iml");
    ShowMessage = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, "Tindra", text, QMessageBox::Ok, this);
        box.exec();
    };

    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    setCentralWidget(central);
    CreateMenus();
    CreateControlPanel();
    CreateToolPanel();
    CreatePreviewPanel();
    CreateColorPanel();
    CreateStatusBar();

    MainPanel = new QWidget(central);
    MainPanel->setObjectName("MainPanel");
    MainPanel->setMinimumSize(325, 325);
    MainPanel->setAcceptDrops(true); // file drop target (FMDrop)
    // The preview painter hands its drawing to this thread; a painter that fails ends the playback.
    SyncCaller = std::make_unique<TQtSyncCaller>();
    TSyncCaller::Install(SyncCaller.get());
    TGIFPainter::SetErrorHandler([this](const std::string&) {
        QTimer::singleShot(0, this, [this] { StopAnimation(); });
    });

    // The document and its editors: the canvas (PBMain), the colour controls and the text tool's font.
    // Each works on the document; what they show in the status bar comes here.
    Document = std::make_unique<TIconDocument>(QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/").toStdString());
    Document->SetObserver(this);
    Canvas = new TCanvasWidget(*Document, MainPanel);
    PBMain = Canvas;
    PBMain->hide();
    connect(Canvas, &TCanvasWidget::PointerInfo, this, &TTindraMainForm::ShowPointerInfo);
    Colors = new TEditorColors(*Document,
                               {SLColor, SRColor, STColor, TLColor, TRColor, TTColor,
                                static_cast<TPaletteStrip*>(GColorPalette), TestPanel},
                               this);
    connect(Colors, &TEditorColors::PixelInfo, SBPixelInfo, &QLabel::setText);
    connect(Colors, &TEditorColors::ColorInfo, this,
            [this](std::optional<TInterfaceColor> c) { ShowPointerInfo(SBPixelInfo->text(), c); });
    FontPanel = new TFontPanel(
        *Document, {CBFontName, CBFontSize, SBFontSelect, SBBold, SBItalics, SBUnderline, TestPanel}, this);
    connect(Canvas, &TCanvasWidget::TextToolReleased, FontPanel, &TFontPanel::WriteText);
    // Paste follows the clipboard's content.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TTindraMainForm::CBViewerClipboardChanged);
    // The field takes a typed time when it is committed (Enter, focus loss), then rounds it.
    EDSpeed->setKeyboardTracking(false);
    connect(EDSpeed, &QSpinBox::valueChanged, this, &TTindraMainForm::EDSpeedChange);
    connect(LBImageBox, &QListWidget::currentRowChanged, this, &TTindraMainForm::LBImageBoxClick);
    // CommitFrame draws the border first while "Auto border" is checked.
    connect(MnImageAutoBorder, &QAction::toggled, this, [this](bool on) { Document->SetAutoBorder(on); });

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    middle->addWidget(ToolPanel);
    middle->addWidget(MainPanel, 1);
    middle->addWidget(PreviewPanel);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ControlPanel);
    layout->addLayout(middle, 1);
    layout->addWidget(ColorPanel);
    layout->addWidget(StatusBar);

    // Moving over any part of the window but the canvas clears the pointer information.
    for (QWidget* w :
         {static_cast<QWidget*>(central), ControlPanel, ToolPanel, MainPanel, PreviewPanel, ThumbnailPanel,
          FramePanel, SpeedPanel, ColorPanel, static_cast<QWidget*>(TestPanel), StatusBar}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QWidget* w : {SBVersionInfo, SBCapsLockInfo, SBNumLockInfo})
        w->installEventFilter(this);

    // Start-up 1: the recent files come from the store before the window's own creation step.
    MRU.AttachMenu(MnFileOpenMru, MnMRUSep);
    MRU.SetOpenHandler([this](const QString& path) { OpenFile(path, false); });
    MRU.Load(RegCtrl);

    // Creation step of start-up 1: caption, help binding, document objects.
    setWindowTitle("Tindra");
    // Help: each area of the window names its section of the manual; message boxes keep their
    // titles whole.
    for (const auto& [area, context] : {std::pair<QObject*, int>{MnFile, tindra::HelpFiles},
                                        {MnEdit, tindra::HelpEditing},
                                        {MnImage, tindra::HelpEditing},
                                        {ControlPanel, tindra::HelpWindow},
                                        {ToolPanel, tindra::HelpTools},
                                        {MainPanel, tindra::HelpCanvas},
                                        {PreviewPanel, tindra::HelpFrames},
                                        {ColorPanel, tindra::HelpColors},
                                        {StatusBar, tindra::HelpWindow}})
        area->setProperty(HelpContextProperty, context);
    tindra::KeepMessageBoxTitlesWhole();
    SISysInfo = std::make_unique<TLockKeys>(QGuiApplication::platformName() == "xcb");
    LockKeyTimer = new QTimer(this);
    connect(LockKeyTimer, &QTimer::timeout, this, &TTindraMainForm::UpdateLockKeys);
    LockKeyTimer->start(250);
    UpdateLockKeys();

    ApplyLanguage();
}

TTindraMainForm::~TTindraMainForm() {
    // Shut-down 4: the recent files go back to the store first.
    MRU.Save(RegCtrl);
    // The controls are destroyed by the QWidget base, after the document and the canvas host: a
    // control must not reach them on its way out (the display-time field that loses the focus while
    // the window goes reports editingFinished). So the controls stop talking to this window, the
    // preview stops playing into its control, and the controls go while the document still exists.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        child->removeEventFilter(this);
    }
    QGuiApplication::clipboard()->disconnect(this);
    TGIFPainter::StopPainting(Document->Frames40());
    Document->SetObserver(nullptr);
    delete centralWidget();
}

QFont TTindraMainForm::WindowFont() {
    const QStringList families = QFontDatabase::families();
    QFont font(families.contains("Tahoma") ? QString("Tahoma") : QString("DejaVu Sans"));
    font.setPixelSize(13);
    return font;
}

int TTindraMainForm::ZoomFor(int panelWidth, int panelHeight) {
    return std::max(std::min(panelWidth, panelHeight) / 40, 8);
}

void TTindraMainForm::CreateDialogs() {
    if (AboutForm) return;
    AboutForm = new TTindraAboutForm(this);
    LangForm = new TTindraLangForm(this);
    InfoForm = new TTindraInfoForm(this);
    AngleForm = new TTindraAngleForm(this);
    IframeForm = new TTindraIframeForm(*Document, *this, this);
    MFrameForm = new TTindraMFrameForm(this);
    SetGlyph(AboutForm, GlyphAbout);
    SetGlyph(AngleForm, GlyphRotate);
    SetGlyph(IframeForm, GlyphInsertFrame);
    SetGlyph(MFrameForm, GlyphMoveFrame);
    // The about dialog takes the current language every time it opens.
    AboutForm->SetLanguageHandler([this](TTindraAboutForm& about) {
        tindra::ApplyAboutLanguage(&about, LanguageIndex, TINDRA_VERSION);
    });
}

// ---------------------------------------------------------------------------------------------
// Construction of the controls

void TTindraMainForm::CreateMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [this](QWidget* owner, const char* name) {
        auto* m = new QMenu(owner);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        if (auto* parentMenu = qobject_cast<QMenu*>(owner))
            parentMenu->addMenu(m);
        else
            menuBar()->addMenu(m);
        return m;
    };
    auto command = [this](QMenu* m, const char* name, const char* shortcut, void (TTindraMainForm::*slot)(),
                          int glyph = -1) {
        auto* a = new QAction(m);
        a->setObjectName(name);
        if (shortcut) a->setShortcut(QKeySequence(shortcut));
        if (slot) connect(a, &QAction::triggered, this, slot);
        if (glyph >= 0) SetGlyph(a, glyph);
        m->addAction(a);
        return a;
    };
    auto check = [&](QMenu* m, const char* name, const char* shortcut, void (TTindraMainForm::*slot)(),
                     bool checked) {
        QAction* a = command(m, name, shortcut, slot);
        a->setCheckable(true);
        a->setChecked(checked);
        return a;
    };

    MnFile = menu(bar, "MnFile");
    MnFileNew = command(MnFile, "MnFileNew", "Ctrl+N", &TTindraMainForm::MnFileNewClick, 0);
    MnFileOpen = command(MnFile, "MnFileOpen", "Ctrl+O", &TTindraMainForm::MnFileOpenClick, 1);
    MnFileOpenMru = menu(MnFile, "MnFileOpenMru");
    SetGlyph(MnFileOpenMru->menuAction(), 48);
    MnMRUSep = MnFileOpenMru->addSeparator();
    MnMRUSep->setObjectName("MnMRUSep");
    MnMRUClear = command(MnFileOpenMru, "MnMRUClear", nullptr, &TTindraMainForm::MnMRUClearClick, 10);
    MnMRUShowPath =
        check(MnFileOpenMru, "MnMRUShowPath", nullptr, &TTindraMainForm::MnMRUShowPathClick, false);
    MnFileDownload = command(MnFile, "MnFileDownload", "Ctrl+D", nullptr, 49);
    MnFileDownload->setEnabled(false);
    MnFile->addSeparator();
    MnFileSaveFrameAs = menu(MnFile, "MnFileSaveFrameAs");
    MnFileSaveFrameAsGIF = command(MnFileSaveFrameAs, "MnFileSaveFrameAsGIF", "Ctrl+Alt+G",
                                   &TTindraMainForm::MnFileSaveFrameAsGIFClick, 3);
    MnFileSaveFrameAsICO = command(MnFileSaveFrameAs, "MnFileSaveFrameAsICO", "Ctrl+Alt+I",
                                   &TTindraMainForm::MnFileSaveFrameAsICOClick, 4);
    MnFileSaveFrameAsBMP = command(MnFileSaveFrameAs, "MnFileSaveFrameAsBMP", "Ctrl+Alt+B",
                                   &TTindraMainForm::MnFileSaveFrameAsBMPClick, 5);
    MnFile->addSeparator();
    MnFileSaveAs = command(MnFile, "MnFileSaveAs", "Ctrl+S", &TTindraMainForm::MnFileSaveAsClick, 2);
    MnFile->addSeparator();
    MnFileSaveWithoutBorder = check(MnFile, "MnFileSaveWithoutBorder", "Ctrl+B",
                                    &TTindraMainForm::MnFileSaveWithoutBorderClick, false);
    MnFileSetup = command(MnFile, "MnFileSetup", "Ctrl+L", &TTindraMainForm::MnFileSetupClick, 6);
    MnFile->addSeparator();
    MnFileExit = command(MnFile, "MnFileExit", "Alt+F4", &TTindraMainForm::MnFileExitClick, 19);

    MnEdit = menu(bar, "MnEdit");
    MnEditUndo = command(MnEdit, "MnEditUndo", "Ctrl+Z", &TTindraMainForm::MnEditUndoClick, 46);
    MnEditUndelete = command(MnEdit, "MnEditUndelete", "Ctrl+Alt+Del", nullptr, 52);
    MnEditUndelete->setEnabled(false);
    MnEdit->addSeparator();
    MnEditCut = command(MnEdit, "MnEditCut", "Ctrl+X", &TTindraMainForm::MnEditCutClick, 7);
    MnEditCopy = command(MnEdit, "MnEditCopy", "Ctrl+C", &TTindraMainForm::MnEditCopyClick, 8);
    MnEditPaste = command(MnEdit, "MnEditPaste", "Ctrl+V", &TTindraMainForm::MnEditPasteClick, 9);
    MnEditClear = command(MnEdit, "MnEditClear", "Shift+Del", &TTindraMainForm::MnEditClearClick, 10);
    MnEdit->addSeparator();
    MnEditInsertFrame =
        command(MnEdit, "MnEditInsertFrame", "Ctrl+Ins", &TTindraMainForm::MnEditInsertFrameClick, 11);
    MnEditRemoveFrame =
        command(MnEdit, "MnEditRemoveFrame", "Ctrl+Del", &TTindraMainForm::MnEditRemoveFrameClick, 12);
    MnEditMoveFrame =
        command(MnEdit, "MnEditMoveFrame", "Ctrl+M", &TTindraMainForm::MnEditMoveFrameClick, 47);
    MnEdit->addSeparator();
    MnEditSelectAll =
        command(MnEdit, "MnEditSelectAll", "Ctrl+A", &TTindraMainForm::MnEditSelectAllClick, 21);
    MnEditSelectAll->setEnabled(false);

    MnView = menu(bar, "MnView");
    MnViewFrame = menu(MnView, "MnViewFrame");
    MnViewFrameFirst =
        command(MnViewFrame, "MnViewFrameFirst", "Home", &TTindraMainForm::MnViewFrameFirstClick, 38);
    MnViewFramePrev =
        command(MnViewFrame, "MnViewFramePrev", "PgUp", &TTindraMainForm::MnViewFramePrevClick, 39);
    MnViewFrameNext =
        command(MnViewFrame, "MnViewFrameNext", "PgDown", &TTindraMainForm::MnViewFrameNextClick, 40);
    MnViewFrameLast =
        command(MnViewFrame, "MnViewFrameLast", "End", &TTindraMainForm::MnViewFrameLastClick, 41);
    MnView->addSeparator();
    MnViewGrid = check(MnView, "MnViewGrid", "Ctrl+G", &TTindraMainForm::MnViewGridClick, true);
    MnViewThumbnail =
        check(MnView, "MnViewThumbnail", "Ctrl+H", &TTindraMainForm::MnViewThumbnailClick, true);
    MnView->addSeparator();
    MnImageAttributes =
        command(MnView, "MnImageAttributes", "Ctrl+I", &TTindraMainForm::MnImageAttributesClick, 51);
    MnImageAttributes->setEnabled(false);
    MnView->addSeparator();
    MnViewControlBar =
        check(MnView, "MnViewControlBar", "Shift+F2", &TTindraMainForm::MnViewControlBarClick, true);
    MnViewToolBar = check(MnView, "MnViewToolBar", "Shift+F3", &TTindraMainForm::MnViewToolBarClick, true);
    MnViewColorBar = check(MnView, "MnViewColorBar", "Shift+F4", &TTindraMainForm::MnViewColorBarClick, true);

    MnImage = menu(bar, "MnImage");
    MnImagePlayAnimation =
        command(MnImage, "MnImagePlayAnimation", "Ctrl+P", &TTindraMainForm::MnImagePlayAnimationClick, 36);
    MnImageStopAnimation =
        command(MnImage, "MnImageStopAnimation", "Ctrl+T", &TTindraMainForm::MnImageStopAnimationClick, 37);
    MnImage->addSeparator();
    MnImageFlipHor =
        command(MnImage, "MnImageFlipHor", "Ctrl+Right", &TTindraMainForm::MnImageFlipHorClick, 42);
    MnImageFlipVert =
        command(MnImage, "MnImageFlipVert", "Ctrl+Up", &TTindraMainForm::MnImageFlipVertClick, 43);
    MnImageRotate = command(MnImage, "MnImageRotate", "Ctrl+Left", &TTindraMainForm::MnImageRotateClick, 44);
    MnImage->addSeparator();
    MnImageDrawBorder =
        command(MnImage, "MnImageDrawBorder", "Ctrl+R", &TTindraMainForm::MnImageDrawBorderClick, 45);
    MnImageAutoBorder = check(MnImage, "MnImageAutoBorder", "Ctrl+Alt+R", nullptr, false);
    MnImage->addSeparator();
    MnEffects = menu(MnImage, "MnEffects");
    // A menu disabled as a widget stays disabled when the busy window is enabled again;
    // disabling only its menu action would not survive that.
    MnEffects->setEnabled(false);
    MnEffectsTest = command(MnEffects, "MnEffectsTest", nullptr, &TTindraMainForm::NotImplementedClick);

    MnColors = menu(bar, "MnColors");
    MnColors->setEnabled(false);
    MnColorsTest = command(MnColors, "MnColorsTest", nullptr, &TTindraMainForm::NotImplementedClick);

    MnHelp = menu(bar, "MnHelp");
    MnHelpThemes = command(MnHelp, "MnHelpThemes", "F1", &TTindraMainForm::MnHelpThemesClick, 17);
    MnHelp->addSeparator();
    MnHelpAbout = command(MnHelp, "MnHelpAbout", "Alt+F1", &TTindraMainForm::MnHelpAboutClick, 18);
}

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

void TTindraMainForm::CreateControlPanel() {
    ControlPanel = new QFrame(centralWidget());
    ControlPanel->setObjectName("ControlPanel");
    MinimumHeight(ControlPanel, 33);
    auto* row = new QHBoxLayout(ControlPanel);
    row->setContentsMargins(4, 5, 4, 6);
    row->setSpacing(0);
    auto button = [&](const char* name, void (TTindraMainForm::*slot)(), int glyph) {
        QToolButton* b = MakeButton(ControlPanel, name, QSize(23, 22), glyph, slot);
        row->addWidget(b);
        return b;
    };
    TBFileNew = button("TBFileNew", &TTindraMainForm::MnFileNewClick, 0);
    TBFileOpen = button("TBFileOpen", &TTindraMainForm::MnFileOpenClick, 1);
    TBFileSave = button("TBFileSave", &TTindraMainForm::MnFileSaveAsClick, 2);
    TBFileSaveFrameAsGIF = button("TBFileSaveFrameAsGIF", &TTindraMainForm::MnFileSaveFrameAsGIFClick, 3);
    TBFileSaveFrameAsICO = button("TBFileSaveFrameAsICO", &TTindraMainForm::MnFileSaveFrameAsICOClick, 4);
    TBFileSaveFrameAsBMP = button("TBFileSaveFrameAsBMP", &TTindraMainForm::MnFileSaveFrameAsBMPClick, 5);
    TBSetup = button("TBSetup", &TTindraMainForm::MnFileSetupClick, 6);
    row->addWidget(Divider(ControlPanel));
    TBEditCut = button("TBEditCut", &TTindraMainForm::MnEditCutClick, 7);
    TBEditCopy = button("TBEditCopy", &TTindraMainForm::MnEditCopyClick, 8);
    TBEditPaste = button("TBEditPaste", &TTindraMainForm::MnEditPasteClick, 9);
    TBEditClear = button("TBEditClear", &TTindraMainForm::MnEditClearClick, 10);
    row->addWidget(Divider(ControlPanel));
    TBEditInsertFrame =
        button("TBEditInsertFrame", &TTindraMainForm::MnEditInsertFrameClick, GlyphInsertFrame);
    TBEditRemoveFrame = button("TBEditRemoveFrame", &TTindraMainForm::MnEditRemoveFrameClick, 12);
    TBEditMoveFrame = button("TBEditMoveFrame", &TTindraMainForm::MnEditMoveFrameClick, GlyphMoveFrame);
    row->addWidget(Divider(ControlPanel));
    TBViewGrid = button("TBViewGrid", &TTindraMainForm::MnViewGridClick, GlyphGridOn);
    TBViewThumbnail = button("TBViewThumbnail", &TTindraMainForm::MnViewThumbnailClick, GlyphPreviewOn);
    row->addWidget(Divider(ControlPanel));
    TBHelp = button("TBHelp", &TTindraMainForm::MnHelpThemesClick, 17);
    TBAbout = button("TBAbout", &TTindraMainForm::MnHelpAboutClick, GlyphAbout);
    row->addWidget(Divider(ControlPanel));
    TBExit = button("TBExit", &TTindraMainForm::MnFileExitClick, 19);
    row->addStretch(1);
}

void TTindraMainForm::CreateToolPanel() {
    ToolPanel = new QFrame(centralWidget());
    ToolPanel->setObjectName("ToolPanel");
    MinimumWidth(ToolPanel, 70);
    ToolPanel->setMinimumHeight(325);
    auto* column = new QVBoxLayout(ToolPanel);
    column->setContentsMargins(0, 6, 0, 6);
    column->setSpacing(2);
    ToolGroup = new QButtonGroup(this);
    ToolGroup->setExclusive(true);
    auto tool = [&](const char* name, int tag, int glyph) {
        QToolButton* b = MakeButton(ToolPanel, name, QSize(39, 25), glyph, &TTindraMainForm::SBToolClick);
        b->setProperty(TagProperty, tag);
        b->setCheckable(true);
        ToolGroup->addButton(b);
        if (tag != ToolNone) column->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    SBToolNone = tool("SBToolNone", ToolNone, -1);
    SBToolNone->hide();
    SBToolMover = tool("SBToolMover", 1, 20);
    SBToolSelect = tool("SBToolSelect", 2, 21);
    SBToolColorDropper = tool("SBToolColorDropper", 3, 22);
    SBToolPen = tool("SBToolPen", 4, 23);
    SBToolBrush = tool("SBToolBrush", 5, 24);
    SBToolFloodFill = tool("SBToolFloodFill", 6, 25);
    SBToolLine = tool("SBToolLine", 7, 26);
    SBToolRectangle = tool("SBToolRectangle", ToolRectangle, GlyphRectangle);
    SBToolEllipse = tool("SBToolEllipse", ToolEllipse, GlyphEllipse);
    SBToolText = tool("SBToolText", ToolText, 35);

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
        return a;
    };
    PMRectanglePopup = popup(SBToolRectangle, "PMRectanglePopup");
    PMR1 = entry(PMRectanglePopup, "PMR1", 8);
    PMR2 = entry(PMRectanglePopup, "PMR2", 9);
    PMR3 = entry(PMRectanglePopup, "PMR3", 10);
    PMR4 = entry(PMRectanglePopup, "PMR4", 11);
    PMEllipsePopup = popup(SBToolEllipse, "PMEllipsePopup");
    PME1 = entry(PMEllipsePopup, "PME1", 12);
    PME2 = entry(PMEllipsePopup, "PME2", 13);
    PME3 = entry(PMEllipsePopup, "PME3", 14);
    PME4 = entry(PMEllipsePopup, "PME4", 15);

    // Every tool draws one pixel wide: the size field stays hidden and disabled.
    EdToolSize = new QSpinBox(ToolPanel);
    EdToolSize->setObjectName("EdToolSize");
    EdToolSize->setRange(1, 5);
    EdToolSize->setValue(1);
    EdToolSize->setEnabled(false);
    EdToolSize->hide();
    connect(EdToolSize, &QSpinBox::valueChanged, this, &TTindraMainForm::EdToolSizeChange);
    column->addStretch(1);
}

void TTindraMainForm::CreatePreviewPanel() {
    PreviewPanel = new QFrame(centralWidget());
    PreviewPanel->setObjectName("PreviewPanel");
    MinimumWidth(PreviewPanel, 110);
    PreviewPanel->setMinimumHeight(325);
    auto* column = new QVBoxLayout(PreviewPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    LBImageBox = new QListWidget(PreviewPanel);
    LBImageBox->setObjectName("LBImageBox");
    LBImageBox->setIconSize(QSize(40, 40));
    LBImageBox->setContextMenuPolicy(Qt::CustomContextMenu);
    PMThumbSizeMenu = new QMenu(LBImageBox);
    PMThumbSizeMenu->setObjectName("PMThumbSizeMenu");
    PMS4 = PMThumbSizeMenu->addAction("40 x 40");
    PMS4->setObjectName("PMS4");
    PMS3 = PMThumbSizeMenu->addAction("32 x 32");
    PMS3->setObjectName("PMS3");
    for (QAction* a : {PMS4, PMS3}) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, &TTindraMainForm::PMThumbSizeClick);
    }
    PMS4->setChecked(true);
    connect(LBImageBox, &QListWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PMThumbSizeMenu->popup(LBImageBox->viewport()->mapToGlobal(at)); });
    column->addWidget(LBImageBox, 1);

    auto small = [this](QWidget* owner, const char* name, void (TTindraMainForm::*slot)(), int glyph) {
        return MakeButton(owner, name, QSize(25, 22), glyph, slot);
    };

    ThumbnailPanel = new QFrame(PreviewPanel);
    ThumbnailPanel->setObjectName("ThumbnailPanel");
    MinimumHeight(ThumbnailPanel, 69);
    ImThumbnail = new TPreviewView(ThumbnailPanel);
    ImThumbnail->setObjectName("ImThumbnail");
    ImThumbnail->setFixedSize(40, 40);
    connect(ImThumbnail, &TPreviewView::clicked, this, &TTindraMainForm::ImThumbnailClick);
    SBStop = small(ThumbnailPanel, "SBStop", &TTindraMainForm::MnImageStopAnimationClick, 37);
    SBPlay = small(ThumbnailPanel, "SBPlay", &TTindraMainForm::MnImagePlayAnimationClick, 36);
    auto* thumbRow = new QHBoxLayout;
    thumbRow->setSpacing(4);
    thumbRow->addStretch(1);
    thumbRow->addWidget(SBStop);
    thumbRow->addWidget(SBPlay);
    thumbRow->addStretch(1);
    auto* thumbColumn = new QVBoxLayout(ThumbnailPanel);
    thumbColumn->setContentsMargins(0, 3, 0, 2);
    thumbColumn->setSpacing(2);
    thumbColumn->addWidget(ImThumbnail, 0, Qt::AlignHCenter);
    thumbColumn->addLayout(thumbRow);
    column->addWidget(ThumbnailPanel);

    FramePanel = new QFrame(PreviewPanel);
    FramePanel->setObjectName("FramePanel");
    MinimumHeight(FramePanel, 22);
    auto* frameRow = new QHBoxLayout(FramePanel);
    frameRow->setContentsMargins(2, 0, 2, 0);
    frameRow->setSpacing(1);
    SBFirst = small(FramePanel, "SBFirst", &TTindraMainForm::MnViewFrameFirstClick, 38);
    SBPrev = small(FramePanel, "SBPrev", &TTindraMainForm::MnViewFramePrevClick, 39);
    SBNext = small(FramePanel, "SBNext", &TTindraMainForm::MnViewFrameNextClick, 40);
    SBLast = small(FramePanel, "SBLast", &TTindraMainForm::MnViewFrameLastClick, 41);
    for (QToolButton* b : {SBFirst, SBPrev, SBNext, SBLast})
        frameRow->addWidget(b);
    column->addWidget(FramePanel);

    SpeedPanel = new QFrame(PreviewPanel);
    SpeedPanel->setObjectName("SpeedPanel");
    MinimumHeight(SpeedPanel, 24);
    EDSpeed = new QSpinBox(SpeedPanel);
    EDSpeed->setObjectName("EDSpeed");
    EDSpeed->setRange(10, 300000);
    EDSpeed->setSingleStep(10);
    EDSpeed->setValue(100);
    EDSpeed->setSuffix(" ms");
    connect(EDSpeed, &QSpinBox::editingFinished, this, &TTindraMainForm::EDSpeedExit);
    auto* speedRow = new QHBoxLayout(SpeedPanel);
    speedRow->setContentsMargins(2, 1, 2, 1);
    speedRow->addWidget(EDSpeed);
    column->addWidget(SpeedPanel);
}

void TTindraMainForm::CreateColorPanel() {
    auto* panel = new QFrame(centralWidget());
    panel->setFrameShape(QFrame::StyledPanel);
    ColorPanel = panel;
    ColorPanel->setObjectName("ColorPanel");
    MinimumHeight(ColorPanel, 80);
    auto* row = new QHBoxLayout(ColorPanel);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(8);

    // Drawing, background and transparent colour, each a lettered swatch.
    auto* swatches = new QGridLayout;
    swatches->setHorizontalSpacing(3);
    swatches->setVerticalSpacing(2);
    auto swatch = [&](const char* labelName, const char* letter, const char* swatchName, int line,
                      QLabel*& label, QFrame*& box) {
        label = new QLabel(letter, ColorPanel);
        label->setObjectName(labelName);
        box = new QFrame(ColorPanel);
        box->setObjectName(swatchName);
        box->setFrameShape(QFrame::Box);
        box->setFixedSize(34, 18);
        swatches->addWidget(label, line, 0);
        swatches->addWidget(box, line, 1);
    };
    swatch("TLColor", "L", "SLColor", 0, TLColor, SLColor);
    swatch("TRColor", "P", "SRColor", 1, TRColor, SRColor);
    swatch("TTColor", "T", "STColor", 2, TTColor, STColor);
    row->addLayout(swatches);

    GColorPalette = new TPaletteStrip(ColorPanel);
    GColorPalette->setFixedSize(273, 33);

    // Font of the text tool, in a row below the palette, and its sample.
    SBFontSelect = MakeButton(ColorPanel, "SBFontSelect", QSize(23, 22), 50, nullptr);
    CBFontName = new QComboBox(ColorPanel);
    CBFontName->setObjectName("CBFontName");
    CBFontName->addItems(QFontDatabase::families());
    CBFontName->setFixedWidth(118);
    CBFontSize = new QComboBox(ColorPanel);
    CBFontSize->setObjectName("CBFontSize");
    for (int size : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24})
        CBFontSize->addItem(QString::number(size));
    CBFontSize->setCurrentText("8");
    CBFontSize->setFixedWidth(50);
    auto style = [&](const char* name, const char* caption) {
        auto* b = new QToolButton(ColorPanel);
        b->setObjectName(name);
        b->setText(caption);
        b->setCheckable(true);
        b->setMinimumSize(22, 22);
        return b;
    };
    SBBold = style("SBBold", "B");
    SBItalics = style("SBItalics", "I");
    SBUnderline = style("SBUnderline", "U");
    QFont bold = SBBold->font();
    bold.setBold(true);
    SBBold->setFont(bold);
    QFont italic = SBItalics->font();
    italic.setItalic(true);
    SBItalics->setFont(italic);
    QFont underline = SBUnderline->font();
    underline.setUnderline(true);
    SBUnderline->setFont(underline);
    auto* styles = new QHBoxLayout;
    styles->setSpacing(1);
    styles->addWidget(CBFontSize);
    styles->addWidget(SBBold);
    styles->addWidget(SBItalics);
    styles->addWidget(SBUnderline);
    auto* fontRow = new QHBoxLayout;
    fontRow->setSpacing(1);
    fontRow->addWidget(SBFontSelect);
    fontRow->addWidget(CBFontName);
    fontRow->addLayout(styles);
    fontRow->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->setSpacing(4);
    middle->addWidget(GColorPalette);
    middle->addLayout(fontRow);
    middle->addStretch(1);
    row->addLayout(middle);
    row->addStretch(1);

    TestPanel = new QLabel("Abc", ColorPanel);
    TestPanel->setObjectName("TestPanel");
    TestPanel->setAlignment(Qt::AlignCenter);
    TestPanel->setFrameShape(QFrame::Panel);
    TestPanel->setFrameShadow(QFrame::Sunken);
    TestPanel->setFixedSize(64, 48);
    row->addWidget(TestPanel);
}

void TTindraMainForm::CreateStatusBar() {
    StatusBar = new QWidget(centralWidget());
    StatusBar->setObjectName("StatusBar");
    MinimumHeight(StatusBar, 40);
    auto* lines = new QVBoxLayout(StatusBar);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    SBHintInfo = StatusCell(StatusBar, "SBHintInfo", 0);
    lines->addWidget(SBHintInfo);
    auto* lower = new QHBoxLayout;
    lower->setSpacing(0);
    SBVersionInfo = StatusCell(StatusBar, "SBVersionInfo", 71);
    SBVersionInfo->setText(QString("Tindra ") + TINDRA_VERSION);
    QFont bold = SBVersionInfo->font();
    bold.setBold(true);
    SBVersionInfo->setFont(bold);
    // Wide enough for the version in the face actually used.
    SBVersionInfo->setMinimumWidth(std::max(71, StatusTextWidth(SBVersionInfo, SBVersionInfo->text().toStdString())));
    SBFrameInfo = StatusCell(StatusBar, "SBFrameInfo", 66);
    SBColorInfo = StatusCell(StatusBar, "SBColorInfo", 18);
    SBColorInfo->setAutoFillBackground(true);
    SBPixelInfo = StatusCell(StatusBar, "SBPixelInfo", 0);
    // Room for the longest pointer text, the dropper's, at the smallest window width.
    SBPixelInfo->setMinimumWidth(StatusTextWidth(SBPixelInfo, DropperInfoText({IconCells - 1, IconCells - 1}, 0xFFFFFFFF)));
    SBCapsLockInfo = StatusCell(StatusBar, "SBCapsLockInfo", 66);
    SBCapsLockInfo->setText("Caps");
    SBNumLockInfo = StatusCell(StatusBar, "SBNumLockInfo", 66);
    SBNumLockInfo->setText("Num");
    for (QLabel* l : {SBCapsLockInfo, SBNumLockInfo})
        l->setAlignment(Qt::AlignCenter);
    lower->addWidget(SBVersionInfo);
    lower->addWidget(SBFrameInfo);
    lower->addWidget(SBColorInfo);
    lower->addWidget(SBPixelInfo, 1);
    lower->addWidget(SBCapsLockInfo);
    lower->addWidget(SBNumLockInfo);
    lines->addLayout(lower);
    SBColorInfo->setStyleSheet(SwatchStyle(ButtonFace));
}

// ---------------------------------------------------------------------------------------------
// Control images

bool TTindraMainForm::LoadControlImages() {
    std::vector<tindra::TImageListItem> items;
    if (!tindra::TImageListFile::Load(QFile::encodeName(ControlImagePath).toStdString(), items)) return false;
    // The program relies on these items and picture sizes; anything else counts as damaged.
    static const struct {
        int Width, Height, MinCount;
    } expected[] = {{40, 40, 2}, {16, 16, 53}, {151, 54, 1}, {40, 40, 2}};
    if (items.size() < std::size(expected)) return false;
    for (size_t i = 0; i < std::size(expected); ++i)
        if (items[i].Width != expected[i].Width || items[i].Height != expected[i].Height ||
            static_cast<int>(items[i].Pictures.size()) < expected[i].MinCount)
            return false;
    IlControlImages = std::move(items);
    return true;
}

void TTindraMainForm::InstallEmptyTemplates() {
    const QImage plain = ControlImage(ItemEmptyTemplates, 0), bordered = ControlImage(ItemEmptyTemplates, 1);
    if (!plain.isNull() && !bordered.isNull())
        Document->SetEmptyTemplates(ImageSurface(plain), ImageSurface(bordered));
}

bool TTindraMainForm::ReadEmptyTemplates(const QString& path, TSurface32 (&templates)[2]) {
    std::vector<tindra::TImageListItem> items;
    if (!tindra::TImageListFile::Load(QFile::encodeName(path).toStdString(), items)) return false;
    if (items.empty()) return false;
    const tindra::TImageListItem& list = items[ItemEmptyTemplates];
    if (list.Width != 40 || list.Height != 40 || list.Pictures.size() < 2) return false;
    for (int i = 0; i < 2; ++i)
        templates[i] = ImageSurface(ToImage(list, i));
    return true;
}

void TTindraMainForm::BuildMenuImages() {
    IlMenuImages.clear();
    if (IlControlImages.size() <= static_cast<size_t>(ItemGlyphs)) return;
    const tindra::TImageListItem& glyphs = IlControlImages[ItemGlyphs];
    for (size_t i = 0; i < glyphs.Pictures.size(); ++i) {
        QImage image = ToImage(glyphs, static_cast<int>(i));
        const QRgb transparent = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == transparent) line[x] = 0;
        }
        IlMenuImages.push_back(QPixmap::fromImage(image));
    }
    AssignGlyphs();
}

QPixmap TTindraMainForm::MenuImage(int index) const {
    if (index < 0 || index >= static_cast<int>(IlMenuImages.size())) return QPixmap();
    return IlMenuImages[index];
}

QImage TTindraMainForm::ControlImage(int item, int index) const {
    if (item < 0 || item >= static_cast<int>(IlControlImages.size())) return QImage();
    const tindra::TImageListItem& list = IlControlImages[item];
    if (index < 0 || index >= static_cast<int>(list.Pictures.size())) return QImage();
    return ToImage(list, index);
}

void TTindraMainForm::SetGlyph(QObject* control, int glyph) {
    Glyphs[control] = glyph;
    const QPixmap picture = MenuImage(glyph);
    if (picture.isNull()) return;
    // Crisp at every device-pixel ratio: enlarged by whole factors only.
    const QIcon icon = PixelArtIcon(picture.toImage());
    if (auto* a = qobject_cast<QAction*>(control))
        a->setIcon(icon);
    else if (auto* b = qobject_cast<QToolButton*>(control))
        b->setIcon(icon);
    else if (auto* w = qobject_cast<QWidget*>(control))
        w->setWindowIcon(icon);
}

void TTindraMainForm::AssignGlyphs() {
    const std::map<QObject*, int> glyphs = Glyphs;
    for (const auto& [control, glyph] : glyphs)
        SetGlyph(control, glyph);
    if (!MenuImage(GlyphAbout).isNull()) setWindowIcon(PixelArtIcon(MenuImage(GlyphAbout).toImage()));
}

// ---------------------------------------------------------------------------------------------
// Texts

void TTindraMainForm::ApplyLanguage() {
    // Qt's standard buttons and dialogs follow the interface language, not the system's locale.
    if (!QtTexts) QtTexts = std::make_unique<TQtTranslator>();
    QtTexts->Apply(LanguageIndex);
    tindra::ApplyControlTexts(this, tindra::MainWindowTexts(), LanguageIndex);
    if (const tindra::TControlText* entries = tindra::FindMainWindowText("MRU"))
        MRU.SetHint(QString::fromUtf8(entries->Hint[tindra::NormalizedLanguage(LanguageIndex)]));
    FontPanel->SetPrompts(Message(tindra::MsgEnterSampleText), Message(tindra::MsgEnterText));
    FitToContents();
    // An open help window turns to the same section in the new language.
    if (HelpForm && HelpForm->isVisible()) {
        const int language = tindra::NormalizedLanguage(LanguageIndex);
        HelpForm->ShowPage(QUrl("qrc" + QString::fromStdString(tindra::HelpPage(language))), HelpForm->Anchor(),
                           QString::fromUtf8(tindra::HelpTexts().Caption[language]));
    }
}

void TTindraMainForm::FitToContents() {
    // The hint line shows every hint of the language whole.
    const int language = tindra::NormalizedLanguage(LanguageIndex);
    int hints = 0;
    for (const tindra::TControlText& row : tindra::MainWindowTexts())
        if (row.Hint[language]) hints = std::max(hints, StatusTextWidth(SBHintInfo, row.Hint[language]));
    SBHintInfo->setMinimumWidth(hints);
    // The designed size is the smallest the window gets; what the texts of the current font and
    // language need beyond it (the menu bar in one row included) raises it.
    layout()->activate();
    QSize need = layout()->totalMinimumSize().expandedTo(QSize(DesignWidth, DesignHeight));
    need.setWidth(std::max(need.width(), menuBar()->sizeHint().width()));
    setMinimumSize(need);
}

void TTindraMainForm::ApplicationHint(const QString& hint) {
    SBHintInfo->setText(hint);
}

// ---------------------------------------------------------------------------------------------
// Start-up, shut-down and command state

TWindowSettings TTindraMainForm::ReadSettings() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : QSize(DesignWidth, DesignHeight);
    return RegCtrl.ReadWindowSettings(area, size());
}

void TTindraMainForm::WriteSettings() {
    RegCtrl.WriteWindowSettings({x(), y(), width(), height(), LanguageIndex});
}

void TTindraMainForm::AddRecentFile(const QString& path) {
    if (MRU.Add(path)) MnFileOpenMru->setEnabled(true);
}

QString TTindraMainForm::DialogFolder() const { return RegCtrl.ReadPath(QCoreApplication::applicationDirPath()); }

void TTindraMainForm::FolderUsed(const std::string& folder) { RegCtrl.WritePath(QString::fromStdString(folder)); }

void TTindraMainForm::AddRecentFile(const std::string& path) { AddRecentFile(QString::fromStdString(path)); }

namespace {

QList<QRect> AvailableAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

// The window manager's frame around the client area; zero until the window is shown and framed.
QMargins FrameMargins(const QWidget& window) {
    const QRect client = window.geometry(), outer = window.frameGeometry();
    return QMargins(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                    outer.bottom() - client.bottom());
}

} // namespace

void TTindraMainForm::PlaceWindow() {
    if (StartSettings) return;
    StartSettings = ReadSettings();
    const TWindowSettings fitted =
        tindra::TWindowPlacement::Fit(*StartSettings, FrameMargins(*this), minimumSize(), AvailableAreas());
    move(fitted.Left, fitted.Top);
    resize(fitted.Width, fitted.Height);
}

void TTindraMainForm::KeepFrameOnScreen() {
    // The first fit did not know the frame's size; now that the window is framed, a frame that sticks
    // out of the screen (a window stored as large as the screen, or at its edge) is fitted again.
    const QMargins frame = FrameMargins(*this);
    if (frame.isNull()) return;
    FrameKeptOnScreen = true;
    const TWindowSettings now{x(), y(), width(), height(), LanguageIndex};
    const TWindowSettings fitted = tindra::TWindowPlacement::Fit(now, frame, minimumSize(), AvailableAreas());
    if (fitted.Width != now.Width || fitted.Height != now.Height) resize(fitted.Width, fitted.Height);
    if (fitted.Left != now.Left || fitted.Top != now.Top) move(fitted.Left, fitted.Top);
}

void TTindraMainForm::FormActivate() {
    if (StartupDone) return;
    StartupDone = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // 4: placement (already applied when the window was first shown) and language.
    PlaceWindow();
    const TWindowSettings settings = *StartSettings;
    // 5: canvas size from the panel.
    LayoutCanvas();
    // 6: language.
    LanguageIndex = settings.Language > 0 ? 1 : 0;
    ApplyLanguage();
    // 7: no undo history yet.
    MnEditUndo->setEnabled(false);
    // 8: the grid and preview buttons are not held down.
    TBViewGrid->setDown(false);
    TBViewThumbnail->setDown(false);
    // 9-11: document state.
    OutputSize = 40;
    int face = CBFontName->findText("Tahoma");
    if (face < 0) face = CBFontName->findText(WindowFont().family());
    if (face >= 0) CBFontName->setCurrentIndex(face);
    ImageLoaded = false;
    CurrentFrame = -1;
    Animating = false;
    SBFrameInfo->setText(QString());
    // 12: colours.
    Colors->ShowColors();
    // 13: canvas centred and hidden.
    LayoutCanvas();
    PBMain->hide();
    // 14: no tool.
    CurrentTool = ToolNone;
    SBToolNone->setChecked(true);
    Canvas->SetCurrentTool(ToolNone);
    // 15: the file named on the command line.
    if (!CommandLineFile.isEmpty()) OpenFile(CommandLineFile, true);
    // 16, 17.
    UpdateCommands();
    QApplication::restoreOverrideCursor();
}

void TTindraMainForm::LayoutCanvas() {
    Canvas->FitToPanel();
    Zoom = Canvas->Zoom();
}

bool TTindraMainForm::ClipboardHasPicture() const {
    return TClipboardPicture::HasPicture(QGuiApplication::clipboard()->mimeData());
}

void TTindraMainForm::CBViewerClipboardChanged() {
    const bool on = Document->ImageLoaded() && ClipboardHasPicture();
    MnEditPaste->setEnabled(on);
    TBEditPaste->setEnabled(on);
}

void TTindraMainForm::UpdateCommands() {
    // The document's state, as the commands below read it.
    ImageLoaded = Document->ImageLoaded();
    FrameCount = Document->FrameCount();
    CurrentFrame = Document->CurrentFrame();
    Animating = Document->Animating();
    ImageSize = Document->ImageSize();
    OutputSize = Document->OutputSize();
    ApplyCommandStates();
    // With no document (also after a cancelled or failed open) nothing of an earlier one shows in
    // the frame, pixel and colour cells; the document blanks the preview itself.
    if (!ImageLoaded) {
        SBFrameInfo->clear();
        ClearPointerInfo();
    }
}

void TTindraMainForm::ApplyCommandStates() {
    auto enable = [](std::initializer_list<QObject*> controls, bool on) {
        for (QObject* c : controls) {
            if (auto* m = qobject_cast<QMenu*>(c))
                m->setEnabled(on); // the menu carries its menu action along
            else if (auto* a = qobject_cast<QAction*>(c))
                a->setEnabled(on);
            else if (auto* w = qobject_cast<QWidget*>(c))
                w->setEnabled(on);
        }
    };
    // 1
    MnFileOpenMru->setEnabled(MRU.Count() > 0);
    // 2
    if (!ImageLoaded) {
        enable({MnFileSaveFrameAs, MnFileSaveAs, MnFileSaveWithoutBorder, MnEdit, MnViewFrame,
                MnImageAttributes, MnImage, TBFileSave, TBFileSaveFrameAsGIF, TBFileSaveFrameAsICO,
                TBFileSaveFrameAsBMP, TBEditCut, TBEditCopy, TBEditPaste, TBEditClear, TBEditInsertFrame,
                TBEditRemoveFrame, TBEditMoveFrame, ToolPanel},
               false);
        SBToolRectangle->setProperty(TagProperty, static_cast<int>(ToolRectangle));
        SetGlyph(SBToolRectangle, GlyphRectangle);
        SBToolEllipse->setProperty(TagProperty, static_cast<int>(ToolEllipse));
        SetGlyph(SBToolEllipse, GlyphEllipse);
        CurrentTool = ToolNone;
        SBToolNone->setChecked(true);
        Canvas->SetCurrentTool(ToolNone);
        PBMain->hide();
        enable({SBStop, SBPlay, SBFirst, SBPrev, SBNext, SBLast, EDSpeed}, false);
        return;
    }
    // 3
    enable({MnFileSaveFrameAs, MnFileSaveAs, MnFileSaveWithoutBorder, MnEdit, TBEditInsertFrame, TBEditCopy,
            TBEditCut, TBEditClear},
           true);
    // 4
    const bool picture = ClipboardHasPicture();
    enable({MnEditPaste, TBEditPaste}, picture);
    // 5
    enable({MnViewFrame, MnImage}, true);
    enable({MnEditUndelete, MnEditSelectAll, MnImageAttributes}, false);
    enable({TBFileSave, TBFileSaveFrameAsGIF, TBFileSaveFrameAsBMP}, true);
    // 6
    enable({TBFileSaveFrameAsICO, MnFileSaveFrameAsICO}, OutputSize == 32);
    // 7
    ToolPanel->setEnabled(true);
    PBMain->show();
    // 8
    if (FrameCount == 1) {
        enable({MnViewFrame, EDSpeed, MnImagePlayAnimation, MnImageStopAnimation, MnEditRemoveFrame,
                TBEditRemoveFrame, MnEditMoveFrame, TBEditMoveFrame, SBStop, SBPlay, SBFirst, SBPrev, SBNext,
                SBLast},
               false);
        return;
    }
    // 9
    enable({MnViewFrame, MnEditRemoveFrame, TBEditRemoveFrame, MnEditMoveFrame, TBEditMoveFrame}, true);
    // 10
    enable({MnImageStopAnimation, SBStop}, Animating);
    enable({MnImagePlayAnimation, SBPlay, EDSpeed}, !Animating);
    // 11
    const bool atFirst = CurrentFrame == 0;
    const bool atLast = CurrentFrame == FrameCount - 1;
    enable({MnViewFrameFirst, MnViewFramePrev, SBFirst, SBPrev}, !atFirst);
    enable({MnViewFrameNext, MnViewFrameLast, SBNext, SBLast}, atFirst || !atLast);
}

bool TTindraMainForm::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::StatusTip:
        ApplicationHint(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    case QEvent::WindowActivate:
        if (ImagesLoaded && !StartupDone) QTimer::singleShot(0, this, &TTindraMainForm::FormActivate);
        if (!FrameKeptOnScreen) KeepFrameOnScreen();
        break;
    default:
        break;
    }
    return QMainWindow::event(e);
}

void TTindraMainForm::setVisible(bool visible) {
    // The stored placement goes on before the native window exists: Qt then asks the window manager to
    // put the frame's corner there (north-west gravity), which is where the frame was when the window
    // closed. Moved later, before the frame's size is known, the client area would land there instead
    // and the window would creep by the title bar's height at every start.
    if (visible && !testAttribute(Qt::WA_WState_Created)) PlaceWindow();
    QMainWindow::setVisible(visible);
}

void TTindraMainForm::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (ImagesLoaded || e->spontaneous()) return;
    ImagesLoaded = LoadControlImages();
    if (ImagesLoaded) {
        // Before anything can open, insert or paste a frame on a template.
        InstallEmptyTemplates();
        BuildMenuImages();
        // Start-up runs at the first activation; without a window manager to activate the
        // window it runs as soon as the event loop is free.
        QTimer::singleShot(0, this, &TTindraMainForm::FormActivate);
        return;
    }
    // Nothing can be shown without the control images: say so and end.
    QTimer::singleShot(0, this, [this] {
        ShowMessage("Fatal error: images.iml not loaded");
        close();
    });
}

void TTindraMainForm::closeEvent(QCloseEvent* e) {
    // Cancel to "Save changes?", or Yes with nothing saved, keeps the window open with the document.
    if (!Document->SaveChangesIfWanted(*this)) {
        e->ignore();
        return;
    }
    WriteSettings();
    e->accept();
}

bool TTindraMainForm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == MainPanel) {
        switch (e->type()) {
        case QEvent::Resize:
            LayoutCanvas();
            break;
        case QEvent::DragEnter: {
            auto* drag = static_cast<QDragEnterEvent*>(e);
            if (drag->mimeData()->hasUrls()) drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(e);
            DropFiles(drop->mimeData()->urls());
            drop->acceptProposedAction();
            return true;
        }
        default:
            break;
        }
    }
    if (e->type() == QEvent::MouseButtonDblClick) {
        if (watched == SBCapsLockInfo)
            SISysInfo->ToggleCapsLock();
        else if (watched == SBNumLockInfo)
            SISysInfo->ToggleNumLock();
        else if (watched == SBVersionInfo)
            MnHelpAboutClick();
        if (watched == SBCapsLockInfo || watched == SBNumLockInfo) UpdateLockKeys();
    }
    if (e->type() == QEvent::MouseMove && watched != PBMain) ClearPointerInfo();
    return QMainWindow::eventFilter(watched, e);
}

void TTindraMainForm::DropFiles(const QList<QUrl>& urls) {
    // Only the first file of a drop is opened.
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        OpenFile(url.toLocalFile(), true);
        return;
    }
}

void TTindraMainForm::ClearPointerInfo() {
    SBPixelInfo->clear();
    SBColorInfo->setStyleSheet(SwatchStyle(ButtonFace));
}

void TTindraMainForm::UpdateLockKeys() {
    // Where the state is unknown both labels stay neutral; a lock that is off is greyed.
    const bool known = SISysInfo->Available();
    const QString off = "color: palette(mid);";
    SBCapsLockInfo->setStyleSheet(known && !SISysInfo->CapsLock() ? off : QString());
    SBNumLockInfo->setStyleSheet(known && !SISysInfo->NumLock() ? off : QString());
}

// ---------------------------------------------------------------------------------------------
// Commands. Handlers whose work belongs to the document, the canvas or the dialogs are filled in
// by those parts; they are connected already.

void TTindraMainForm::OpenFile(const QString& path, bool addToRecent) {
    if (Document->OpenFile(path.toStdString(), addToRecent, *this) == TOpenResult::Failed)
        ShowErrorMessage(Message(tindra::MsgErrorOpeningFile));
}

TSaveChangesAnswer TTindraMainForm::AskSaveChanges() {
    if (!Document->IsModified()) return TSaveChangesAnswer::No;
    // Cancel (also Escape and the close box) calls off whatever asked.
    QMessageBox box(QMessageBox::Question, QString::fromStdString(tindra::QuestionTitle(LanguageIndex)),
                    Message(tindra::MsgSaveChanges), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TSaveChangesAnswer::Yes;
    case QMessageBox::No:
        return TSaveChangesAnswer::No;
    default:
        return TSaveChangesAnswer::Cancel;
    }
}

void TTindraMainForm::SaveDocumentAs() {
    if (Document->ImageLoaded()) ReportSave(Document->SaveDocumentAs(*this));
}

void TTindraMainForm::SaveFrameAs(TFileKind kind) {
    if (Document->ImageLoaded()) ReportSave(Document->SaveFrameAs(kind, *this));
}

void TTindraMainForm::ReportSave(TSaveResult result) {
    // The file it would have replaced is intact; the window is usable again.
    if (result == TSaveResult::WriteFailed)
        ShowErrorMessage(QString::fromStdString(tindra::SaveErrorText(LanguageIndex)));
}

void TTindraMainForm::SaveChangesFailed() { ReportSave(TSaveResult::WriteFailed); }

void TTindraMainForm::ShowErrorMessage(const QString& text) {
    QMessageBox::critical(this, QString::fromStdString(tindra::ErrorTitle(LanguageIndex)), text);
}

QString TTindraMainForm::Message(int key) const {
    return QString::fromStdString(tindra::MessageText(key, LanguageIndex));
}

void TTindraMainForm::MnFileNewClick() {
    Document->NewDocument(*this);
}
void TTindraMainForm::MnFileOpenClick() {
    OpenFile(QString(), true);
}
void TTindraMainForm::MnMRUClearClick() {
    MRU.Clear();
    MnFileOpenMru->setEnabled(false);
}
void TTindraMainForm::MnMRUShowPathClick() {
    MRU.SetShowFullPath(MnMRUShowPath->isChecked());
}
void TTindraMainForm::MnFileSaveFrameAsGIFClick() {
    SaveFrameAs(TFileKind::FrameGif);
}
void TTindraMainForm::MnFileSaveFrameAsICOClick() {
    if (Document->IcoExportEnabled()) SaveFrameAs(TFileKind::FrameIco);
}
void TTindraMainForm::MnFileSaveFrameAsBMPClick() {
    SaveFrameAs(TFileKind::FrameBmp);
}
void TTindraMainForm::MnFileSaveAsClick() {
    SaveDocumentAs();
}
void TTindraMainForm::MnFileSaveWithoutBorderClick() {
    // The item has toggled already: checked means saving without the border.
    Document->SetOutputSize(MnFileSaveWithoutBorder->isChecked() ? 32 : 40);
}

void TTindraMainForm::MnFileSetupClick() {
    if (!LangForm) return;
    LangForm->SetFlags(QPixmap::fromImage(ControlImage(3, 0)), QPixmap::fromImage(ControlImage(3, 1)));
    LanguageIndex = LangForm->exec() == QDialog::Accepted ? 1 : 0;
    ApplyLanguage();
}

void TTindraMainForm::MnFileExitClick() {
    close();
}

void TTindraMainForm::MnEditUndoClick() {
    Document->Undo();
}
void TTindraMainForm::MnEditCutClick() {
    if (!Document->ImageLoaded()) return;
    MnEditCopyClick();
    MnEditClearClick();
}
void TTindraMainForm::MnEditCopyClick() {
    if (Document->ImageLoaded())
        QGuiApplication::clipboard()->setMimeData(TClipboardPicture::FrameData(Document->WorkBitmap()));
}
void TTindraMainForm::MnEditPasteClick() {
    if (!Document->ImageLoaded()) return;
    const std::optional<TPixelImage> picture =
        TClipboardPicture::Picture(QGuiApplication::clipboard()->mimeData());
    if (!picture) return;
    // Placed on the empty bordered frame as an inserted frame is.
    const TSurface32 pasted = Document->InsertPreview(&*picture);
    TIconDocument::TEdit edit = Document->BeginEdit();
    edit.Picture().CopyFrom(pasted);
    edit.Commit();
}
void TTindraMainForm::MnEditClearClick() {
    if (!Document->ImageLoaded()) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    ClearImage(edit.Picture(), Document->BackColor().Value);
    edit.Commit();
}
void TTindraMainForm::MnEditInsertFrameClick() {
    if (!Document->ImageLoaded()) return;
    IframeForm->ApplyLanguage(LanguageIndex);
    if (IframeForm->exec() != QDialog::Accepted) return;
    const auto position = IframeForm->TargetIndex() == 0 ? TInsertPosition::Before : TInsertPosition::After;
    Document->InsertFrame(position, IframeForm->Preview(), IframeForm->DisplayTime());
}
void TTindraMainForm::MnEditRemoveFrameClick() {
    Document->RemoveFrame();
}
void TTindraMainForm::MnEditMoveFrameClick() {
    if (Document->FrameCount() < 2) return;
    if (!Document->MoveNeedsDialog()) {
        Document->SwapTwoFrames();
        return;
    }
    MFrameForm->SetFrames(Document->CurrentFrame(), Document->FrameCount());
    tindra::ApplyMoveFrameLanguage(MFrameForm, LanguageIndex);
    if (MFrameForm->exec() == QDialog::Accepted) Document->MoveFrame(MFrameForm->Target());
}
void TTindraMainForm::MnEditSelectAllClick() {}
void TTindraMainForm::MnViewFrameFirstClick() {
    Document->GoToFrame(TFrameStep::First);
}
void TTindraMainForm::MnViewFramePrevClick() {
    Document->GoToFrame(TFrameStep::Previous);
}
void TTindraMainForm::MnViewFrameNextClick() {
    Document->GoToFrame(TFrameStep::Next);
}
void TTindraMainForm::MnViewFrameLastClick() {
    Document->GoToFrame(TFrameStep::Last);
}

void TTindraMainForm::MnViewGridClick() {
    if (sender() == TBViewGrid) MnViewGrid->setChecked(!MnViewGrid->isChecked());
    SetGlyph(TBViewGrid, MnViewGrid->isChecked() ? GlyphGridOn : GlyphGridOff);
    Canvas->SetGridVisible(MnViewGrid->isChecked());
}

void TTindraMainForm::MnViewThumbnailClick() {
    if (sender() == TBViewThumbnail) MnViewThumbnail->setChecked(!MnViewThumbnail->isChecked());
    const bool shown = MnViewThumbnail->isChecked();
    if (!shown) StopAnimation();
    ThumbnailPanel->setVisible(shown);
    SetGlyph(TBViewThumbnail, shown ? GlyphPreviewOn : GlyphPreviewOff);
}

void TTindraMainForm::MnImageAttributesClick() {
    if (InfoForm) InfoForm->exec();
}

void TTindraMainForm::MnViewControlBarClick() {
    ControlPanel->setVisible(MnViewControlBar->isChecked());
}
void TTindraMainForm::MnViewToolBarClick() {
    ToolPanel->setVisible(MnViewToolBar->isChecked());
}
// The layout keeps the status bar below the colour panel, so it stays at the bottom.
void TTindraMainForm::MnViewColorBarClick() {
    ColorPanel->setVisible(MnViewColorBar->isChecked());
}

void TTindraMainForm::MnImagePlayAnimationClick() {
    PlayAnimation();
}
void TTindraMainForm::MnImageStopAnimationClick() {
    StopAnimation();
}

void TTindraMainForm::PlayAnimation() {
    if (Document->FrameCount() < 2 || Document->Animating()) return;
    TGIFPicture& frames = Document->Frames40();
    frames.EnableAnimation(true);
    // Threaded, animate, loop, loop without end, direct; drawn opaquely over the whole preview.
    TGIFPainter::StartPainting(frames, ImThumbnail->Canvas(), TRect(0, 0, TPreviewView::PictureSize,
                                                                  TPreviewView::PictureSize),
                               pfThreaded | pfAnimate | pfLoop | pfLoopForever | pfDirectDraw);
    Document->SetAnimating(true);
    UpdateCommands();
}

void TTindraMainForm::StopAnimation() {
    if (!Document->Animating()) return;
    TGIFPainter::StopPainting(Document->Frames40());
    Document->SetAnimating(false);  // selects the current frame again, which refreshes the preview
    UpdateCommands();
}

void TTindraMainForm::ImThumbnailClick() {
    if (Document->Animating())
        StopAnimation();
    else
        PlayAnimation();
}
void TTindraMainForm::ChangeWorkBitmap(const std::function<void(TSurface32&)>& change) {
    if (!Document->ImageLoaded()) return;
    TIconDocument::TEdit edit = Document->BeginEdit();
    change(edit.Picture());
    edit.Commit();
}
void TTindraMainForm::MnImageFlipHorClick() {
    ChangeWorkBitmap([](TSurface32& s) { s.FlipHorizontal(); });
}
void TTindraMainForm::MnImageFlipVertClick() {
    ChangeWorkBitmap([](TSurface32& s) { s.FlipVertical(); });
}
void TTindraMainForm::MnImageRotateClick() {
    if (!Document->ImageLoaded()) return;
    AngleForm->SetPicture(Document->WorkBitmap());
    tindra::ApplyRotationLanguage(AngleForm, LanguageIndex);
    if (AngleForm->exec() != QDialog::Accepted) return;
    ChangeWorkBitmap([this](TSurface32& s) { s.CopyFrom(AngleForm->Preview()); });
}
void TTindraMainForm::MnImageDrawBorderClick() {
    ChangeWorkBitmap([](TSurface32& s) { DrawBorder(s); });
}

void TTindraMainForm::NotImplementedClick() {
    ShowMessage(QString::fromStdString(tindra::MessageText(tindra::MsgNotImplemented, LanguageIndex)));
}

void TTindraMainForm::MnHelpThemesClick() {
    ShowHelp(HelpContextHere());
}

int TTindraMainForm::HelpContextHere() const {
    QWidget* here = QApplication::widgetAt(QCursor::pos());
    // Only this window and its menus count; elsewhere the keyboard focus tells.
    if (!here || (here->window() != this && !qobject_cast<QMenu*>(here->window())))
        here = QApplication::focusWidget();
    for (const QObject* o = here; o; o = o->parent()) {
        const int context = o->property(HelpContextProperty).toInt();
        if (context > 0) return context;
    }
    return HelpContext;
}

void TTindraMainForm::ShowHelp(int context) {
    if (!HelpForm) HelpForm = new TTindraHelpForm(this);
    const int language = tindra::NormalizedLanguage(LanguageIndex);
    HelpForm->ShowPage(QUrl("qrc" + QString::fromStdString(tindra::HelpPage(language))),
                       QString::fromStdString(tindra::HelpSection(context)),
                       QString::fromUtf8(tindra::HelpTexts().Caption[language]));
}

void TTindraMainForm::MnHelpAboutClick() {
    if (AboutForm) AboutForm->exec();
}

void TTindraMainForm::SBToolClick() {
    const QObject* button = sender();
    if (!button) return;
    CurrentTool = button->property(TagProperty).toInt();
    Canvas->SetCurrentTool(static_cast<TTool>(CurrentTool));
}

void TTindraMainForm::PopupClick() {
    const QObject* item = sender();
    if (!item) return;
    const int tool = item->property(TagProperty).toInt();
    CurrentTool = tool;
    Canvas->SetCurrentTool(static_cast<TTool>(tool));
    QToolButton* button = tool > 11 ? SBToolEllipse : SBToolRectangle;
    button->setProperty(TagProperty, tool);
    SetGlyph(button, tool + 19);
    button->setChecked(true);
}

void TTindraMainForm::PMThumbSizeClick() {
    // The frame-list pop-up sets the same state as the "without border" item.
    const bool small = sender() == PMS3;
    MnFileSaveWithoutBorder->setChecked(small);
    Document->SetOutputSize(small ? 32 : 40);
}

void TTindraMainForm::EDSpeedChange(int value) {
    // Display times are whole hundredths of a second.
    const int rounded = TIconDocument::RoundDisplayTime(value);
    if (rounded != value) EDSpeed->setValue(rounded);
}

void TTindraMainForm::EDSpeedExit() {
    if (!Document->ImageLoaded()) return;
    // The document keeps the frame's time unless the value differs from it; either way the field
    // shows the time the frame now has (a refused value goes back).
    Document->SetDisplayTime(EDSpeed->value());
    DisplayTimeChanged(Document->DisplayTime(Document->CurrentFrame()));
}

void TTindraMainForm::LBImageBoxClick(int row) {
    if (row >= 0) Document->SelectFrame(row);
}

// ---------------------------------------------------------------------------------------------
// The document's reports

void TTindraMainForm::CaptionChanged(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TTindraMainForm::FrameInfoChanged(const std::string& text) {
    SBFrameInfo->setText(QString::fromStdString(text));
}

void TTindraMainForm::FrameListChanged(int count) {
    const QSignalBlocker quiet(LBImageBox);
    LBImageBox->clear();
    for (int i = 0; i < count; ++i) LBImageBox->addItem(QString::number(i + 1));
    FrameListRepaint();
}

void TTindraMainForm::FrameListRepaint() {
    const int side = Document->OutputSize();
    LBImageBox->setIconSize(QSize(side, side));
    for (int i = 0; i < LBImageBox->count() && i < Document->FrameCount(); ++i)
        LBImageBox->item(i)->setIcon(QPixmap::fromImage(SurfaceImage(Document->FrameListPicture(i))));
}

void TTindraMainForm::FrameRowSelected(int index) {
    const QSignalBlocker quiet(LBImageBox);
    LBImageBox->setCurrentRow(index);
}

void TTindraMainForm::OutputSizeChanged(int outputSize) {
    MnFileSaveWithoutBorder->setChecked(outputSize == 32);
    PMS3->setChecked(outputSize == 32);
    PMS4->setChecked(outputSize != 32);
    OutputSize = outputSize;
    const bool ico = Document->IcoExportEnabled();
    MnFileSaveFrameAsICO->setEnabled(ico);
    TBFileSaveFrameAsICO->setEnabled(ico);
    FrameListRepaint();
    Canvas->Repaint();
}

void TTindraMainForm::UndoEnabledChanged(bool enabled) {
    MnEditUndo->setEnabled(enabled);
}

void TTindraMainForm::PreviewPictureChanged() {
    const TSurface32& picture = Document->PreviewPicture();
    if (picture.Width() > 0 && picture.Height() > 0)
        ImThumbnail->SetArgbPixels(picture.Bits(), picture.Width(), picture.Height());
    else
        ImThumbnail->Clear(ButtonFaceColor());
}

void TTindraMainForm::CanvasRepaint() {
    Canvas->Repaint();
}

void TTindraMainForm::DisplayTimeChanged(int milliseconds) {
    const QSignalBlocker quiet(EDSpeed);
    // A frame's time shows as stored, also a Delay Time of 0 ("0 ms") or one above the range the user
    // may type: the field's range widens to hold it, so leaving the field changes nothing.
    EDSpeed->setRange(std::min(milliseconds, TIconDocument::MinDisplayTime),
                      std::max(milliseconds, TIconDocument::MaxDisplayTime));
    EDSpeed->setValue(milliseconds);
}

void TTindraMainForm::CommandsNeedUpdate() {
    // Removing frames down to one while playing would leave Stop disabled: stop here instead.
    if (Document->Animating() && Document->FrameCount() < 2) {
        StopAnimation();
        return;
    }
    UpdateCommands();
}

void TTindraMainForm::ColorsChanged() {
    Colors->ShowColors();
}

void TTindraMainForm::PaletteChanged() {
    Colors->RepaintPalette();
}

void TTindraMainForm::DocumentClosing() {
    TGIFPainter::StopPainting(Document->Frames40());
    CurrentTool = ToolNone;
    SBToolNone->setChecked(true);
    Canvas->SetCurrentTool(ToolNone);
}

void TTindraMainForm::BeginBusy() {
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TTindraMainForm::EndBusy() {
    QApplication::restoreOverrideCursor();
    setEnabled(true);
}

void TTindraMainForm::ShowPointerInfo(const QString& text, std::optional<TInterfaceColor> color) {
    SBPixelInfo->setText(text);
    SBColorInfo->setStyleSheet(SwatchStyle(color ? *color : ButtonFace));
}

std::string TTindraMainForm::AskOpenFileName() {
    const char* filter =
        LanguageIndex == tindra::LanguageEnglish
            ? "All supported types (*.gif *.bmp *.ico);;GIF (*.gif);;Bitmap (*.bmp);;Icon (*.ico)"
            : "Všechny podporované typy (*.gif *.bmp *.ico);;GIF (*.gif);;Bitmapa (*.bmp);;Ikona (*.ico)";
    return QFileDialog::getOpenFileName(this, QString(), DialogFolder(), QString::fromUtf8(filter))
        .toStdString();
}

std::string TTindraMainForm::AskSaveFileName(TFileKind kind, const std::string& defaultName) {
    const char* filter = kind == TFileKind::FrameBmp  ? "BMP (*.bmp)"
                         : kind == TFileKind::FrameIco ? "ICO (*.ico)"
                                                       : "GIF (*.gif)";
    // The overwrite question is the document's (ConfirmOverwrite), not the dialog's.
    const QString start = QDir(DialogFolder()).filePath(QString::fromStdString(defaultName));
    return QFileDialog::getSaveFileName(this, QString(), start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite)
        .toStdString();
}

bool TTindraMainForm::ConfirmOverwrite(const std::string& path) {
    const QString text = QString::fromStdString(tindra::MessageText(tindra::MsgFilePrefix, LanguageIndex)) +
                         QFileInfo(QString::fromStdString(path)).fileName() +
                         QString::fromStdString(tindra::MessageText(tindra::MsgAlreadyExists, LanguageIndex)) +
                         "\r\n" + QString::fromStdString(tindra::MessageText(tindra::MsgReplaceIt, LanguageIndex));
    return QMessageBox::question(this, QString::fromStdString(tindra::QuestionTitle(LanguageIndex)), text) ==
           QMessageBox::Yes;
}

// Every tool draws one pixel wide; the size field stays hidden and changes nothing.
void TTindraMainForm::EdToolSizeChange() {}
