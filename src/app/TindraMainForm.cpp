// The main window's life: creation and the wiring of the document to its editors, the start-up at the
// first activation, closing and destruction, window events, the control images, the texts of the
// interface language, the status bar's pointer information, and the enabling of the commands.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "CanvasWidget.h"
#include "ClipboardPicture.h"
#include "DataFiles.h"
#include "DialogSetup.h"
#include "EditorColors.h"
#include "FontPanel.h"
#include "GIFPainter.h"
#include "HelpTopics.h"
#include "IconDocument.h"
#include "LanguageTables.h"
#include "LockKeys.h"
#include "Messages.h"
#include "PaletteStrip.h"
#include "PixelArt.h"
#include "QtColor.h"
#include "QtSyncCaller.h"
#include "QtTranslator.h"
#include "SurfaceImage.h"
#include "TindraAboutForm.h"
#include "TindraAngleForm.h"
#include "TindraHelpForm.h"
#include "TindraIframeForm.h"
#include "TindraInfoForm.h"
#include "TindraLangForm.h"
#include "TindraMFrameForm.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QKeyEvent>
#include <QListView>
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

// Width a status cell needs to show the text whole (measured as the cell measures its own text).
int StatusTextWidth(const QLabel* cell, const char* text) {
    QLabel probe(QString::fromUtf8(text));
    probe.setFont(cell->font());
    probe.setFrameStyle(cell->frameStyle());
    probe.setMargin(cell->margin());
    return probe.minimumSizeHint().width();
}

void SetEnabled(QObject* control, bool on) {
    if (auto* m = qobject_cast<QMenu*>(control))
        m->setEnabled(on); // the menu carries its menu action along, also through a busy window
    else if (auto* a = qobject_cast<QAction*>(control))
        a->setEnabled(on);
    else if (auto* w = qobject_cast<QWidget*>(control))
        w->setEnabled(on);
}

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

