#pragma once
// The main window: panels, menus, tool bar, tool buttons, preview panel, status bar, the
// start-up and shut-down sequence and the enabling of commands from the document state.
//
// Controls carry the program's names both as members and as Qt object names (`MnFileNew`,
// `TBFileNew`, `SBToolPen`, ...); a top-level menu or submenu is a QMenu whose menu action
// has the same object name, so every command can be found as a QAction by name.

#include "DocumentAsker.h"
#include "DocumentObserver.h"
#include "DrawingTools.h"
#include "ImageListFile.h"
#include "RecentFiles.h"
#include "SettingsStore.h"
#include "SurfaceColor.h"

#include <QMainWindow>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QSpinBox;
class QTimer;
class QToolButton;
class TCanvasWidget;
class TEditorColors;
class TFontPanel;
enum class TSaveResult;
class TSurface32;
class TQtTranslator;
class TIconDocument;
class TLockKeys;
class TTindraAboutForm;
class TTindraHelpForm;
class TTindraAngleForm;
class TTindraIframeForm;
class TTindraInfoForm;
class TTindraLangForm;
class TTindraMFrameForm;
class TPreviewView;
class TQtSyncCaller;

// Window placement and language as read at start-up.
using TWindowSettings = tindra::TWindowSettings;

class TTindraMainForm : public QMainWindow, public IDocumentObserver, public IDocumentAsker {
    Q_OBJECT
  public:
    static constexpr int DesignWidth = 511;
    static constexpr int DesignHeight = 531;
    static constexpr int HelpContext = 1000;

    // Glyph indices the program switches at run time.
    enum TGlyph : int {
        GlyphInsertFrame = 11,
        GlyphGridOff = 13,
        GlyphGridOn = 14,
        GlyphPreviewOff = 15,
        GlyphPreviewOn = 16,
        GlyphAbout = 18,
        GlyphRectangle = 27,
        GlyphEllipse = 31,
        GlyphRotate = 44,
        GlyphMoveFrame = 47,
    };

    explicit TTindraMainForm(QWidget* parent = nullptr);
    ~TTindraMainForm() override;

    // Tahoma 13 px where installed, else the nearest face (DejaVu Sans).
    static QFont WindowFont();
    // Zoom := max(min(width, height) div 40, 8).
    static int ZoomFor(int panelWidth, int panelHeight);

    // Program entry, step 2: the six dialogs, created once and reused modally.
    void CreateDialogs();

    // Where images.iml is read from (default: beside the program, else in ../share/tindra).
    void SetControlImagePath(const QString& path) { ControlImagePath = path; }
    // The file named on the command line, opened at start-up.
    void SetCommandLineFile(const QString& path) { CommandLineFile = path; }
    // Shows a plain message box titled "Tindra"; replaceable so that tests need not block.
    using TMessageSink = std::function<void(const QString& text)>;
    void SetMessageSink(TMessageSink sink) { ShowMessage = std::move(sink); }

    // Loads images.iml into IlControlImages; false when it is missing or damaged.
    bool LoadControlImages();
    // Gives the document the two empty-frame templates of IlControlImages (plain, bordered).
    void InstallEmptyTemplates();
    // The two empty-frame templates (plain, bordered) of the control image file at path, for the
    // conversion from the command line, which runs without the window; false when it cannot be read.
    static bool ReadEmptyTemplates(const QString& path, TSurface32 (&templates)[2]);
    // Copies the glyphs into IlMenuImages, pixel (0, 0) of each giving its transparent colour.
    void BuildMenuImages();
    QPixmap MenuImage(int index) const;
    // Picture `index` of item `item` of IlControlImages as an image, or a null image.
    QImage ControlImage(int item, int index) const;

