#pragma once
// The colour panel's controls for the document's three colours: the swatches SLColor, SRColor and
// STColor with their labels "L", "P" and "T", the palette strip GColorPalette showing the global
// colour map of the document, and the sample panel TestPanel, whose text shows the drawing colour
// on the background colour. The window builds the controls; this object gives them their behaviour.
//
// The colours belong to the document: a press sets them there, and whoever changes them (these
// controls, the canvas's dropper, a new document) makes the document report ColorsChanged, on which
// the window calls ShowColors. The left button sets the drawing colour, the right one the background
// colour, Ctrl with the right one the transparent colour (which the document also makes the
// background colour). On a swatch or label the colour dialog opens; on the strip the cell's colour
// is taken directly. Nothing happens while no icon is open.

#include "SurfaceColor.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class QWidget;
class TIconDocument;
class TPaletteStrip;

class TEditorColors : public QObject {
    Q_OBJECT

  public:
    struct TControls {
        QWidget* DrawSwatch;        // SLColor
        QWidget* BackSwatch;        // SRColor
        QWidget* TransparentSwatch; // STColor
        QWidget* DrawLabel;         // TLColor
        QWidget* BackLabel;         // TRColor
        QWidget* TransparentLabel;  // TTColor
        TPaletteStrip* Palette;     // GColorPalette
        QWidget* Sample;            // TestPanel
    };
    TEditorColors(TIconDocument& document, const TControls& controls, QObject* parent = nullptr);

    // Shows the document's colours in the swatches and the sample panel.
    void ShowColors();
    // Repaints the palette strip (after the document's colour map changed).
    void RepaintPalette();

    // The colour panel's setters. With fromDialog the colour dialog opens first and its choice
    // replaces the argument; Cancel changes nothing. Nothing happens while no icon is open.
    void SetDrawColor(bool fromDialog, TInterfaceColor color = TInterfaceColor());
    void SetBackColor(bool fromDialog, TInterfaceColor color = TInterfaceColor());
    void SetTransparentColor(bool fromDialog, TInterfaceColor color = TInterfaceColor());

    // What a press on a swatch or a label does, by button.
    void SwatchPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // What moving over a swatch shows: "R: %d G: %d B: %d" of its colour.
    void SwatchHovered(const QWidget* swatch);
    // What a press on palette cell c does.
    void PaletteCellPressed(int cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void PaletteCellHovered(int cell);

    // The colour a swatch shows.
    TInterfaceColor SwatchColor(const QWidget* swatch) const;
    TPaletteStrip* Palette() const { return Controls.Palette; }

    // A palette loaded from a file, shown by the strip in place of the document's colour map while a
    // document is open; an empty one gives the strip back to the document's map.
    void ShowLoadedPalette(std::vector<TInterfaceColor> colors);
    bool ShowsLoadedPalette() const { return !LoadedPalette.empty(); }

  signals:
    // Status-bar feedback: the pixel text, and the status swatch (none = the button face colour).
    void PixelInfo(const QString& text);
    void ColorInfo(std::optional<TInterfaceColor> color);

  protected:
    // The colour dialog, starting at `initial`; nothing on Cancel.
    virtual std::optional<TInterfaceColor> ChooseColor(TInterfaceColor initial);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::vector<TInterfaceColor> LoadedPalette;
    bool Pick(bool fromDialog, TInterfaceColor& color);
    void ShowSwatch(QWidget* swatch, TInterfaceColor color);

    TIconDocument& Document;
    TControls Controls;
    TInterfaceColor DialogColor; // the colour last chosen in the dialog
};
