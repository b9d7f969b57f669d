#include "EditorColors.h"

#include "PaletteStrip.h"
#include "SurfaceColor.h"

#include <QColorDialog>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

constexpr const char* SwatchColorProperty = "SwatchColor";

QColor ToQColor(uint32_t c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
uint32_t FromQColor(const QColor& c) {
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

QString RgbText(uint32_t c) {
    return QString::asprintf("R: %d G: %d B: %d", int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

TEditorColors::TEditorColors(const TControls& controls, QObject* parent)
    : QObject(parent), Controls(controls) {
    for (QWidget* w : {Controls.DrawSwatch, Controls.BackSwatch, Controls.TransparentSwatch,
                       Controls.DrawLabel, Controls.BackLabel, Controls.TransparentLabel}) {
        w->installEventFilter(this);
        w->setMouseTracking(true);
    }
    Controls.Palette->SetSource(
        [this] { return Loaded() && PaletteColors ? PaletteColors() : std::vector<uint32_t>(); });
    connect(Controls.Palette, &TPaletteStrip::CellPressed, this, &TEditorColors::PaletteCellPressed);
    connect(Controls.Palette, &TPaletteStrip::CellHovered, this, &TEditorColors::PaletteCellHovered);

    ChooseColor = [this](uint32_t initial) -> std::optional<uint32_t> {
        const QColor c = QColorDialog::getColor(ToQColor(initial), Controls.Palette->window());
        if (!c.isValid()) return std::nullopt;
        return FromQColor(c);
    };
    ResetColors();
}

void TEditorColors::ShowSwatch(QWidget* swatch, uint32_t color) {
    swatch->setProperty(SwatchColorProperty, uint(color & 0xFFFFFFu));
    swatch->setStyleSheet(QString("background-color: %1;").arg(ToQColor(color).name()));
}

uint32_t TEditorColors::SwatchColor(const QWidget* swatch) const {
    return swatch->property(SwatchColorProperty).toUInt();
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
    ShowSwatch(Controls.DrawSwatch, color);
    emit DrawColorChanged(color);
}

void TEditorColors::SetBackColor(bool fromDialog, uint32_t color) {
    if (!Pick(fromDialog, color)) return;
    Back = ToSurfaceColor(color);
    ShowSwatch(Controls.BackSwatch, color);
    emit BackColorChanged(color);
}

void TEditorColors::SetTransparentColor(bool fromDialog, uint32_t color) {
    if (!Pick(fromDialog, color)) return;
    // The transparent colour becomes the background colour (the right button's) too.
    Back = ToSurfaceColor(color);
    Transparent = Back;
    ShowSwatch(Controls.BackSwatch, color);
    ShowSwatch(Controls.TransparentSwatch, color);
    emit BackColorChanged(color);
    emit TransparentColorChanged(color);
}

void TEditorColors::ResetColors() {
    Draw = DefaultDrawColor;
    Back = DefaultBackColor;
    Transparent = DefaultTransparentColor;
    ShowSwatch(Controls.DrawSwatch, ToInterfaceColor(Draw));
    ShowSwatch(Controls.BackSwatch, ToInterfaceColor(Back));
    ShowSwatch(Controls.TransparentSwatch, ToInterfaceColor(Transparent));
    emit DrawColorChanged(ToInterfaceColor(Draw));
    emit BackColorChanged(ToInterfaceColor(Back));
    emit TransparentColorChanged(ToInterfaceColor(Transparent));
}

void TEditorColors::RepaintPalette() {
    Controls.Palette->viewport()->update();
}

void TEditorColors::SwatchPressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    // Which swatch or label was hit does not matter, only the button does.
    if (button == Qt::LeftButton)
        SetDrawColor(true);
    else if (button == Qt::RightButton && (modifiers & Qt::ControlModifier))
        SetTransparentColor(true);
    else if (button == Qt::RightButton)
        SetBackColor(true);
}

void TEditorColors::SwatchHovered(const QWidget* swatch) {
    if (PixelInfo) PixelInfo(RgbText(SwatchColor(swatch)));
}

void TEditorColors::PaletteCellPressed(int cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    const std::vector<uint32_t> colors = Controls.Palette->Colors();
    if (cell < 0 || cell >= int(colors.size())) return;
    const uint32_t e = colors[cell];
    if (button == Qt::LeftButton)
        SetDrawColor(false, e);
    else if (button == Qt::RightButton && (modifiers & Qt::ControlModifier))
        SetTransparentColor(false, e);
    else if (button == Qt::RightButton)
        SetBackColor(false, e);
}

void TEditorColors::PaletteCellHovered(int cell) {
    const std::vector<uint32_t> colors = Controls.Palette->Colors();
    if (cell < 0 || cell >= int(colors.size())) {
        if (PixelInfo) PixelInfo(QString());
        if (ColorInfo) ColorInfo(std::nullopt);
        return;
    }
    const uint32_t e = colors[cell];
    if (PixelInfo) PixelInfo(QString::number(cell) + "/" + RgbText(e));
    if (ColorInfo) ColorInfo(e);
}

bool TEditorColors::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    const bool swatch =
        w == Controls.DrawSwatch || w == Controls.BackSwatch || w == Controls.TransparentSwatch;
    const bool label = w == Controls.DrawLabel || w == Controls.BackLabel || w == Controls.TransparentLabel;
    if (event->type() == QEvent::MouseButtonPress && (swatch || label)) {
        auto* me = static_cast<QMouseEvent*>(event);
        SwatchPressed(me->button(), me->modifiers());
        return true;
    }
    if (event->type() == QEvent::MouseMove && swatch) {
        SwatchHovered(w);
        return true; // the window's own pointer clearing must not undo the text
    }
    return QObject::eventFilter(watched, event);
}
