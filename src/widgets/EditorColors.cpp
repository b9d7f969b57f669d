#include "EditorColors.h"

#include "ColorSwatch.h"
#include "PaletteStrip.h"
#include "SurfaceColor.h"

#include <QColorDialog>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

QColor ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t FromQColor(const QColor& c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

QString RgbText(uint32_t c) {
    return QString::asprintf("R: %d G: %d B: %d", int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

TEditorColors::TEditorColors(QWidget* colorPanel) : QObject(colorPanel) {
    auto makeSwatch = [&](const char* name, int x) {
        auto* s = new TColorSwatch(colorPanel);
        s->setObjectName(name);
        s->move(x, 24);
        connect(s, &TColorSwatch::Pressed, this, &TEditorColors::SwatchPressed);
        connect(s, &TColorSwatch::Hovered, this, [this, s] { ShowSwatchColor(s); });
        return s;
    };
    auto makeLabel = [&](const char* name, const char* text, int x) {
        auto* l = new QLabel(QString::fromLatin1(text), colorPanel);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(x, 8, 16, 14);
        l->installEventFilter(this);
        return l;
    };
    SLColor = makeSwatch("SLColor", 8);
    SRColor = makeSwatch("SRColor", 32);
    STColor = makeSwatch("STColor", 56);
    TLColor = makeLabel("TLColor", "L", 8);
    TRColor = makeLabel("TRColor", "P", 32);
    TTColor = makeLabel("TTColor", "T", 56);

    GColorPalette = new TPaletteStrip(colorPanel);
    GColorPalette->setGeometry(80, 8, 273, 33);
    GColorPalette->SetSource([this] {
        return Loaded() && PaletteColors ? PaletteColors() : std::vector<uint32_t>();
    });
    connect(GColorPalette, &TPaletteStrip::CellPressed, this, &TEditorColors::PaletteCellPressed);
    connect(GColorPalette, &TPaletteStrip::CellHovered, this, &TEditorColors::PaletteCellHovered);

    ChooseColor = [this](uint32_t initial) -> std::optional<uint32_t> {
        const QColor c = QColorDialog::getColor(ToQColor(initial), GColorPalette->window());
        if (!c.isValid()) return std::nullopt;
        return FromQColor(c);
    };
    ResetColors();
}

bool TEditorColors::Pick(bool fromDialog, uint32_t& color) {
    if (!Loaded()) return false;
    if (fromDialog) {
        if (!ChooseColor) return false;
        const std::optional<uint32_t> chosen = ChooseColor(DialogColor);
        if (!chosen) return false;
        DialogColor = *chosen;
        color = *chosen;
    }
    return true;
}

void TEditorColors::SetDrawColor(bool fromDialog, uint32_t color) {
    if (!Pick(fromDialog, color)) return;
    Draw = ToSurfaceColor(color);
    SLColor->SetColor(color);
    emit DrawColorChanged(color);
}

void TEditorColors::SetBackColor(bool fromDialog, uint32_t color) {
    if (!Pick(fromDialog, color)) return;
    Back = ToSurfaceColor(color);
    SRColor->SetColor(color);
    emit BackColorChanged(color);
}

void TEditorColors::SetTransparentColor(bool fromDialog, uint32_t color) {
    if (!Pick(fromDialog, color)) return;
    // The transparent colour becomes the background colour too.
    Back = ToSurfaceColor(color);
    Transparent = Back;
    SRColor->SetColor(color);
    STColor->SetColor(color);
    emit BackColorChanged(color);
    emit TransparentColorChanged(color);
}

void TEditorColors::ResetColors() {
    Draw = DefaultDrawColor;
    Back = DefaultBackColor;
    Transparent = DefaultTransparentColor;
    SLColor->SetColor(ToInterfaceColor(Draw));
    SRColor->SetColor(ToInterfaceColor(Back));
    STColor->SetColor(ToInterfaceColor(Transparent));
    emit DrawColorChanged(ToInterfaceColor(Draw));
    emit BackColorChanged(ToInterfaceColor(Back));
    emit TransparentColorChanged(ToInterfaceColor(Transparent));
}

void TEditorColors::RepaintPalette() { GColorPalette->viewport()->update(); }

void TEditorColors::SwatchPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    // Which swatch or label was hit does not matter, only the button does.
    if (button == Qt::LeftButton) SetDrawColor(true);
    else if (button == Qt::RightButton && (modifiers & Qt::ControlModifier)) SetTransparentColor(true);
    else if (button == Qt::RightButton) SetBackColor(true);
}

void TEditorColors::PaletteCellPressed(int cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    const std::vector<uint32_t> colors = GColorPalette->Colors();
    if (cell < 0 || cell >= int(colors.size())) return;
    const uint32_t e = colors[cell];
    if (button == Qt::LeftButton) SetDrawColor(false, e);
    else if (button == Qt::RightButton && (modifiers & Qt::ControlModifier)) SetTransparentColor(false, e);
    else if (button == Qt::RightButton) SetBackColor(false, e);
}

void TEditorColors::PaletteCellHovered(int cell) {
    const std::vector<uint32_t> colors = GColorPalette->Colors();
    if (cell < 0 || cell >= int(colors.size())) {
        if (PixelInfo) PixelInfo(QString());
        if (ColorInfo) ColorInfo(std::nullopt);
        return;
    }
    const uint32_t e = colors[cell];
    if (PixelInfo) PixelInfo(QString::number(cell) + "/" + RgbText(e));
    if (ColorInfo) ColorInfo(e);
}

void TEditorColors::ShowSwatchColor(const TColorSwatch* swatch) {
    if (PixelInfo) PixelInfo(RgbText(swatch->Color()));
}

bool TEditorColors::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == TLColor || watched == TRColor || watched == TTColor)) {
        auto* me = static_cast<QMouseEvent*>(event);
        SwatchPressed(me->button(), me->modifiers());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