TTindraMainForm::TTindraMainForm(QWidget* parent) : QMainWindow(parent), Ui(std::make_unique<TControls>()) {
    setObjectName("TindraMainForm");
    setFont(WindowFont());
    setMinimumSize(DesignWidth, DesignHeight);
    resize(DesignWidth, DesignHeight);
    ControlImagePath = TDataFiles::Find(QCoreApplication::applicationDirPath(), "images.iml");
    ShowMessage = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, "Tindra", text, QMessageBox::Ok, this);
        box.exec();
    };
    CreateControls();

    // The preview painter hands its drawing to this thread; a painter that fails ends the playback.
    SyncCaller = std::make_unique<TQtSyncCaller>();
    TSyncCaller::Install(SyncCaller.get());
    TGIFPainter::SetErrorHandler(
        [this](const std::string&) { QTimer::singleShot(0, this, [this] { StopAnimation(); }); });

    // The document and its editors: the canvas (PBMain), the colour controls and the text tool's font.
    // Each works on the document itself; the status bar shows what they report.
    Document = std::make_unique<TIconDocument>(
        TDataFiles::DocumentFolder(QCoreApplication::applicationDirPath()).toStdString());
    Document->SetObserver(this);
    Ui->Canvas = new TCanvasWidget(*Document, Ui->CanvasPanel);
    Ui->Canvas->hide();
    connect(Ui->Canvas, &TCanvasWidget::PointerInfo, this, &TTindraMainForm::ShowPointerInfo);
    Ui->Colors =
        new TEditorColors(*Document,
                          {Ui->SLColor, Ui->SRColor, Ui->STColor, Ui->TLColor, Ui->TRColor, Ui->TTColor,
                           static_cast<TPaletteStrip*>(Ui->GColorPalette), Ui->TestPanel},
                          this);
    connect(Ui->Colors, &TEditorColors::PixelInfo, Ui->SBPixelInfo, &QLabel::setText);
    connect(Ui->Colors, &TEditorColors::ColorInfo, this,
            [this](std::optional<TInterfaceColor> c) { ShowPointerInfo(Ui->SBPixelInfo->text(), c); });
    Ui->FontPanel = new TFontPanel(*Document,
                                   {Ui->CBFontName, Ui->CBFontSize, Ui->SBFontSelect, Ui->SBBold,
                                    Ui->SBItalics, Ui->SBUnderline, Ui->TestPanel},
                                   this);
    connect(Ui->Canvas, &TCanvasWidget::TextToolReleased, Ui->FontPanel, &TFontPanel::WriteText);
    // Paste follows the clipboard's content.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TTindraMainForm::CBViewerClipboardChanged);
    // The display-time field takes a typed time when it is committed (Enter, focus loss), then rounds it.
    Ui->EDSpeed->setKeyboardTracking(false);
    connect(Ui->EDSpeed, &QSpinBox::editingFinished, this, &TTindraMainForm::EDSpeedExit);
    connect(Ui->EDSpeed, &QSpinBox::valueChanged, this, &TTindraMainForm::EDSpeedChange);
    // A row the user makes current selects its frame; rows the document moves or selects do not.
    connect(Ui->LBImageBox->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!FrameListFollowsDocument) LBImageBoxClick(current.row());
            });

    // Moving over any part of the window but the canvas clears the pointer information.
    for (QWidget* w : {centralWidget(), Ui->ControlPanel, Ui->ToolPanel, Ui->MainPanel, Ui->PreviewPanel,
                       Ui->ThumbnailPanel, Ui->FramePanel, Ui->SpeedPanel, Ui->ColorPanel,
                       static_cast<QWidget*>(Ui->TestPanel), Ui->StatusBar}) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }
    for (QWidget* w : {Ui->SBVersionInfo, Ui->SBCapsLockInfo, Ui->SBNumLockInfo})
        w->installEventFilter(this);
    // Undo and Redo keys pass the pen size and display time fields (see eventFilter).
    for (QWidget* w : {static_cast<QWidget*>(Ui->EdToolSize), static_cast<QWidget*>(Ui->EDSpeed)})
        w->installEventFilter(this);

    // The recent files come from the store before the window's own creation step.
    MRU.AttachMenu(Ui->MnFileOpenMru, Ui->MnMRUSep);
    MRU.SetOpenHandler([this](const QString& path) { OpenFile(path, false); });
    MRU.Load(RegCtrl);
    // The zoom in the status bar; the onion skin and the transparency as last chosen.
    connect(Ui->Canvas, &TCanvasWidget::ZoomChanged, this, &TTindraMainForm::ShowZoom);
    ShowZoom(Ui->Canvas->Zoom());
    ReadViewOptions();

    setWindowTitle("Tindra");
    // Help: each area of the window names its section of the manual; message boxes keep their
    // titles whole.
    for (const auto& [area, context] : {std::pair<QObject*, int>{Ui->MnFile, tindra::HelpFiles},
                                        {Ui->MnEdit, tindra::HelpEditing},
                                        {Ui->MnImage, tindra::HelpEditing},
                                        {Ui->ControlPanel, tindra::HelpWindow},
                                        {Ui->ToolPanel, tindra::HelpTools},
                                        {Ui->MainPanel, tindra::HelpCanvas},
                                        {Ui->PreviewPanel, tindra::HelpFrames},
                                        {Ui->ColorPanel, tindra::HelpColors},
                                        {Ui->StatusBar, tindra::HelpWindow}})
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
    // The recent files go back to the store first.
    MRU.Save(RegCtrl);
    // The controls would be destroyed by the QWidget base, after the document: a control must not
    // reach the document on its way out (the display-time field that loses the focus while the window
    // goes reports editingFinished, the canvas drops an unfinished stroke). So the controls stop
    // talking to this window, the preview stops playing into its control, and the controls go while
    // the document still exists.
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

int TTindraMainForm::Zoom() const {
    return Ui->Canvas->Zoom();
}

int TTindraMainForm::CurrentTool() const {
    return Ui->Canvas->CurrentTool();
}

void TTindraMainForm::CreateDialogs() {
    if (Ui->AboutForm) return;
    Ui->AboutForm = new TTindraAboutForm(this);
    Ui->LangForm = new TTindraLangForm(this);
    Ui->InfoForm = new TTindraInfoForm(this);
    Ui->AngleForm = new TTindraAngleForm(this);
    Ui->IframeForm = new TTindraIframeForm(*Document, *this, this);
    Ui->MFrameForm = new TTindraMFrameForm(this);
    SetGlyph(Ui->AboutForm, GlyphAbout);
    SetGlyph(Ui->AngleForm, GlyphRotate);
    SetGlyph(Ui->IframeForm, GlyphInsertFrame);
    SetGlyph(Ui->MFrameForm, GlyphMoveFrame);
    // F1 in a dialog opens the manual at the dialog's subject.
    for (const auto& [dialog, context] : {std::pair<QDialog*, int>{Ui->AboutForm, tindra::HelpWindow},
                                          {Ui->LangForm, tindra::HelpWindow},
                                          {Ui->InfoForm, tindra::HelpSaving},
                                          {Ui->AngleForm, tindra::HelpEditing},
                                          {Ui->IframeForm, tindra::HelpFrames},
                                          {Ui->MFrameForm, tindra::HelpFrames}})
        InstallDialogHelp(dialog, context);
    // The about dialog takes the current language every time it opens.
    Ui->AboutForm->SetLanguageHandler([this](TTindraAboutForm& about) {
        tindra::ApplyAboutLanguage(&about, LanguageIndex, TINDRA_VERSION);
    });
}

