#include "LanguageTables.h"

#include "Messages.h"
#include "TindraInfoForm.h"
#include "TindraReduceForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include <unordered_map>

namespace tindra {
namespace {

// One row as written below: a row whose `HintOf` names another row takes that row's hint
// in both languages (a tool-bar button runs the same command as its menu item).
struct TRawRow {
    const char* Name;
    const char* HintOf;
    const char* CaptionCz;
    const char* CaptionEn;
    const char* HintCz;
    const char* HintEn;
};

const TRawRow MainRows[] = {
    // Menu items: caption and hint. Hints of check items begin with "x = ".
    {"MnFile", nullptr, "  &Soubor  ", "  &File  ", "Operace se souborem",
     "File operations and manipulations"},
    {"MnFileNew", nullptr, "&Nový", "&New", "Vytvoření nového obrázku", "Create new image"},
    {"MnFileOpen", nullptr, "&Otevřít", "&Open", "Otevření existujícího souboru (GIF, ICO, BMP)",
     "Open existing file (GIF, ICO, BMP)"},
    {"MnFileOpenMru", nullptr, "Otevřít &poslední", "Op&en recent", "Otevření nedávno použitého souboru",
     "Open recently used file"},
    {"MnMRUClear", nullptr, "&Vymazat seznam", "&Clear list", "Vymazání seznamu nedávno otevřených souborů",
     "Clear list of recently used files"},
    {"MnMRUShowPath", nullptr, "&Zobrazovat úplnou cestu", "&Show full path",
     "x = Zobrazovat úplnou cestu k nedávno otevřeným souborům",
     "x = Show full path for recently used files"},
    {"MnFileDownload", nullptr, "Stáhnout z ga&lerie", "Down&load", "Stažení souboru z Marrowby",
     "Download file from Marrowby"},
    {"MnFileSaveFrameAs", nullptr, "Uložit &rámec jako", "Save f&rame as",
     "Uložení aktuálního rámce jako samostatného obrázku", "Save current frame as single image"},
    {"MnFileSaveFrameAsGIF", nullptr, "&GIF", "&GIF", "Uložení aktuálního rámce ve formátu GIF",
     "Save current frame as GIF image"},
    {"MnFileSaveFrameAsICO", nullptr, "&ICO", "&ICO", "Uložení aktuálního rámce ve formátu ICO (256 barev)",
     "Save current frame as ICO (256 colors) image"},
    {"MnFileSaveFrameAsBMP", nullptr, "&BMP", "&BMP", "Uložení aktuálního rámce ve formátu BMP",
     "Save current frame as BMP image"},
    {"MnFileSaveAs", nullptr, "Uložit j&ako", "Save &as", "Uložení obrázku (všech rámců) do souboru GIF",
     "Save image (all frames) as GIF file"},
    {"MnFileSaveWithoutBorder", nullptr, "Ukládat &bez okraje", "Save without &border",
     "x = Ukládat soubory ve formátu 32x32 (bez okraje)", "x = Save files in 32x32 format (without border)"},
    {"MnFileSetup", nullptr, "Nastavení &jazyka", "Language &setup",
     "Výběr jazyka rozhraní (česky / anglicky)", "Select interface language (Czech / English)"},
    {"MnFileExit", nullptr, "&Konec", "E&xit", "Ukončení programu", "Exit programme"},

    {"MnEdit", nullptr, "  Úpr&avy  ", "  &Edit  ", "Editace a úpravy", "Edit and clipboard operations"},
    {"MnEditUndo", nullptr, "&Zpět", "&Undo", "Vrácení poslední změny aktuálního rámce",
     "Undo last change of current frame"},
    {"MnEditUndelete", nullptr, "O&bnovit rámec", "U&ndelete", "Obnovení odstraněného rámce",
     "Restore removed frame"},
    {"MnEditCut", nullptr, "Vy&jmout", "&Cut", "Vyjmutí aktuálního obrázku do schránky",
     "Cut current image to clipboard"},
    {"MnEditCopy", nullptr, "&Kopírovat", "C&opy", "Kopírování aktuálního obrázku do schránky",
     "Copy current image to clipboard"},
    {"MnEditPaste", nullptr, "V&ložit", "&Paste", "Vložení obrázku ze schránky",
     "Paste image from clipboard"},
    {"MnEditClear", nullptr, "Vy&mazat", "C&lear", "Vymazat aktuální obrázek - nahradit barvou pozadí (P)",
     "Clear current image - fill it with background color (P)"},
    {"MnEditInsertFrame", nullptr, "Vlož&it rámec", "&Insert frame", "Vložit nový rámec na určenou pozici",
     "Insert new frame"},
    {"MnEditRemoveFrame", nullptr, "&Odstranit rámec", "&Remove frame", "Odstranění aktuálního rámce",
     "Remove current frame"},
    {"MnEditMoveFrame", nullptr, "&Přesunout rámec", "&Move frame",
     "Přesunutí aktuálního rámce na jinou pozici", "Move current frame to another position"},
    {"MnEditSelectAll", nullptr, "Vybrat &vše", "Select &all", "Výběr celého obrázku", "Select whole image"},

    {"MnView", nullptr, "  &Zobrazit  ", "  &View  ", "Zobrazení obrázku a ovládacích prvků",
     "View image and controls"},
    {"MnViewFrame", nullptr, "&Rámec", "F&rame", "Přechod na jiný rámec obrázku", "Go to another frame"},
    {"MnViewFrameFirst", nullptr, "&První", "Fi&rst", "Zobrazit první rámec", "Show first frame of image"},
    {"MnViewFramePrev", nullptr, "P&ředchozí", "Pr&evious", "Zobrazit předchozí rámec",
     "Show previous frame of image"},
    {"MnViewFrameNext", nullptr, "&Následující", "&Next", "Zobrazit následující rámec",
     "Show next frame of image"},
    {"MnViewFrameLast", nullptr, "Po&slední", "La&st", "Zobrazit poslední rámec", "Show last frame of image"},
    {"MnViewGrid", nullptr, "Mříž&ku", "&Grid", "x = Zobrazit pixelovou mřížku", "x = Show pixel grid"},
    {"MnViewThumbnail", nullptr, "Ná&hled", "&Preview", "x = Zobrazit náhled obrázku",
     "x = Show image preview"},
    {"MnImageAttributes", nullptr, "&Atributy GIF", "GIF &atributes",
     "Zobrazení hlaviček a rozšíření souboru GIF", "Show headers and extensions of GIF file"},
    {"MnViewControlBar", nullptr, "Panel &ovládání", "C&ontrol panel", "x = Zobrazit panel ovládání (nahoře)",
     "x = Show control panel (top)"},
    {"MnViewToolBar", nullptr, "Panel &nástrojů", "Tools pa&nel", "x = Zobrazit panel nástrojů (vlevo)",
     "x = Show image tools panel (left)"},
    {"MnViewColorBar", nullptr, "Pane&l barev a fontů", "Co&lor && font panel",
     "x = Zobrazit panel barev a fontů (dole)", "x = Show color and font panel (bottom)"},

    {"MnImage", nullptr, "  &Obrázek  ", "  &Image  ", "Manipulace s obrázkem", "Image manipulations"},
    {"MnImagePlayAnimation", nullptr, "&Přehrát animaci", "&Play animation", "Přehrávat animaci v náhledu",
     "Play animation in preview panel"},
    {"MnImageStopAnimation", nullptr, "&Zastavit animaci", "S&top animation",
     "Zastavit animaci v náhledu - zobrazit aktuální rámec",
     "Stop animation in preview panel - show current frame"},
    {"MnImageFlipHor", nullptr, "Převrátit &vodorovně", "F&lip horizontally",
     "Převrátit obrázek vodorovně (zrcadlově)", "Flip current image horizontally"},
    {"MnImageFlipVert", nullptr, "Převrátit &svisle", "Flip &vertically",
     "Převrátit obrázek svisle (vzhůru nohama)", "Flip current image vertically"},
    {"MnImageRotate", nullptr, "&Otočit", "R&otate", "Otočit obrázek v úhlu 90, 180 nebo 270°",
     "Rotate current image"},
    {"MnImageDrawBorder", nullptr, "Nakreslit o&kraj", "D&raw border", "Nakreslit okraj kolem obrázku",
     "Draw border around current image"},
    {"MnImageAutoBorder", nullptr, "Kreslit okraj &automaticky", "&Auto border",
     "x = Kreslit okraj automaticky po každé změně obrázku",
     "x = Draw border automatically after image change"},
    {"MnEffects", nullptr, "&Efekty", "&Effects", "Efekty obrázku", "Image effects"},
    {"MnColors", nullptr, "  &Barvy  ", "  &Colors  ", "Nastavení barev", "Color settings"},
    {"MnHelp", nullptr, "  Nápo&věda  ", "  &Help  ", "Nápověda a informace o programu",
     "Help and programme information"},
    {"MnHelpThemes", nullptr, "&Nápověda", "&Help", "Zobrazení nápovědy k programu", "Show programme help"},
    {"MnHelpAbout", nullptr, "&O programu Tindra", "Ab&out Tindra", "Informace o programu",
     "Information about programme"},
    {"MnEditRedo", nullptr, "Znov&u", "R&edo", "Opakování vrácené změny (obrázku nebo rámců)",
     "Redo the change undone last (of the image or the frames)"},
    {"MnEditDuplicateFrame", nullptr, "&Duplikovat rámec", "&Duplicate frame",
     "Vložení kopie aktuálního rámce za něj", "Insert a copy of the current frame after it"},
    {"MnEditMergeRepeats", nullptr, "&Sloučit opakované rámce", "Merge repea&ted frames",
     "Rámec shodný s předchozím se odstraní a jeho čas se přičte k předchozímu",
     "A frame equal to the one before is removed and its time added to that frame"},
    {"MnEditReverseFrames", nullptr, "Obrátit pořadí &rámců", "Re&verse frames",
     "Rámce v opačném pořadí, od posledního k prvnímu", "The frames in the opposite order, last to first"},
    {"MnViewZoomIn", nullptr, "&Zvětšit", "Zoom &in", "Zvětšit obrázek na plátně", "Enlarge the canvas"},
    {"MnViewZoomOut", nullptr, "Zmen&šit", "Zoom o&ut", "Zmenšit obrázek na plátně", "Reduce the canvas"},
    {"MnViewZoomFit", nullptr, "&Přizpůsobit oknu", "&Fit to window",
     "Zvětšení podle velikosti okna", "Zoom that fits the window"},
    {"MnViewZoomActual", nullptr, "&1:1", "&1:1", "Jeden bod obrazovky na bod obrázku",
     "One screen pixel per image pixel"},
    {"MnViewOnionSkin", nullptr, "&Cibulová slupka", "Onion s&kin",
     "x = Ukázat předchozí rámec pod aktuálním", "x = Show previous frame under current one"},
    {"MnViewOnionSkinNext", nullptr, "Cibulová slupka i s následující&m", "Onion skin with ne&xt",
     "x = Ukázat pod aktuálním rámcem i následující (modře)",
     "x = Show next frame under current one too (blue)"},
    {"MnViewTransparency", nullptr, "Průhlednos&t", "&Transparency",
     "x = Ukázat průhlednou barvu jako šachovnici", "x = Show transparent color as checkerboard"},
    // Files people use today.
    {"MnImageLoopCount", nullptr, "Poče&t opakování...", "Loop &count...",
     "Kolikrát se uložená animace opakuje", "How often the saved animation repeats"},
    {"MnImageAllDisplayTimes", nullptr, "&Doba zobrazení všech rámců...", "&Display time of all frames...",
     "Stejná doba zobrazení pro každý rámec", "The same display time for every frame"},
    {"MnFileSaveFrameAsPNG", nullptr, "&PNG", "&PNG", "Uložení aktuálního rámce ve formátu PNG",
     "Save current frame as PNG image"},
    {"MnFileExportSpriteSheet", nullptr, "&Exportovat pás rámců (PNG)...", "Export spri&te sheet (PNG)...",
     "Uložení všech rámců vedle sebe do PNG", "Save all frames side by side as one PNG"},
    // Effects and Colours.
    {"MnEffectsInvert", nullptr, "&Invertovat barvy", "&Invert colors", "Převrácení barev obrázku",
     "Invert the colors of the image"},
    {"MnEffectsGreyscale", nullptr, "Odstíny šed&i", "&Greyscale", "Převod obrázku na odstíny šedi",
     "Turn the image into shades of grey"},
    {"MnEffectsShiftLeft", nullptr, "Posunout v&levo", "Shift &left",
     "Posunutí obrázku o bod vlevo (co vyjede, vrátí se vpravo)",
     "Shift the image one pixel left (what leaves comes back on the right)"},
    {"MnEffectsShiftRight", nullptr, "Posunout v&pravo", "Shift &right",
     "Posunutí obrázku o bod vpravo (co vyjede, vrátí se vlevo)",
     "Shift the image one pixel right (what leaves comes back on the left)"},
    {"MnEffectsShiftUp", nullptr, "Posunout na&horu", "Shift &up",
     "Posunutí obrázku o bod nahoru (co vyjede, vrátí se dole)",
     "Shift the image one pixel up (what leaves comes back at the bottom)"},
    {"MnEffectsShiftDown", nullptr, "Posunout &dolů", "Shift &down",
     "Posunutí obrázku o bod dolů (co vyjede, vrátí se nahoře)",
     "Shift the image one pixel down (what leaves comes back at the top)"},
    {"MnEffectsShadow", nullptr, "&Stín", "Drop &shadow",
     "Stín o bod vpravo dolů v tmavším odstínu barvy pozadí",
     "Shadow one pixel down-right in a darker tone of the background color"},
    {"MnEffectsOutline", nullptr, "&Obrys", "&Outline", "Obrys kolem kresby v kreslící barvě",
     "Outline around the drawing in the drawing color"},
    {"MnEffectsAllFrames", nullptr, "Na &všechny rámce", "&All frames",
     "x = Efekty na všechny rámce (také se Shiftem)", "x = Apply effects to all frames (also with Shift)"},
    {"MnColorsReplace", nullptr, "&Nahradit barvu", "&Replace color",
     "Nahrazení kreslící barvy barvou pozadí v tomto rámci (Shift: ve všech)",
     "Replace the drawing color with the background color in this frame (Shift: all)"},
    {"MnColorsReplaceAll", nullptr, "Nahradit barvu ve &všech rámcích", "Replace color in &all frames",
     "Nahrazení kreslící barvy barvou pozadí ve všech rámcích",
     "Replace the drawing color with the background color in all frames"},
    {"MnColorsReduce", nullptr, "&Snížit počet barev...", "Re&duce colors...",
     "Snížení počtu barev aktuálního rámce (2 až 256) s rozptylováním",
     "Reduce the colors of the current frame (2 to 256) with dithering"},
    {"MnColorsLoadPalette", nullptr, "Načíst &paletu...", "&Load palette...",
     "Načtení palety ze souboru GIMP (.gpl) nebo JASC (.pal) do pruhu barev",
     "Load a GIMP (.gpl) or JASC (.pal) palette file into the color strip"},
    {"MnColorsSavePalette", nullptr, "&Uložit paletu...", "&Save palette...",
     "Uložení barev pruhu do souboru GIMP (.gpl) nebo JASC (.pal)",
     "Save the colors of the color strip as a GIMP (.gpl) or JASC (.pal) file"},
    {"MnColorsImagePalette", nullptr, "Paleta &obrázku", "&Image palette",
     "Zobrazení barev obrázku v pruhu barev místo načtené palety",
     "Show the image's colors in the color strip instead of a loaded palette"},
    {"MnFileModernIco", nullptr, "ICO i 32bitové a &16 × 16", "ICO also 32-bit and &16 × 16",
     "x = ICO navíc s 32bitovým obrázkem a velikostí 16 × 16", "x = ICO with 32-bit and 16 × 16 images too"},
    {"MnFileOptimizeGif", nullptr, "Optimalizovat &velikost souboru", "Optimise file si&ze",
     "x = animovaný GIF ukládá u dalších snímků jen změněnou část", "x = animated GIF saves only the changed part of later frames"},

    // Other controls: hint only.
    {"MRU", nullptr, nullptr, nullptr, "Otevření uvedeného souboru", "Open selected file"},
    {"TBFileNew", "MnFileNew", nullptr, nullptr, nullptr, nullptr},
    {"TBFileOpen", "MnFileOpen", nullptr, nullptr, nullptr, nullptr},
    {"TBFileSave", "MnFileSaveAs", nullptr, nullptr, nullptr, nullptr},
    {"TBFileSaveFrameAsGIF", "MnFileSaveFrameAsGIF", nullptr, nullptr, nullptr, nullptr},
    {"TBFileSaveFrameAsICO", "MnFileSaveFrameAsICO", nullptr, nullptr, nullptr, nullptr},
    {"TBFileSaveFrameAsBMP", "MnFileSaveFrameAsBMP", nullptr, nullptr, nullptr, nullptr},
    {"TBSetup", "MnFileSetup", nullptr, nullptr, nullptr, nullptr},
    {"TBEditCut", "MnEditCut", nullptr, nullptr, nullptr, nullptr},
    {"TBEditCopy", "MnEditCopy", nullptr, nullptr, nullptr, nullptr},
    {"TBEditPaste", "MnEditPaste", nullptr, nullptr, nullptr, nullptr},
    {"TBEditClear", "MnEditClear", nullptr, nullptr, nullptr, nullptr},
    {"TBEditInsertFrame", "MnEditInsertFrame", nullptr, nullptr, nullptr, nullptr},
    {"TBEditRemoveFrame", "MnEditRemoveFrame", nullptr, nullptr, nullptr, nullptr},
    {"TBEditMoveFrame", "MnEditMoveFrame", nullptr, nullptr, nullptr, nullptr},
    {"TBViewGrid", nullptr, nullptr, nullptr, "Zobrazit/skrýt pixelovou mřížku", "Show/hide pixel grid"},
    {"TBViewThumbnail", nullptr, nullptr, nullptr, "Zobrazit/skrýt náhled obrázku",
     "Show/hide image preview"},
    {"TBHelp", "MnHelpThemes", nullptr, nullptr, nullptr, nullptr},
    {"TBAbout", nullptr, nullptr, nullptr, "Informace o programu", "About Tindra"},
    {"TBExit", nullptr, nullptr, nullptr, "Ukončení programu", "Exit"},
    {"SBToolColorDropper", nullptr, nullptr, nullptr, "Pipeta - výběr barvy na pozici kurzoru (I)",
     "Pipette - select color at cursor position (I)"},
    {"SBToolPen", nullptr, nullptr, nullptr, "Tužka - kreslení po obrázku (P)", "Pencil - draw onto image (P)"},
    {"SBToolBrush", nullptr, nullptr, nullptr, "Štětec - malování po obrázku (B)", "Brush - paint onto image (B)"},
    {"SBToolFloodFill", nullptr, nullptr, nullptr, "Kádinka - výplň části obrázku (G)",
     "Beaker - fill image part (G)"},
    {"SBToolLine", nullptr, nullptr, nullptr, "Čára - kreslení čáry (L)", "Line - draw line (L)"},
    {"SBToolRectangle", nullptr, nullptr, nullptr,
     "Obdélník - kreslení obdélníku nebo čtverce, popř. s výplní (R)",
     "Rectangle - draw rectangle or square, empty or filled (R)"},
    {"SBToolEllipse", nullptr, nullptr, nullptr, "Elipsa - kreslení elipsy nebo kružnice, popř. s výplní (E)",
     "Ellipse - draw ellipse or circle, empty or filled (E)"},
    {"SBToolText", nullptr, nullptr, nullptr, "Text - psaní textu (T)", "Text - write text (T)"},
    {"EDSpeed", nullptr, nullptr, nullptr, "Doba zobrazení aktuálního rámce (v milisekundách)",
     "Display time for current frame (in miliseconds)"},
    {"TLColor", "SLColor", nullptr, nullptr, nullptr, nullptr},
    {"TRColor", "SRColor", nullptr, nullptr, nullptr, nullptr},
    {"TTColor", "STColor", nullptr, nullptr, nullptr, nullptr},
    {"SLColor", nullptr, nullptr, nullptr, "Kreslící barva (levé tlačítko myši)",
     "Drawing color (left mouse button)"},
    {"SRColor", nullptr, nullptr, nullptr, "Barva pozadí (pravé tlačítko myši)",
     "Background color (right mouse button)"},
    {"STColor", nullptr, nullptr, nullptr, "Transparentní (průhledná) barva (Ctrl + pravé tlačítko myši)",
     "Transparent color (Ctrl + right mouse button)"},
    {"SBFontSelect", nullptr, nullptr, nullptr, "Výběr fontu pro nástroj Text", "Select font for text tool"},
    {"CBFontName", nullptr, nullptr, nullptr, "Název fontu", "Font name"},
    {"CBFontSize", nullptr, nullptr, nullptr, "Velikost fontu", "Font size"},
    {"SBBold", nullptr, nullptr, nullptr, "Tučné písmo", "Bold"},
    {"SBItalics", nullptr, nullptr, nullptr, "Kurzíva", "Italics"},
    {"SBUnderline", nullptr, nullptr, nullptr, "Podtržené písmo", "Underline"},
    {"GColorPalette", nullptr, nullptr, nullptr,
     "Paleta barev obrázku (levé, pravé nebo Ctrl + pravé tlačítko myši)",
     "Image color palette (left, right or Ctrl + right mouse button)"},
    {"TestPanel", nullptr, nullptr, nullptr, "Ukázka písma pro nástroj Text (klepnutím změníte text)",
     "Font sample for text tool (click to change the text)"},
    {"PME1", nullptr, nullptr, nullptr, "Elipsa", "Ellipse"},
    {"PME2", nullptr, nullptr, nullptr, "Elipsa s výplní", "Filled ellipse"},
    {"PME3", nullptr, nullptr, nullptr, "Kružnice", "Circle"},
    {"PME4", nullptr, nullptr, nullptr, "Kruh s výplní", "Filled circle"},
    {"PMR1", nullptr, nullptr, nullptr, "Obdélník", "Rectangle"},
    {"PMR2", nullptr, nullptr, nullptr, "Obdélník s výplní", "Filled rectangle"},
    {"PMR3", nullptr, nullptr, nullptr, "Čtverec", "Square"},
    {"PMR4", nullptr, nullptr, nullptr, "Čtverec s výplní", "Filled square"},
    {"ImThumbnail", nullptr, nullptr, nullptr, "Náhled obrázku (klepnutím spustíte nebo zastavíte animaci)",
     "Image preview (click to play or stop animation)"},
    {"SBPlay", nullptr, nullptr, nullptr, "Přehrávat animaci v náhledu", "Play animation"},
    {"SBStop", nullptr, nullptr, nullptr, "Zastavit animaci v náhledu - zobrazit aktuální rámec",
     "Stop animation - show current frame"},
    {"SBFirst", nullptr, nullptr, nullptr, "Zobrazit první rámec", "Show first frame"},
    {"SBPrev", nullptr, nullptr, nullptr, "Zobrazit předchozí rámec", "Show previous frame"},
    {"SBNext", nullptr, nullptr, nullptr, "Zobrazit následující rámec", "Show next frame"},
    {"SBLast", nullptr, nullptr, nullptr, "Zobrazit poslední rámec", "Show last frame"},
    {"LBImageBox", nullptr, nullptr, nullptr, "Seznam rámců obrázku", "Picture frames list"},
    {"LBSpeedHint", nullptr, nullptr, nullptr, "Prohlížeče přehrávají 10 ms a méně jako 100 ms",
     "Browsers play 10 ms or less as 100 ms"},
    {"SBZoomInfo", nullptr, nullptr, nullptr, "Zvětšení: body obrazovky na bod obrázku (Ctrl + kolečko myši)",
     "Zoom: screen pixels per image pixel (Ctrl + mouse wheel)"},
    // The selection, the mover and the pen size.
    {"SBToolMover", nullptr, nullptr, nullptr,
     "Posun - přesunutí výběru (bez něj celého obrázku); šipky o jeden bod (V)",
     "Mover - move the selection (or the whole image); arrow keys step one pixel (V)"},
    {"SBToolSelect", nullptr, nullptr, nullptr, "Výběr - označení obdélníkové části obrázku; Esc výběr zruší (M)",
     "Select - mark a rectangular part of the image; Esc drops the selection (M)"},
    {"EdToolSize", nullptr, nullptr, nullptr, "Šířka čáry pro tužku, štětec, čáru a obrysy tvarů (1 až 5 bodů)",
     "Line width of pencil, brush, line and shape outlines (1 to 5 pixels)"},
    // Undo and Redo on the tool bar.
    {"TBEditUndo", "MnEditUndo", nullptr, nullptr, nullptr, nullptr},
    {"TBEditRedo", "MnEditRedo", nullptr, nullptr, nullptr, nullptr},
};

static_assert(sizeof(MainRows) / sizeof(MainRows[0]) == MainWindowRows, "main window table has 149 rows");

std::vector<TControlText> ResolveMainRows() {
    std::unordered_map<std::string, const TRawRow*> byName;
    for (const TRawRow& row : MainRows)
        byName[row.Name] = &row;
    std::vector<TControlText> rows;
    rows.reserve(MainWindowRows);
    for (const TRawRow& raw : MainRows) {
        const TRawRow* hintSource = raw.HintOf ? byName.at(raw.HintOf) : &raw;
        TControlText row;
        row.Name = raw.Name;
        row.Caption[LanguageCzech] = raw.CaptionCz;
        row.Caption[LanguageEnglish] = raw.CaptionEn;
        row.Hint[LanguageCzech] = hintSource->HintCz;
        row.Hint[LanguageEnglish] = hintSource->HintEn;
        rows.push_back(row);
    }
    return rows;
}

TControlText CaptionRow(const char* name, const char* czech, const char* english) {
    TControlText row;
    row.Name = name;
    row.Caption[LanguageCzech] = czech;
    row.Caption[LanguageEnglish] = english;
    return row;
}

// A link label of the about dialog: the same text in both languages, its address as hint.
TControlText LinkRow(const char* name, const char* text, const char* address) {
    TControlText row = CaptionRow(name, text, text);
    row.Hint[LanguageCzech] = address;
    row.Hint[LanguageEnglish] = address;
    return row;
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

void SetHint(QObject* object, const QString& hint) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        widget->setStatusTip(hint);
        widget->setToolTip(hint);
    }
}

void SetCaption(QObject* object, const QString& caption) {
    if (auto* action = qobject_cast<QAction*>(object))
        action->setText(caption);
    else if (auto* menu = qobject_cast<QMenu*>(object))
        menu->setTitle(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(object))
        button->setText(caption);
    else if (auto* label = qobject_cast<QLabel*>(object))
        label->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(object))
        group->setTitle(caption);
    else if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow())
        widget->setWindowTitle(caption);
}

