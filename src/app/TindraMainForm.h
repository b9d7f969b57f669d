#pragma once
// The main window: menus, tool bar, tool and preview panels, colour panel, status bar, the start-up
// and shut-down sequence, and the enabling of commands from the document's state.
//
// Where things are:
//   TindraMainFormCommands.cpp  the command table: every menu item with its shortcut, glyph, handler,
//                               button and enabled rule (UpdateCommands applies the rules)
//   TindraMainFormLayout.cpp    building the controls and the layout
//   TindraMainForm.cpp          creation, start-up, shut-down, events, texts, the status bar
//   TindraMainFormDocument.cpp  what the document reports (IDocumentObserver)
//   TindraMainFormFile.cpp, ...Edit.cpp, ...View.cpp, ...Image.cpp, ...Help.cpp
//                               the handlers of each menu, with the panels' handlers that belong to it
//
// The controls live in a private struct (TindraMainFormControls.h). They carry the program's names as
// Qt object names (`MnFileNew`, `TBFileNew`, `SBToolPen`, `EDSpeed`, ...); a top-level menu or
// submenu is a QMenu whose menu action has the same object name, so every command can be found as a
// QAction by name (findChild), which is also how tests reach them.

#include "DocumentAsker.h"
#include "DocumentObserver.h"
#include "ImageListFile.h"
#include "RecentFiles.h"
#include "SettingsStore.h"
#include "SurfaceColor.h"