// ---- Control images

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

// ---- Texts

void TTindraMainForm::ApplyLanguage() {
    // Qt's standard buttons and dialogs follow the interface language, not the system's locale.
    if (!QtTexts) QtTexts = std::make_unique<TQtTranslator>();
    QtTexts->Apply(LanguageIndex);
    tindra::ApplyControlTexts(this, tindra::MainWindowTexts(), LanguageIndex);
    if (const tindra::TControlText* entries = tindra::FindMainWindowText("MRU"))
        MRU.SetHint(QString::fromUtf8(entries->Hint[tindra::NormalizedLanguage(LanguageIndex)]));
    Ui->FontPanel->SetPrompts(Message(tindra::MsgEnterSampleText), Message(tindra::MsgEnterText));
    FitToContents();
    // An open help window turns to the same section in the new language.
    if (Ui->HelpForm && Ui->HelpForm->isVisible()) {
        const int language = tindra::NormalizedLanguage(LanguageIndex);
        Ui->HelpForm->ShowPage(QUrl("qrc" + QString::fromStdString(tindra::HelpPage(language))),
                               Ui->HelpForm->Anchor(),
                               QString::fromUtf8(tindra::HelpTexts().Caption[language]));
    }
}

void TTindraMainForm::FitToContents() {
    // The hint line shows every hint of the language whole.
    const int language = tindra::NormalizedLanguage(LanguageIndex);
    int hints = 0;
    for (const tindra::TControlText& row : tindra::MainWindowTexts())
        if (row.Hint[language]) hints = std::max(hints, StatusTextWidth(Ui->SBHintInfo, row.Hint[language]));
    Ui->SBHintInfo->setMinimumWidth(hints);
    // The designed size is the smallest the window gets; what the texts of the current font and
    // language need beyond it (the menu bar in one row included) raises it.
    layout()->activate();
    QSize need = layout()->totalMinimumSize().expandedTo(QSize(DesignWidth, DesignHeight));
    need.setWidth(std::max(need.width(), menuBar()->sizeHint().width()));
    setMinimumSize(need);
}

void TTindraMainForm::ApplicationHint(const QString& hint) {
    Ui->SBHintInfo->setText(hint);
}

QString TTindraMainForm::Message(int key) const {
    return QString::fromStdString(tindra::MessageText(key, LanguageIndex));
}

// ---- Settings and placement

TWindowSettings TTindraMainForm::ReadSettings() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : QSize(DesignWidth, DesignHeight);
    return RegCtrl.ReadWindowSettings(area, size());
}

void TTindraMainForm::WriteSettings() {
    const int zoom = Ui->Canvas->ZoomFitsWindow() ? 0 : Ui->Canvas->Zoom();
    RegCtrl.WriteWindowSettings({x(), y(), width(), height(), LanguageIndex, zoom});
}

void TTindraMainForm::AddRecentFile(const QString& path) {
    if (MRU.Add(path)) ApplyCommandRules();
}

QString TTindraMainForm::DialogFolder() const {
    return RegCtrl.ReadPath(
        QDir::cleanPath(TDataFiles::DocumentFolder(QCoreApplication::applicationDirPath())));
}

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

// ---- Start-up and shut-down

void TTindraMainForm::FormActivate() {
    if (StartupDone) return;
    StartupDone = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The stored placement was applied when the window was first shown; the stored language now.
    PlaceWindow();
    const TWindowSettings settings = *StartSettings;
    LayoutCanvas();
    // The zoom chosen in the last run (it counts device pixels, as the canvas does); else the fit rule.
    if (settings.Zoom > 0) Ui->Canvas->SetZoom(settings.Zoom); // clamped to 1..40 there
    LanguageIndex = settings.Language > 0 ? 1 : 0;
    ApplyLanguage();
    // The grid and preview buttons are not held down.
    Ui->TBViewGrid->setDown(false);
    Ui->TBViewThumbnail->setDown(false);
    // The text tool starts in Tahoma, or the window's face where that is missing.
    int face = Ui->CBFontName->findText("Tahoma");
    if (face < 0) face = Ui->CBFontName->findText(WindowFont().family());
    if (face >= 0) Ui->CBFontName->setCurrentIndex(face);
    // No document yet: no frame information, the default colours, the canvas centred and hidden, no tool.
    Ui->SBFrameInfo->setText(QString());
    Ui->Colors->ShowColors();
    LayoutCanvas();
    Ui->Canvas->hide();
    Ui->SBToolNone->setChecked(true);
    Ui->Canvas->SetCurrentTool(ToolNone);
    ReadFileSettings();
    // The file named on the command line, then every command as the document now stands.
    if (!CommandLineFile.isEmpty()) OpenFile(CommandLineFile, true);
    UpdateCommands();
    QApplication::restoreOverrideCursor();
}

