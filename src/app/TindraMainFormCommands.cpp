#include "TindraMainFormCommands.h"

#include "IconDocument.h"
#include "TindraMainForm.h"

namespace {

// ---- Enabled rules

// Commands that exist in the menus but are not available in this version.
bool Never(const TCommandState&) {
    return false;
}
bool RecentFiles(const TCommandState& s) {
    return s.HasRecentFiles;
}
bool DocumentOpen(const TCommandState& s) {
    return s.Document.ImageLoaded();
}
// The icon export writes the inner 32 × 32 area: only while saving without the border.
bool IcoExport(const TCommandState& s) {
    return s.Document.IcoExportEnabled();
}
bool UndoAvailable(const TCommandState& s) {
    return s.Document.UndoEnabled();
}
bool RedoAvailable(const TCommandState& s) {
    return s.Document.RedoEnabled();
}
bool UndeleteAvailable(const TCommandState& s) {
    return s.Document.UndeleteEnabled();
}
bool PictureToPaste(const TCommandState& s) {
    return DocumentOpen(s) && s.ClipboardHasPicture;
}
// Frame navigation, removing, moving and the animation need a second frame.
bool SeveralFrames(const TCommandState& s) {
    return DocumentOpen(s) && s.Document.FrameCount() > 1;
}
bool BeforeCurrentFrame(const TCommandState& s) {
    return SeveralFrames(s) && s.Document.CurrentFrame() != 0;
}
bool AfterCurrentFrame(const TCommandState& s) {
    return SeveralFrames(s) && s.Document.CurrentFrame() != s.Document.FrameCount() - 1;
}
// Play, and the display time, which changes only while the animation stands still.
bool AnimationStopped(const TCommandState& s) {
    return SeveralFrames(s) && !s.Document.Animating();
}
bool AnimationPlaying(const TCommandState& s) {
    return SeveralFrames(s) && s.Document.Animating();
}

using K = TCommandKind;
using F = TTindraMainForm;

} // namespace

