#pragma once
// Pixel art on screens of any device-pixel ratio. Glyphs, flags, frame pictures and previews are
// enlarged by whole factors only (every picture pixel becomes k × k device pixels, nearest
// neighbour), never blurred by smooth scaling nor made uneven by fractional factors; what room is
// left around them stays empty. At a ratio of 1.5 a 16 × 16 glyph is therefore drawn 16 × 16
// device pixels in the middle of its 24 × 24 room, at 2 it is drawn 32 × 32.

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The whole factor for a picture of `picture` pixels in a room of `room` device pixels: at
// least 1, at most what fits.
int PixelArtScale(QSize picture, QSize room);

// The picture enlarged by `scale`, nearest neighbour.
QImage PixelArtScaled(const QImage& picture, int scale);

// A pixmap for a widget of ratio `ratio` that shows the picture at floor(ratio) device pixels per
// picture pixel; its logical size is the enlarged picture's size divided by the ratio.
QPixmap PixelArtPixmap(const QImage& picture, qreal ratio);

// An icon drawing the picture crisply at every size and ratio asked of it (disabled: greyed by the
// style as usual).
QIcon PixelArtIcon(const QImage& picture);