#include <QMainWindow>
#include <QPixmap>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QTimer;
class QToolButton;
enum class TSaveResult;
class TSurface32;
struct TRect;
class TQtTranslator;
class TIconDocument;
class TLockKeys;
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

    // The six dialogs, created once (after the window) and reused modally.
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

    // Reads the settings once and puts the window where the stored placement says, fitted to the
    // screens (WindowPlacement.h). Runs when the window is first shown.
    void PlaceWindow();
    // Fits the window to the screens again once the window manager's frame is known.
    void KeepFrameOnScreen();
    // The start-up of the window: language, canvas size, no document, the command-line file. Runs once,
    // at the first activation of the window.
    void FormActivate();
    // Enables and disables every command and control of the command table from the document's state,
    // and shows the no-document state (canvas hidden, no tool, empty status cells) when there is none.
    void UpdateCommands();
    // Sets every caption and hint of the window, Qt's own texts included, and fits the window.
    void ApplyLanguage();
    // Raises the window's minimum size above its design where the current texts need more room.
    void FitToContents();
    // Copies the current hint into the hint line.
    void ApplicationHint(const QString& hint);
    // Recomputes Zoom from MainPanel and centres the canvas in it.
    void LayoutCanvas();

    // The document the window edits.
    TIconDocument& DocumentModel() { return *Document; }
    const TIconDocument& DocumentModel() const { return *Document; }

    // Editor state: screen pixels per icon pixel, the canvas's tool, the interface language.
    int Zoom() const;
    int CurrentTool() const;
    int LanguageIndex = 0;

    // The settings store and the recent-files list (read at creation, written at the end).
    tindra::TSettingsStore RegCtrl;
    tindra::TRecentFiles MRU;
    // Puts a file at the top of the recent files and enables "Open recent".
    void AddRecentFile(const QString& path);
    // The folder the file dialogs start in: the stored "Path", else the program's folder.
    QString DialogFolder() const;

    // Control images: 0 EmptyTemplates, 1 Glyphs, 2 Header, 3 Language buttons.
    std::vector<tindra::TImageListItem> IlControlImages;
    std::vector<QPixmap> IlMenuImages;

    // The help context of the part of the window the user is at: the control under the mouse
    // pointer, else the one with the keyboard focus, and the first context up its parents.
    int HelpContextHere() const;
    // Opens the manual in the interface language at the section of `context`.
    void ShowHelp(int context);
    // F1 inside the dialog opens the manual at the section of `context`; the help window is a
    // window of the dialog while the dialog is open (the modal dialog would block it otherwise).
    void InstallDialogHelp(QDialog* dialog, int context);

    // What the document reports (IDocumentObserver, TindraMainFormDocument.cpp).
    void CaptionChanged(const std::string& caption) override;
    void FrameInfoChanged(const std::string& text) override;
    void FrameListChanged(int count) override;
    void FrameInserted(int index) override;
    void FrameRemoved(int index) override;
    void FrameMoved(int from, int to) override;
    void FramePictureChanged(int index) override;
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

    // The questions the document asks (IDocumentAsker, TindraMainFormFile.cpp; AskSaveChanges below).
    std::string AskOpenFileName() override;
    std::string AskSaveFileName(TFileKind kind, const std::string& defaultName) override;
    bool ConfirmOverwrite(const std::string& path) override;

  public slots:
    // File menu (TindraMainFormFile.cpp).
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
    void PMThumbSizeClick();
    // Edit menu (TindraMainFormEdit.cpp).
    void MnEditUndoClick();
    void MnEditCutClick();
    void MnEditCopyClick();
    void MnEditPasteClick();
    void MnEditClearClick();
    void MnEditInsertFrameClick();
    void MnEditRemoveFrameClick();
    void MnEditMoveFrameClick();
    void MnEditSelectAllClick();
    void MnEditRedoClick();
    void MnEditUndeleteClick();
    void MnEditDuplicateFrameClick();
    void MnEditMergeRepeatsClick();
    void MnEditReverseFramesClick();
    // Paste is enabled exactly while an icon is open and the clipboard offers a picture.
    void CBViewerClipboardChanged();
    // View menu (TindraMainFormView.cpp), with the frame list and the display-time field.
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
    void LBImageBoxClick(int row);
    // A row of the frame list dragged to index `to`: the frame moves there, as the move dialog moves it.
    void LBImageBoxDrop(int from, int to);
    void EDSpeedExit();
    void EDSpeedChange(int value);
    // The hint under the display-time field, shown below 20 ms.
    void UpdateSpeedHint();
    // Image menu (TindraMainFormImage.cpp), with the preview's playback and the tool panel.
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
    void MnImageAutoBorderClick();
    void SBToolClick();
    void PopupClick();
    void EdToolSizeChange();
    // Effects submenu and Colours menu (TindraMainFormEffects.cpp).
    void MnEffectsInvertClick();
    void MnEffectsGreyscaleClick();
    void MnEffectsShiftLeftClick();
    void MnEffectsShiftRightClick();
    void MnEffectsShiftUpClick();
    void MnEffectsShiftDownClick();
    void MnEffectsShadowClick();
    void MnEffectsOutlineClick();
    void MnColorsReplaceClick();
    void MnColorsReplaceAllClick();
    void MnColorsReduceClick();
    void MnColorsLoadPaletteClick();
    void MnColorsSavePaletteClick();
    void MnColorsImagePaletteClick();
    // Help menu (TindraMainFormHelp.cpp), with the status bar's lock keys.
    void MnHelpThemesClick();
    void MnHelpAboutClick();
    void UpdateLockKeys();
    // Zoom and what the canvas shows (TindraMainFormView.cpp).
    void MnViewZoomInClick();
    void MnViewZoomOutClick();
    void MnViewZoomFitClick();
    void MnViewZoomActualClick();
    void MnViewOnionSkinClick();
    void MnViewTransparencyClick();
    // Loop count of the saved animation (TindraMainFormImage.cpp).
    void MnImageLoopCountClick();
    void MnImageAllDisplayTimesClick();
    // PNG exports (TindraMainFormFile.cpp): the current frame, and all frames as one strip.
    void MnFileSaveFrameAsPNGClick();
    void MnFileExportSpriteSheetClick();
    // The ICO export's setting, stored as "ModernIco" (0 classic, 1 modern).
    void MnFileModernIcoClick();
    // The animated GIF save's setting, stored as "OptimizeGif" (0 every frame whole, 1 smaller file).
    void MnFileOptimizeGifClick();
    void ReadFileSettings();

  protected:
    // Window placement and language, defaults where nothing is stored.
    virtual TWindowSettings ReadSettings();
    // Placement and language back to the store (at closing).
    virtual void WriteSettings();
    // Opens a picture file as the document; `addToRecent` puts it on the recent-files list.
    virtual void OpenFile(const QString& path, bool addToRecent);
    // "Save changes?" with Yes, No and Cancel (Escape); No when the document is not modified.
    TSaveChangesAnswer AskSaveChanges() override;
    virtual void SaveDocumentAs();
    void SaveFrameAs(TFileKind kind);
    // Error box with the error title; replaceable so that tests need not block.
    virtual void ShowErrorMessage(const QString& text);
    // The open or save dialog for a palette file (.gpl, .pal); an empty name when cancelled.
    virtual QString AskPaletteFileName(bool save);

    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    struct TControls;

    // TindraMainFormLayout.cpp: every control, the menus from the command table, the layout.
    void CreateControls();
    void CreateMenus();
    void CreateControlPanel();
    void CreateToolPanel();
    void CreatePreviewPanel();
    void CreateColorPanel();
    void CreateStatusBar();
    void CreateCanvasScrollArea();
    // Connects the table's buttons to their commands' handlers.
    void BindCommandButtons();
    QToolButton* MakeButton(QWidget* owner, const char* name, QSize size, int glyph,
                            void (TTindraMainForm::*slot)() = nullptr);

    // Applies the enabled rule of every row of the command table.
    void ApplyCommandRules();
    bool ClipboardHasPicture() const;
    // The shape buttons back to their first shape and no tool (no document open).
    void ResetTools();
    // Single-letter tool keys (their letters end the tool hints), X (swap colours) and Escape
    // (drop the selection).
    static const std::vector<std::pair<const char*, const char*>>& ToolKeys();
    void CreateToolKeys();
    void AssignGlyphs();
    void SetGlyph(QObject* control, int glyph);
    void ClearPointerInfo();
    void ShowPointerInfo(const QString& text, std::optional<TInterfaceColor> color);
    void DropFiles(const QList<QUrl>& urls);
    void ReportSave(TSaveResult result);
    QString Message(int key) const;
    // Effects and colours (TindraMainFormEffects.cpp): the part of the picture they change, and one
    // change run on the current frame or, with Shift held or "all frames" checked, on every frame.
    TRect EffectArea() const;
    void ApplyToFrames(bool allFrames, const std::function<void(TSurface32&)>& change);
    void ApplyEffect(const std::function<void(TSurface32&)>& change);

    std::unique_ptr<TControls> Ui;
    // Synchronised calls of the preview's painter thread; it outlives the document, whose Frames40
    // stops its painters when it goes.
    std::unique_ptr<TQtSyncCaller> SyncCaller;
    std::unique_ptr<TIconDocument> Document;

    QString ControlImagePath;
    QString CommandLineFile;
    TMessageSink ShowMessage;
    bool ImagesLoaded = false;
    bool StartupDone = false;
    bool FrameListFollowsDocument = false; // the frame list changes for the document, not for the user
    std::optional<TWindowSettings> StartSettings; // read once, by PlaceWindow
    bool FrameKeptOnScreen = false;               // KeepFrameOnScreen has seen the frame
    std::map<QObject*, int> Glyphs;               // control -> glyph index
    // Qt's own texts (standard buttons and dialogs) in the interface language.
    std::unique_ptr<TQtTranslator> QtTexts;
    std::unique_ptr<TLockKeys> SISysInfo;
    QTimer* LockKeyTimer = nullptr;

    // ---- The canvas's view options (TindraMainFormView.cpp)
  public:
    // The zoom as the status bar shows it: "×17".
    static QString ZoomText(int zoom);

  private:
    // The View check items of the onion skin and the transparency from the settings, and back.
    void ReadViewOptions();
    void WriteViewOptions();
    // Shows the transparency as the item says for the current output size, on the canvas and in the
    // frame list (after a change of the item, the transparent colour or the output size).
    void ApplyTransparencyView();
    void ShowZoom(int zoom);
    // Transparency shown with the border (index 0) and without it (index 1): by default only without,
    // where the transparent colour is saved as transparent.
    bool TransparencyFor[2] = {false, true};
    // Counts the preview's plays, so that the end of an earlier one does not stop a later one.
    int PreviewRun = 0;
};
