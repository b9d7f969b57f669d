#pragma once
// The main window's controls, private to its source files (TindraMainForm*.cpp). Each carries its
// program name as its Qt object name. Built by TindraMainFormLayout.cpp.

#include "TindraMainForm.h"
#include "TindraMainFormCommands.h"

#include <vector>

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QListView;
class TFrameListModel;
class QMenu;
class QSpinBox;
class QToolButton;
class TCanvasWidget;
class TEditorColors;
class TFontPanel;
class TPreviewView;
class TTindraAboutForm;
class TTindraAngleForm;
class TTindraHelpForm;
class TTindraIframeForm;
class TTindraInfoForm;
class TTindraLangForm;
class TTindraMFrameForm;

struct TTindraMainForm::TControls {
    // A row of the command table with what it was built into: its menu item or menu (or, for a
    // control row, the control) and the button that runs the same handler.
    struct TBoundCommand {
        const TCommand* Row;
        QObject* Item;
        QToolButton* Button;
    };
    std::vector<TBoundCommand> Commands;

    // Menus and the menu items the handlers use.
    QMenu *MnFile, *MnFileOpenMru, *MnEdit, *MnImage;
    QAction *MnMRUSep, *MnMRUShowPath, *MnFileSaveWithoutBorder, *MnFileSaveFrameAsICO;
    QAction *MnViewGrid, *MnViewThumbnail, *MnViewControlBar, *MnViewToolBar, *MnViewColorBar;
    QAction* MnImageAutoBorder;
    QAction* MnFileModernIco;
    QAction* MnFileOptimizeGif;

    // Panels.
    QWidget *ControlPanel, *ToolPanel, *MainPanel, *PreviewPanel, *ColorPanel, *StatusBar;
    QWidget *ThumbnailPanel, *FramePanel, *SpeedPanel;

    // Tool bar buttons the handlers switch.
    QToolButton *TBFileSaveFrameAsICO, *TBViewGrid, *TBViewThumbnail;

    // Tool panel.
    QToolButton *SBToolNone, *SBToolRectangle, *SBToolEllipse;
    QButtonGroup* ToolGroup;
    QSpinBox* EdToolSize;

    // Preview panel. The frame list is a view over the document's frames (FrameList).
    QListView* LBImageBox;
    TFrameListModel* FrameList = nullptr;
    QAction *PMS4, *PMS3;
    TPreviewView* ImThumbnail;
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

    // The editors of the document: the canvas (PBMain), the colour controls and the text tool's font.
    TCanvasWidget* Canvas = nullptr;
    TEditorColors* Colors = nullptr;
    TFontPanel* FontPanel = nullptr;

    // Dialogs (created by CreateDialogs) and the help window (made when help is first asked for).
    TTindraAboutForm* AboutForm = nullptr;
    TTindraLangForm* LangForm = nullptr;
    TTindraInfoForm* InfoForm = nullptr;
    TTindraAngleForm* AngleForm = nullptr;
    TTindraIframeForm* IframeForm = nullptr;
    TTindraMFrameForm* MFrameForm = nullptr;
    TTindraHelpForm* HelpForm = nullptr;

    // Beside the display-time field: a warning sign whose hint says what browsers do with very short
    // display times (shown below 20 ms).
    QLabel* LBSpeedHint = nullptr;
    // The canvas's zoom and view options: the panel it sits on inside the scroll area of MainPanel,
    // the zoom cell of the status bar, the View items of the onion skin and the transparency.
    QWidget* CanvasPanel = nullptr;
    QLabel* SBZoomInfo = nullptr;
    QAction *MnViewOnionSkin = nullptr, *MnViewOnionSkinNext = nullptr, *MnViewTransparency = nullptr;
};