void TTindraMainForm::LayoutCanvas() {
    Ui->Canvas->FitToPanel();
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
    if (watched == Ui->MainPanel) {
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
    if (e->type() == QEvent::ShortcutOverride && (watched == Ui->EdToolSize || watched == Ui->EDSpeed)) {
        // A number field would take Ctrl+Z and Ctrl+Y for its own text, and the document's Undo and
        // Redo would seem dead while it has the focus (the pen size has it from the start). The keys go
        // to the window, except while the display time holds a typed value not yet applied.
        const auto* key = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        const bool historyKey =
            (mods == Qt::ControlModifier && (key->key() == Qt::Key_Z || key->key() == Qt::Key_Y)) ||
            (mods == (Qt::ControlModifier | Qt::ShiftModifier) && key->key() == Qt::Key_Z);
        const bool typing =
            watched == Ui->EDSpeed && Document->ImageLoaded() &&
            Ui->EDSpeed->value() != std::clamp(Document->DisplayTime(Document->CurrentFrame()),
                                               Ui->EDSpeed->minimum(), Ui->EDSpeed->maximum());
        if (historyKey && !typing) {
            e->ignore();
            return true;
        }
    }
    if (e->type() == QEvent::MouseButtonDblClick) {
        if (watched == Ui->SBCapsLockInfo)
            SISysInfo->ToggleCapsLock();
        else if (watched == Ui->SBNumLockInfo)
            SISysInfo->ToggleNumLock();
        else if (watched == Ui->SBVersionInfo)
            MnHelpAboutClick();
        if (watched == Ui->SBCapsLockInfo || watched == Ui->SBNumLockInfo) UpdateLockKeys();
    }
    if (e->type() == QEvent::MouseMove && watched != Ui->Canvas) ClearPointerInfo();
    return QMainWindow::eventFilter(watched, e);
}

// ---- Commands

bool TTindraMainForm::ClipboardHasPicture() const {
    return TClipboardPicture::HasPicture(QGuiApplication::clipboard()->mimeData());
}

void TTindraMainForm::ApplyCommandRules() {
    const TCommandState state{*Document, ClipboardHasPicture(), MRU.Count() > 0};
    for (const TControls::TBoundCommand& bound : Ui->Commands) {
        if (!bound.Row->Enabled) continue;
        const bool on = bound.Row->Enabled(state);
        SetEnabled(bound.Item, on);
        if (bound.Button) bound.Button->setEnabled(on);
    }
}

void TTindraMainForm::UpdateCommands() {
    ApplyCommandRules();
    const bool loaded = Document->ImageLoaded();
    const bool appears = loaded && Ui->Canvas->isHidden();
    Ui->Canvas->setVisible(loaded);
    // A document that appears gets the keyboard on its canvas, so that tool keys, Undo and Redo work
    // at once (not in the first field of the tool panel).
    if (appears) Ui->Canvas->setFocus();
    // With no document (also after a cancelled or failed open) no tool is chosen, and nothing of an
    // earlier document shows in the frame, pixel and colour cells; the document blanks the preview.
    if (!loaded) {
        ResetTools();
        Ui->SBFrameInfo->clear();
        ClearPointerInfo();
    }
    ShowZoom(Ui->Canvas->Zoom());
}

void TTindraMainForm::ResetTools() {
    Ui->SBToolRectangle->setProperty(TagProperty, static_cast<int>(ToolRectangle));
    SetGlyph(Ui->SBToolRectangle, GlyphRectangle);
    Ui->SBToolEllipse->setProperty(TagProperty, static_cast<int>(ToolEllipse));
    SetGlyph(Ui->SBToolEllipse, GlyphEllipse);
    Ui->SBToolNone->setChecked(true);
    Ui->Canvas->SetCurrentTool(ToolNone);
}

// ---- Status bar

void TTindraMainForm::ClearPointerInfo() {
    Ui->SBPixelInfo->clear();
    Ui->SBColorInfo->setStyleSheet(SwatchStyle(ButtonFace));
}

void TTindraMainForm::ShowPointerInfo(const QString& text, std::optional<TInterfaceColor> color) {
    Ui->SBPixelInfo->setText(text);
    Ui->SBColorInfo->setStyleSheet(SwatchStyle(color ? *color : ButtonFace));
}