const std::vector<TCommand>& MainFormCommands() {
    // clang-format off
    static const std::vector<TCommand> rows = {
        // Kind       Name                       Parent               Shortcut        Glyph Handler                          Button                   Enabled
        {K::Menu,      "MnFile",                  nullptr,             nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnFileNew",               "MnFile",            "Ctrl+N",        0, &F::MnFileNewClick,               "TBFileNew",             nullptr},
        {K::Item,      "MnFileOpen",              "MnFile",            "Ctrl+O",        1, &F::MnFileOpenClick,              "TBFileOpen",            nullptr},
        {K::Menu,      "MnFileOpenMru",           "MnFile",            nullptr,        48, nullptr,                          nullptr,                 RecentFiles},
        {K::Separator, "MnMRUSep",                "MnFileOpenMru",     nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnMRUClear",              "MnFileOpenMru",     nullptr,        10, &F::MnMRUClearClick,              nullptr,                 nullptr},
        {K::Check,     "MnMRUShowPath",           "MnFileOpenMru",     nullptr,        -1, &F::MnMRUShowPathClick,           nullptr,                 nullptr},
        {K::Item,      "MnFileDownload",          "MnFile",            "Ctrl+D",       49, nullptr,                          nullptr,                 Never},
        {K::Separator, nullptr,                   "MnFile",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Menu,      "MnFileSaveFrameAs",       "MnFile",            nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},
        {K::Item,      "MnFileSaveFrameAsGIF",    "MnFileSaveFrameAs", "Ctrl+Alt+G",    3, &F::MnFileSaveFrameAsGIFClick,    "TBFileSaveFrameAsGIF",  DocumentOpen},
        {K::Item,      "MnFileSaveFrameAsICO",    "MnFileSaveFrameAs", "Ctrl+Alt+I",    4, &F::MnFileSaveFrameAsICOClick,    "TBFileSaveFrameAsICO",  IcoExport},
        {K::Item,      "MnFileSaveFrameAsBMP",    "MnFileSaveFrameAs", "Ctrl+Alt+B",    5, &F::MnFileSaveFrameAsBMPClick,    "TBFileSaveFrameAsBMP",  DocumentOpen},
        {K::Item,      "MnFileSaveFrameAsPNG",    "MnFileSaveFrameAs", nullptr,        -1, &F::MnFileSaveFrameAsPNGClick,    nullptr,                 DocumentOpen},
        {K::Item,      "MnFileExportSpriteSheet", "MnFile",            nullptr,        -1, &F::MnFileExportSpriteSheetClick, nullptr,                 DocumentOpen},
        {K::Check,     "MnFileModernIco",         "MnFileSaveFrameAs", nullptr,        -1, &F::MnFileModernIcoClick,         nullptr,                 nullptr},
        {K::Separator, nullptr,                   "MnFile",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnFileSaveAs",            "MnFile",            "Ctrl+S",        2, &F::MnFileSaveAsClick,            "TBFileSave",            DocumentOpen},
        {K::Check,     "MnFileOptimizeGif",       "MnFile",            nullptr,        -1, &F::MnFileOptimizeGifClick,       nullptr,                 nullptr},
        {K::Separator, nullptr,                   "MnFile",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Check,     "MnFileSaveWithoutBorder", "MnFile",            "Ctrl+B",       -1, &F::MnFileSaveWithoutBorderClick, nullptr,                 DocumentOpen},
        {K::Item,      "MnFileSetup",             "MnFile",            "Ctrl+L",        6, &F::MnFileSetupClick,             "TBSetup",               nullptr},
        {K::Separator, nullptr,                   "MnFile",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnFileExit",              "MnFile",            "Alt+F4",       19, &F::MnFileExitClick,              "TBExit",                nullptr},

        {K::Menu,      "MnEdit",                  nullptr,             nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},
        {K::Item,      "MnEditUndo",              "MnEdit",            "Ctrl+Z",       46, &F::MnEditUndoClick,              "TBEditUndo",            UndoAvailable},
        {K::Item,      "MnEditRedo",              "MnEdit",            "Ctrl+Y; Ctrl+Shift+Z", 53, &F::MnEditRedoClick,     "TBEditRedo",            RedoAvailable},
        {K::Item,      "MnEditUndelete",          "MnEdit",            "Ctrl+Alt+Del", 52, &F::MnEditUndeleteClick,          nullptr,                 UndeleteAvailable},
        {K::Separator, nullptr,                   "MnEdit",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnEditCut",               "MnEdit",            "Ctrl+X",        7, &F::MnEditCutClick,               "TBEditCut",             DocumentOpen},
        {K::Item,      "MnEditCopy",              "MnEdit",            "Ctrl+C",        8, &F::MnEditCopyClick,              "TBEditCopy",            DocumentOpen},
        {K::Item,      "MnEditPaste",             "MnEdit",            "Ctrl+V",        9, &F::MnEditPasteClick,             "TBEditPaste",           PictureToPaste},
        {K::Item,      "MnEditClear",             "MnEdit",            "Shift+Del",    10, &F::MnEditClearClick,             "TBEditClear",           DocumentOpen},
        {K::Separator, nullptr,                   "MnEdit",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnEditInsertFrame",       "MnEdit",            "Ctrl+Ins",     11, &F::MnEditInsertFrameClick,       "TBEditInsertFrame",     DocumentOpen},
        {K::Item,      "MnEditRemoveFrame",       "MnEdit",            "Ctrl+Del",     12, &F::MnEditRemoveFrameClick,       "TBEditRemoveFrame",     SeveralFrames},
        {K::Item,      "MnEditMoveFrame",         "MnEdit",            "Ctrl+M",       47, &F::MnEditMoveFrameClick,         "TBEditMoveFrame",       SeveralFrames},
        {K::Item,      "MnEditDuplicateFrame",    "MnEdit",            "Ctrl+Shift+D", -1, &F::MnEditDuplicateFrameClick,    nullptr,                 DocumentOpen},
        {K::Item,      "MnEditMergeRepeats",      "MnEdit",            nullptr,        -1, &F::MnEditMergeRepeatsClick,      nullptr,                 SeveralFrames},
        {K::Item,      "MnEditReverseFrames",     "MnEdit",            nullptr,        -1, &F::MnEditReverseFramesClick,     nullptr,                 SeveralFrames},
        {K::Separator, nullptr,                   "MnEdit",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnEditSelectAll",         "MnEdit",            "Ctrl+A",       21, &F::MnEditSelectAllClick,         nullptr,                 DocumentOpen},

        {K::Menu,      "MnView",                  nullptr,             nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Menu,      "MnViewFrame",             "MnView",            nullptr,        -1, nullptr,                          nullptr,                 SeveralFrames},
        {K::Item,      "MnViewFrameFirst",        "MnViewFrame",       "Home",         38, &F::MnViewFrameFirstClick,        "SBFirst",               BeforeCurrentFrame},
        {K::Item,      "MnViewFramePrev",         "MnViewFrame",       "PgUp",         39, &F::MnViewFramePrevClick,         "SBPrev",                BeforeCurrentFrame},
        {K::Item,      "MnViewFrameNext",         "MnViewFrame",       "PgDown",       40, &F::MnViewFrameNextClick,         "SBNext",                AfterCurrentFrame},
        {K::Item,      "MnViewFrameLast",         "MnViewFrame",       "End",          41, &F::MnViewFrameLastClick,         "SBLast",                AfterCurrentFrame},
        {K::Separator, nullptr,                   "MnView",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Checked,   "MnViewGrid",              "MnView",            "Ctrl+G",       -1, &F::MnViewGridClick,              "TBViewGrid",            nullptr},
        {K::Checked,   "MnViewThumbnail",         "MnView",            "Ctrl+H",       -1, &F::MnViewThumbnailClick,         "TBViewThumbnail",       nullptr},
        {K::Separator, nullptr,                   "MnView",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnImageAttributes",       "MnView",            "Ctrl+I",       51, &F::MnImageAttributesClick,       nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnView",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Checked,   "MnViewControlBar",        "MnView",            "Shift+F2",     -1, &F::MnViewControlBarClick,        nullptr,                 nullptr},
        {K::Checked,   "MnViewToolBar",           "MnView",            "Shift+F3",     -1, &F::MnViewToolBarClick,           nullptr,                 nullptr},
        {K::Checked,   "MnViewColorBar",          "MnView",            "Shift+F4",     -1, &F::MnViewColorBarClick,          nullptr,                 nullptr},
        {K::Separator, nullptr,                   "MnView",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnViewZoomIn",            "MnView",            "Ctrl++",       -1, &F::MnViewZoomInClick,            nullptr,                 DocumentOpen},
        {K::Item,      "MnViewZoomOut",           "MnView",            "Ctrl+-",       -1, &F::MnViewZoomOutClick,           nullptr,                 DocumentOpen},
        {K::Item,      "MnViewZoomFit",           "MnView",            "Ctrl+0",       -1, &F::MnViewZoomFitClick,           nullptr,                 DocumentOpen},
        {K::Item,      "MnViewZoomActual",        "MnView",            "Ctrl+1",       -1, &F::MnViewZoomActualClick,        nullptr,                 DocumentOpen},
        {K::Check,     "MnViewOnionSkin",         "MnView",            "F3",           -1, &F::MnViewOnionSkinClick,         nullptr,                 nullptr},
        {K::Check,     "MnViewOnionSkinNext",     "MnView",            "Ctrl+F3",      -1, &F::MnViewOnionSkinClick,         nullptr,                 nullptr},
        {K::Check,     "MnViewTransparency",      "MnView",            "Ctrl+Shift+T", -1, &F::MnViewTransparencyClick,      nullptr,                 nullptr},

        {K::Menu,      "MnImage",                 nullptr,             nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},
        {K::Item,      "MnImagePlayAnimation",    "MnImage",           "Ctrl+P",       36, &F::MnImagePlayAnimationClick,    "SBPlay",                AnimationStopped},
        {K::Item,      "MnImageStopAnimation",    "MnImage",           "Ctrl+T",       37, &F::MnImageStopAnimationClick,    "SBStop",                AnimationPlaying},
        {K::Separator, nullptr,                   "MnImage",           nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnImageFlipHor",          "MnImage",           "Ctrl+Right",   42, &F::MnImageFlipHorClick,          nullptr,                 DocumentOpen},
        {K::Item,      "MnImageFlipVert",         "MnImage",           "Ctrl+Up",      43, &F::MnImageFlipVertClick,         nullptr,                 DocumentOpen},
        {K::Item,      "MnImageRotate",           "MnImage",           "Ctrl+Left",    44, &F::MnImageRotateClick,           nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnImage",           nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnImageDrawBorder",       "MnImage",           "Ctrl+R",       45, &F::MnImageDrawBorderClick,       nullptr,                 DocumentOpen},
        {K::Check,     "MnImageAutoBorder",       "MnImage",           "Ctrl+Alt+R",   -1, &F::MnImageAutoBorderClick,       nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnImage",           nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Menu,      "MnEffects",               "MnImage",           nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},
        {K::Item,      "MnEffectsInvert",         "MnEffects",         nullptr,        -1, &F::MnEffectsInvertClick,         nullptr,                 DocumentOpen},
        {K::Item,      "MnEffectsGreyscale",      "MnEffects",         nullptr,        -1, &F::MnEffectsGreyscaleClick,      nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnEffects",         nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnEffectsShiftLeft",      "MnEffects",         nullptr,        -1, &F::MnEffectsShiftLeftClick,      nullptr,                 DocumentOpen},
        {K::Item,      "MnEffectsShiftRight",     "MnEffects",         nullptr,        -1, &F::MnEffectsShiftRightClick,     nullptr,                 DocumentOpen},
        {K::Item,      "MnEffectsShiftUp",        "MnEffects",         nullptr,        -1, &F::MnEffectsShiftUpClick,        nullptr,                 DocumentOpen},
        {K::Item,      "MnEffectsShiftDown",      "MnEffects",         nullptr,        -1, &F::MnEffectsShiftDownClick,      nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnEffects",         nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnEffectsShadow",         "MnEffects",         nullptr,        -1, &F::MnEffectsShadowClick,         nullptr,                 DocumentOpen},
        {K::Item,      "MnEffectsOutline",        "MnEffects",         nullptr,        -1, &F::MnEffectsOutlineClick,        nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnEffects",         nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Check,     "MnEffectsAllFrames",      "MnEffects",         nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},

        {K::Menu,      "MnColors",                nullptr,             nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},
        {K::Item,      "MnColorsReplace",         "MnColors",          nullptr,        -1, &F::MnColorsReplaceClick,         nullptr,                 DocumentOpen},
        {K::Item,      "MnColorsReplaceAll",      "MnColors",          nullptr,        -1, &F::MnColorsReplaceAllClick,      nullptr,                 DocumentOpen},
        {K::Item,      "MnColorsReduce",          "MnColors",          nullptr,        -1, &F::MnColorsReduceClick,          nullptr,                 DocumentOpen},
        {K::Separator, nullptr,                   "MnColors",          nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnColorsLoadPalette",     "MnColors",          nullptr,        -1, &F::MnColorsLoadPaletteClick,     nullptr,                 DocumentOpen},
        {K::Item,      "MnColorsSavePalette",     "MnColors",          nullptr,        -1, &F::MnColorsSavePaletteClick,     nullptr,                 DocumentOpen},
        {K::Item,      "MnColorsImagePalette",    "MnColors",          nullptr,        -1, &F::MnColorsImagePaletteClick,    nullptr,                 DocumentOpen},

        {K::Menu,      "MnHelp",                  nullptr,             nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnHelpThemes",            "MnHelp",            "F1",           17, &F::MnHelpThemesClick,            "TBHelp",                nullptr},
        {K::Separator, nullptr,                   "MnHelp",            nullptr,        -1, nullptr,                          nullptr,                 nullptr},
        {K::Item,      "MnHelpAbout",             "MnHelp",            "Alt+F1",       18, &F::MnHelpAboutClick,             "TBAbout",               nullptr},

        // Controls outside the menus that follow the document too.
        {K::Control,   "ToolPanel",               nullptr,             nullptr,        -1, nullptr,                          nullptr,                 DocumentOpen},
        {K::Control,   "EDSpeed",                 nullptr,             nullptr,        -1, nullptr,                          nullptr,                 AnimationStopped},

        // Files people use today.
        {K::Item,      "MnImageLoopCount",        "MnImage",           nullptr,        -1, &F::MnImageLoopCountClick,        nullptr,                 DocumentOpen},
        {K::Item,      "MnImageAllDisplayTimes",  "MnImage",           nullptr,        -1, &F::MnImageAllDisplayTimesClick,  nullptr,                 AnimationStopped},
    };
    // clang-format on
    return rows;
}
