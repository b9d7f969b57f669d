#pragma once
// The editor's three colours and their controls on the colour panel: the swatches SLColor, SRColor
// and STColor with their labels "L", "P" and "T", and the palette strip GColorPalette showing the
// global colour map of the document. The window builds the controls; this object gives them their
// behaviour. The left button sets the drawing colour, the right one the
// background colour, Ctrl with the right one the transparent colour (which is also made the
// background colour). On a swatch or label the colour dialog opens; on the strip the cell's colour
// is taken directly. Nothing happens while no icon is open.

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QWidget;
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
    };
    TEditorColors(const TControls& controls, QObject* parent = nullptr);

    // Surface colours (0xAARRGGBB).
    uint32_t DrawColor() const { return Draw; }
    uint32_t BackColor() const { return Back; }
    uint32_t TransparentColor() const { return Transparent; }

    // The setters take an interface colour (0x00BBGGRR). With fromDialog the colour dialog opens
    // first and its choice replaces the argument; Cancel changes nothing.
    void SetDrawColor(bool fromDialog, uint32_t color = 0);
    void SetBackColor(bool fromDialog, uint32_t color = 0);
    void SetTransparentColor(bool fromDialog, uint32_t color = 0);
    // Black, 0xCCCCCC, 0xCCCCCC, without the setters' checks.
    void ResetColors();
    // Repaints the palette strip (after the document's colour map changed).
    void RepaintPalette();

    // What a press on a swatch or a label does, by button.
    void SwatchPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // What moving over a swatch shows: "R: %d G: %d B: %d" of its colour.
    void SwatchHovered(const QWidget* swatch);
    // What a press on palette cell c does.
    void PaletteCellPressed(int cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void PaletteCellHovered(int cell);

    // The interface colour a swatch shows.
    uint32_t SwatchColor(const QWidget* swatch) const;
    TPaletteStrip* Palette() const { return Controls.Palette; }

    // Hooks set by the owner.
    std::function<bool()> ImageLoaded;
    // Interface colours of the document's global colour map.
    std::function<std::vector<uint32_t>()> PaletteColors;
    // The colour dialog: starts at the given interface colour; nothing on Cancel.
    std::function<std::optional<uint32_t>(uint32_t initial)> ChooseColor;
    // Status-bar feedback: the pixel text, and the status swatch (none = the button face colour).
    std::function<void(const QString& text)> PixelInfo;
    std::function<void(std::optional<uint32_t> interfaceColor)> ColorInfo;

  signals:
    // Interface colours; the sample-text panel follows them (text = drawing, background = back).
    void DrawColorChanged(uint32_t color);
    void BackColorChanged(uint32_t color);
    void TransparentColorChanged(uint32_t color);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Loaded() const { return ImageLoaded && ImageLoaded(); }
    bool Pick(bool fromDialog, uint32_t& color);
    void ShowSwatch(QWidget* swatch, uint32_t color);

    uint32_t Draw = 0xFF000000u;
    uint32_t Back = 0xFFCCCCCCu;
    uint32_t Transparent = 0xFFCCCCCCu;
    uint32_t DialogColor = 0; // the colour last chosen in the dialog

    TControls Controls;
};
