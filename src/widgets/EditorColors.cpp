#include "EditorColors.h"

#include "GIFPicture.h"
#include "IconDocument.h"
#include "PaletteStrip.h"
#include "QtColor.h"

#include <QColorDialog>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

constexpr const char* SwatchColorProperty = "SwatchColor";

QString RgbText(TInterfaceColor c) {
    return QString::asprintf("R: %d G: %d B: %d", c.Red(), c.Green(), c.Blue());
}

} // namespace

TEditorColors::TEditorColors(TIconDocument& document, const TControls& controls, QObject* parent)
    : QObject(parent), Document(document), Controls(controls) {
    for (QWidget* w : {Controls.DrawSwatch, Controls.BackSwatch, Controls.TransparentSwatch,
                       Controls.DrawLabel, Controls.BackLabel, Controls.TransparentLabel}) {
        w->installEventFilter(this);
        w->setMouseTracking(true);
    }
    // The strip shows the global colour map of the document's frames, and nothing without a document.
    Controls.Palette->SetSource([this] {
        std::vector<TInterfaceColor> colors;
        if (!Document.ImageLoaded()) return colors;
        if (!LoadedPalette.empty()) return LoadedPalette;
        const TGIFColorMap& map = Document.Frames40().GlobalColorMap();
        for (int i = 0; i < map.Count(); ++i)
            colors.push_back(TInterfaceColor(map.ColorAt(i)));
        return colors;
    });
    connect(Controls.Palette, &TPaletteStrip::CellPressed, this, &TEditorColors::PaletteCellPressed);
    connect(Controls.Palette, &TPaletteStrip::CellHovered, this, &TEditorColors::PaletteCellHovered);
    ShowColors();
}

std::optional<TInterfaceColor> TEditorColors::ChooseColor(TInterfaceColor initial) {
    const QColor c = QColorDialog::getColor(ToQColor(initial), Controls.Palette->window());
    if (!c.isValid()) return std::nullopt;
    return ToInterfaceColor(c);
}

void TEditorColors::ShowSwatch(QWidget* swatch, TInterfaceColor color) {
    swatch->setProperty(SwatchColorProperty, uint(color.Value & 0xFFFFFFu));
    swatch->setStyleSheet(SwatchStyle(color));
}

TInterfaceColor TEditorColors::SwatchColor(const QWidget* swatch) const {
    return TInterfaceColor(swatch->property(SwatchColorProperty).toUInt());
}

void TEditorColors::ShowColors() {
    const TInterfaceColor draw = ToInterfaceColor(Document.DrawColor());
    const TInterfaceColor back = ToInterfaceColor(Document.BackColor());
    ShowSwatch(Controls.DrawSwatch, draw);
    ShowSwatch(Controls.BackSwatch, back);
    ShowSwatch(Controls.TransparentSwatch, ToInterfaceColor(Document.TransparentColor()));
    Controls.Sample->setStyleSheet(
        QString("background-color: %1; color: %2;").arg(ToQColor(back).name(), ToQColor(draw).name()));
}

bool TEditorColors::Pick(bool fromDialog, TInterfaceColor& color) {
    if (!Document.ImageLoaded()) return false;
    if (fromDialog) {
        const std::optional<TInterfaceColor> chosen = ChooseColor(DialogColor);
        if (!chosen) return false;
        DialogColor = *chosen;
        color = *chosen;
    }
    return true;
}

void TEditorColors::SetDrawColor(bool fromDialog, TInterfaceColor color) {
    if (Pick(fromDialog, color)) Document.SetDrawColor(ToSurfaceColor(color));
}

void TEditorColors::SetBackColor(bool fromDialog, TInterfaceColor color) {
    if (Pick(fromDialog, color)) Document.SetBackColor(ToSurfaceColor(color));
}

void TEditorColors::SetTransparentColor(bool fromDialog, TInterfaceColor color) {
    if (Pick(fromDialog, color)) Document.SetTransparentColor(ToSurfaceColor(color));
}

void TEditorColors::ShowLoadedPalette(std::vector<TInterfaceColor> colors) {
    LoadedPalette = std::move(colors);
    RepaintPalette();
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
    emit PixelInfo(RgbText(SwatchColor(swatch)));
}

void TEditorColors::PaletteCellPressed(int cell, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    const std::vector<TInterfaceColor> colors = Controls.Palette->Colors();
    if (cell < 0 || cell >= int(colors.size())) return;
    const TInterfaceColor e = colors[cell];
    if (button == Qt::LeftButton)
        SetDrawColor(false, e);
    else if (button == Qt::RightButton && (modifiers & Qt::ControlModifier))
        SetTransparentColor(false, e);
    else if (button == Qt::RightButton)
        SetBackColor(false, e);
}

void TEditorColors::PaletteCellHovered(int cell) {
    const std::vector<TInterfaceColor> colors = Controls.Palette->Colors();
    if (cell < 0 || cell >= int(colors.size())) {
        emit PixelInfo(QString());
        emit ColorInfo(std::nullopt);
        return;
    }
    const TInterfaceColor e = colors[cell];
    emit PixelInfo(QString::number(cell) + "/" + RgbText(e));
    emit ColorInfo(e);
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