// The object that shows a control's texts: a menu shows them through its menu action, a
// tool button that runs an action through that action.
QObject* TextTarget(QObject* object) {
    if (auto* menu = qobject_cast<QMenu*>(object)) return menu->menuAction();
    if (auto* button = qobject_cast<QToolButton*>(object); button && button->defaultAction())
        return button->defaultAction();
    return object;
}

} // namespace

const std::vector<TControlText>& MainWindowTexts() {
    static const std::vector<TControlText> rows = ResolveMainRows();
    return rows;
}

const TControlText* FindMainWindowText(const std::string& name) {
    for (const TControlText& row : MainWindowTexts())
        if (name == row.Name) return &row;
    return nullptr;
}

const TDialogTexts& AboutTexts() {
    static const TDialogTexts texts = [] {
        TDialogTexts t;
        t.Caption[LanguageCzech] = "Tindra - o programu";
        t.Caption[LanguageEnglish] = "Tindra - about";
        t.Controls = {
            CaptionRow("LabelVersion", "Verze", "Version"),
            CaptionRow("LabelGalleryLink", "Marrowby", "Marrowby"),
            CaptionRow("LabelProgrammer", "Copyright © 2026", "Copyright © 2026"),
            CaptionRow("LabelProgrammLanguage", "Napsáno v jazyce", "Written in"),
            LinkRow("LabelLanguageLink", "C++", "https://isocpp.org/"),
            CaptionRow("LabelUsing", "s knihovnou", "using"),
            LinkRow("LabelLibraryLink", "Qt", "https://www.qt.io/"),
            CaptionRow("LabelAnd", "a vlastním kodekem GIF", "and its own GIF codec"),
        };
        return t;
    }();
    return texts;
}