    // Start-up step 4, placement: reads the settings once and puts the window where the stored
    // placement says, fitted to the screens (WindowPlacement.h). Runs when the window is first shown.
    void PlaceWindow();
    // Fits the window to the screens again once the window manager's frame is known.
    void KeepFrameOnScreen();
    // Start-up steps 4 to 17; runs once, at the first activation of the window.
    void FormActivate();
    // Enables and disables the commands from the document state.
    void UpdateCommands();
    // Steps 1 to 11 of UpdateCommands from the state members below as they stand.
    void ApplyCommandStates();
    // Sets every caption and hint of the window, Qt's own texts included, and fits the window.
    void ApplyLanguage();
    // Raises the window's minimum size above its design where the current texts need more room.
    void FitToContents();
    // Copies the current hint into the hint line.
    void ApplicationHint(const QString& hint);
    // Recomputes Zoom from MainPanel and centres the canvas in it.
    void LayoutCanvas();

    // Document state read by UpdateCommands (kept here until the document model takes over).
    bool ImageLoaded = false;
    int FrameCount = 0;
    int CurrentFrame = -1;
    bool Animating = false;
    int ImageSize = 40;
    int OutputSize = 40;
    bool ClipboardHasPicture() const;

    // The settings store and the recent-files list (read at creation, written at the end).
    tindra::TSettingsStore RegCtrl;
    tindra::TRecentFiles MRU;
    // Puts a file at the top of the recent files and enables "Open recent".
    void AddRecentFile(const QString& path);
    // The folder the file dialogs start in: the stored "Path", else the program's folder.
    QString DialogFolder() const;

    // Editor state.
    int Zoom = 8;
    int CurrentTool = ToolNone;
    int LanguageIndex = 0;

    // Control images: 0 EmptyTemplates, 1 Glyphs, 2 Header, 3 Language buttons.
    std::vector<tindra::TImageListItem> IlControlImages;
    std::vector<QPixmap> IlMenuImages;

    // Menus and commands.
    QMenu *MnFile, *MnFileOpenMru, *MnFileSaveFrameAs, *MnEdit, *MnView, *MnViewFrame, *MnImage, *MnEffects,
        *MnColors, *MnHelp;
    QAction *MnFileNew, *MnFileOpen, *MnMRUSep, *MnMRUClear, *MnMRUShowPath, *MnFileDownload,
        *MnFileSaveFrameAsGIF, *MnFileSaveFrameAsICO, *MnFileSaveFrameAsBMP, *MnFileSaveAs,
        *MnFileSaveWithoutBorder, *MnFileSetup, *MnFileExit;
    QAction *MnEditUndo, *MnEditUndelete, *MnEditCut, *MnEditCopy, *MnEditPaste, *MnEditClear,
        *MnEditInsertFrame, *MnEditRemoveFrame, *MnEditMoveFrame, *MnEditSelectAll;
    QAction *MnViewFrameFirst, *MnViewFramePrev, *MnViewFrameNext, *MnViewFrameLast, *MnViewGrid,
        *MnViewThumbnail, *MnImageAttributes, *MnViewControlBar, *MnViewToolBar, *MnViewColorBar;
    QAction *MnImagePlayAnimation, *MnImageStopAnimation, *MnImageFlipHor, *MnImageFlipVert, *MnImageRotate,
        *MnImageDrawBorder, *MnImageAutoBorder, *MnEffectsTest, *MnColorsTest;
    QAction *MnHelpThemes, *MnHelpAbout;

    // Panels.
    QWidget *ControlPanel, *ToolPanel, *MainPanel, *PreviewPanel, *ColorPanel, *StatusBar;
    QWidget *ThumbnailPanel, *FramePanel, *SpeedPanel;
    QWidget* PBMain; // the canvas (Canvas)

    // The document, the canvas that edits its WorkBitmap, and the colour controls.
    // Synchronised calls of the preview's painter thread; it outlives the document, whose
    // Frames40 stops its painters when it goes.
    std::unique_ptr<TQtSyncCaller> SyncCaller;
    std::unique_ptr<TIconDocument> Document;
    TCanvasWidget* Canvas = nullptr;
    TEditorColors* Colors = nullptr;
    // The text tool's font controls and sample.
    TFontPanel* FontPanel = nullptr;

    // What the document reports (IDocumentObserver).
    void CaptionChanged(const std::string& caption) override;
    void FrameInfoChanged(const std::string& text) override;
    void FrameListChanged(int count) override;
    void FrameListRepaint() override;
    void FrameRowSelected(int index) override;
    void OutputSizeChanged(int outputSize) override;
    void UndoEnabledChanged(bool enabled) override;
    void PreviewPictureChanged() override;
    void CanvasRepaint() override;
    void DisplayTimeChanged(int milliseconds) override;
    void CommandsNeedUpdate() override;
    void ColorsChanged() override;
    void PaletteChanged() override;
    void DocumentClosing() override;
    void BeginBusy() override;
    void EndBusy() override;
    void FolderUsed(const std::string& folder) override;
    void AddRecentFile(const std::string& path) override;
    void SaveChangesFailed() override;

    // The questions the document asks (IDocumentAsker; AskSaveChanges below).
    std::string AskOpenFileName() override;
    std::string AskSaveFileName(TFileKind kind, const std::string& defaultName) override;
    bool ConfirmOverwrite(const std::string& path) override;

    // Tool bar.
    QToolButton *TBFileNew, *TBFileOpen, *TBFileSave, *TBFileSaveFrameAsGIF, *TBFileSaveFrameAsICO,
        *TBFileSaveFrameAsBMP, *TBSetup, *TBEditCut, *TBEditCopy, *TBEditPaste, *TBEditClear,
        *TBEditInsertFrame, *TBEditRemoveFrame, *TBEditMoveFrame, *TBViewGrid, *TBViewThumbnail, *TBHelp,
        *TBAbout, *TBExit;

    // Tool panel.
    QToolButton *SBToolNone, *SBToolMover, *SBToolSelect, *SBToolColorDropper, *SBToolPen, *SBToolBrush,
        *SBToolFloodFill, *SBToolLine, *SBToolRectangle, *SBToolEllipse, *SBToolText;
    QButtonGroup* ToolGroup;
    QMenu *PMRectanglePopup, *PMEllipsePopup;
    QAction *PMR1, *PMR2, *PMR3, *PMR4, *PME1, *PME2, *PME3, *PME4;
    QSpinBox* EdToolSize;

    // Preview panel.
    QListWidget* LBImageBox;
    QMenu* PMThumbSizeMenu;
    QAction *PMS4, *PMS3;
    TPreviewView* ImThumbnail;
    QToolButton *SBStop, *SBPlay, *SBFirst, *SBPrev, *SBNext, *SBLast;
    QSpinBox* EDSpeed;

    // Colour and font panel.
    QFrame *SLColor, *SRColor, *STColor;
    QLabel *TLColor, *TRColor, *TTColor;
    QWidget* GColorPalette;
    QToolButton *SBFontSelect, *SBBold, *SBItalics, *SBUnderline;
    QComboBox *CBFontName, *CBFontSize;
    QLabel* TestPanel;

    // Status bar.
    QLabel *SBHintInfo, *SBVersionInfo, *SBFrameInfo, *SBColorInfo, *SBPixelInfo, *SBCapsLockInfo,
        *SBNumLockInfo;

    // Dialogs (created by CreateDialogs).
    TTindraAboutForm* AboutForm = nullptr;
    TTindraLangForm* LangForm = nullptr;
    TTindraInfoForm* InfoForm = nullptr;
    TTindraAngleForm* AngleForm = nullptr;
    TTindraIframeForm* IframeForm = nullptr;
    TTindraMFrameForm* MFrameForm = nullptr;
    // The help window, made when help is first asked for.
    TTindraHelpForm* HelpForm = nullptr;
    // The help context of the part of the window the user is at: the control under the mouse
    // pointer, else the one with the keyboard focus, and the first context up its parents.
    int HelpContextHere() const;
    // Opens the manual in the interface language at the section of `context`.
    void ShowHelp(int context);