const TDialogTexts& RotationTexts() {
    static const TDialogTexts texts = [] {
        TDialogTexts t;
        t.Caption[LanguageCzech] = "Tindra - rotace";
        t.Caption[LanguageEnglish] = "Tindra - rotation";
        t.Controls = {
            CaptionRow("RBAngle", "Úhel rotace", "Angle"),
            CaptionRow("RBother", "&jiný", "&other"),
            CaptionRow("CancelButton", "Zrušit", "Cancel"),
            CaptionRow("CBFrameDraw", "Otáčet i okraj (rámeček)", "Rotate including border"),
        };
        return t;
    }();
    return texts;
}

const TDialogTexts& MoveFrameTexts() {
    static const TDialogTexts texts = [] {
        TDialogTexts t;
        t.Caption[LanguageCzech] = "Tindra";
        t.Caption[LanguageEnglish] = "Tindra";
        t.Controls = {
            CaptionRow("STMoveFrame", "Přesunout rámec", "Move frame"),
            CaptionRow("STPosition", "na pozici:", "to position:"),
            CaptionRow("CancelButton", "Zrušit", "Cancel"),
        };
        return t;
    }();
    return texts;
}

const TDialogTexts& HelpTexts() {
    static const TDialogTexts texts = [] {
        TDialogTexts t;
        t.Caption[LanguageCzech] = "Tindra - nápověda";
        t.Caption[LanguageEnglish] = "Tindra - help";
        return t;
    }();
    return texts;
}

const TDialogTexts& ReduceTexts() {
    static const TDialogTexts texts = [] {
        TDialogTexts t;
        t.Caption[LanguageCzech] = "Tindra - snížení počtu barev";
        t.Caption[LanguageEnglish] = "Tindra - reduce colors";
        t.Controls = {
            CaptionRow("STColors", "&Počet barev:", "&Colors:"),
            CaptionRow("STDither", "&Rozptylování:", "&Dithering:"),
            CaptionRow("CancelButton", "Zrušit", "Cancel"),
        };
        return t;
    }();
    return texts;
}

const TDialogTexts& InfoTexts() {
    static const TDialogTexts texts = [] {
        TDialogTexts t;
        t.Caption[LanguageCzech] = "Tindra - atributy GIF";
        t.Caption[LanguageEnglish] = "Tindra - GIF attributes";
        // The two column captions of ListViewInfo.
        t.Controls = {CaptionRow("ListViewInfo", "Položka", "Field"), CaptionRow("ListViewInfoValue", "Hodnota", "Value")};
        return t;
    }();
    return texts;
}

std::vector<std::string> ApplyControlTexts(QObject* root, const std::vector<TControlText>& rows,
                                           int languageIndex) {
    const int language = NormalizedLanguage(languageIndex);
    std::vector<std::string> missing;
    for (const TControlText& row : rows) {
        QObject* object = root->findChild<QObject*>(QString::fromLatin1(row.Name));
        if (!object) {
            missing.emplace_back(row.Name);
            continue;
        }
        QObject* target = TextTarget(object);
        if (row.Caption[language]) SetCaption(target, Text(row.Caption[language]));
        if (row.Hint[language]) SetHint(target, Text(row.Hint[language]));
    }
    return missing;
}