  public slots:
    void MnFileNewClick();
    void MnFileOpenClick();
    void MnMRUClearClick();
    void MnMRUShowPathClick();
    void MnFileSaveFrameAsGIFClick();
    void MnFileSaveFrameAsICOClick();
    void MnFileSaveFrameAsBMPClick();
    void MnFileSaveAsClick();
    void MnFileSaveWithoutBorderClick();
    void MnFileSetupClick();
    void MnFileExitClick();
    void MnEditUndoClick();
    void MnEditCutClick();
    void MnEditCopyClick();
    void MnEditPasteClick();
    void MnEditClearClick();
    void MnEditInsertFrameClick();
    void MnEditRemoveFrameClick();
    void MnEditMoveFrameClick();
    void MnEditSelectAllClick();
    void MnViewFrameFirstClick();
    void MnViewFramePrevClick();
    void MnViewFrameNextClick();
    void MnViewFrameLastClick();
    void MnViewGridClick();
    void MnViewThumbnailClick();
    void MnImageAttributesClick();
    void MnViewControlBarClick();
    void MnViewToolBarClick();
    void MnViewColorBarClick();
    void MnImagePlayAnimationClick();
    void MnImageStopAnimationClick();
    // Preview playback: the painter of Frames40 draws into ImThumbnail.
    void PlayAnimation();
    void StopAnimation();
    void ImThumbnailClick();
    void MnImageFlipHorClick();
    void MnImageFlipVertClick();
    void MnImageRotateClick();
    void MnImageDrawBorderClick();
    void NotImplementedClick();
    void MnHelpThemesClick();
    void MnHelpAboutClick();
    void SBToolClick();
    void PopupClick();
    void PMThumbSizeClick();
    void EDSpeedExit();
    void EDSpeedChange(int value);
    void LBImageBoxClick(int row);
    void EdToolSizeChange();
    void UpdateLockKeys();
    // Paste is enabled exactly while an icon is open and the clipboard offers a picture.
    void CBViewerClipboardChanged();

  protected:
    // The document model (for tests that drive the window with a prepared document).
    TIconDocument& DocumentModel() { return *Document; }
    // Start-up step 4: window placement and language, defaults where nothing is stored.
    virtual TWindowSettings ReadSettings();
    // Shut-down step 3: placement and language back to the store.
    virtual void WriteSettings();
    // Opens a picture file as the document; `addToRecent` puts it on the recent-files list.
    virtual void OpenFile(const QString& path, bool addToRecent);
    // "Save changes?" with Yes, No and Cancel (Escape); No when the document is not modified.
    TSaveChangesAnswer AskSaveChanges() override;
    virtual void SaveDocumentAs();
    void SaveFrameAs(TFileKind kind);
    // Error box with the error title; replaceable so that tests need not block.
    virtual void ShowErrorMessage(const QString& text);

    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void CreateMenus();
    void CreateControlPanel();
    void CreateToolPanel();
    void CreatePreviewPanel();
    void CreateColorPanel();
    void CreateStatusBar();
    QToolButton* MakeButton(QWidget* owner, const char* name, QSize size, int glyph,
                            void (TTindraMainForm::*slot)());
    void AssignGlyphs();
    void SetGlyph(QObject* control, int glyph);
    void ClearPointerInfo();
    void ShowPointerInfo(const QString& text, std::optional<TInterfaceColor> color);
    void DropFiles(const QList<QUrl>& urls);
    void ReportSave(TSaveResult result);
    QString Message(int key) const;
    // PushUndo, the change on WorkBitmap, CommitFrame; only while an icon is open.
    void ChangeWorkBitmap(const std::function<void(TSurface32&)>& change);

    QString ControlImagePath;
    QString CommandLineFile;
    TMessageSink ShowMessage;
    bool ImagesLoaded = false;
    bool StartupDone = false;
    std::optional<TWindowSettings> StartSettings; // read once, by PlaceWindow
    bool FrameKeptOnScreen = false;               // KeepFrameOnScreen has seen the frame
    std::map<QObject*, int> Glyphs;               // control -> glyph index
    // Qt's own texts (standard buttons and dialogs) in the interface language.
    std::unique_ptr<TQtTranslator> QtTexts;
    std::unique_ptr<TLockKeys> SISysInfo;
    QTimer* LockKeyTimer = nullptr;
};