std::vector<std::string> ApplyDialogTexts(QWidget* dialog, const TDialogTexts& texts, int languageIndex) {
    const int language = NormalizedLanguage(languageIndex);
    if (texts.Caption[language]) dialog->setWindowTitle(Text(texts.Caption[language]));
    return ApplyControlTexts(dialog, texts.Controls, language);
}

void ApplyAboutLanguage(QWidget* aboutForm, int languageIndex, const std::string& version) {
    ApplyDialogTexts(aboutForm, AboutTexts(), languageIndex);
    const int language = NormalizedLanguage(languageIndex);
    if (auto* label = aboutForm->findChild<QLabel*>(QStringLiteral("LabelVersion")))
        label->setText(Text(AboutTexts().Controls[0].Caption[language]) + QLatin1Char(' ') +
                       QString::fromStdString(version));
    if (auto* link = aboutForm->findChild<QLabel*>(QStringLiteral("LabelGalleryLink"))) {
        const QString address = QString::fromStdString(MakerLink(language));
        link->setToolTip(address);
        link->setStatusTip(address);
    }
}

void ApplyRotationLanguage(QWidget* angleForm, int languageIndex) {
    ApplyDialogTexts(angleForm, RotationTexts(), languageIndex);
}

void ApplyMoveFrameLanguage(QWidget* moveFrameForm, int languageIndex) {
    ApplyDialogTexts(moveFrameForm, MoveFrameTexts(), languageIndex);
}

void ApplyReduceLanguage(QWidget* reduceForm, int languageIndex) {
    ApplyDialogTexts(reduceForm, ReduceTexts(), languageIndex);
    const bool english = NormalizedLanguage(languageIndex) == LanguageEnglish;
    if (auto* form = qobject_cast<TTindraReduceForm*>(reduceForm))
        form->SetDitherNames({english ? "None (nearest color)" : Text("Žádné (nejbližší barva)"), "Floyd-Steinberg",
                              "Stucki", "Sierra", "Jarvis-Judice-Ninke", "Stevenson-Arce", "Burkes"});
}

void ApplyInfoLanguage(QWidget* infoForm, int languageIndex) {
    const int language = NormalizedLanguage(languageIndex);
    const TDialogTexts& texts = InfoTexts();
    infoForm->setWindowTitle(Text(texts.Caption[language]));
    if (auto* form = qobject_cast<TTindraInfoForm*>(infoForm))
        form->SetColumnTexts(Text(texts.Controls[0].Caption[language]), Text(texts.Controls[1].Caption[language]));
}

} // namespace tindra
