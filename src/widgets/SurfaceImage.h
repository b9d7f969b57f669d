#pragma once
// A surface's pixels as a Qt image, for lists and labels that show frame pictures.

#include <QImage>

#include "Surface32.h"

// An opaque copy of the surface (the alpha byte is not shown).
QImage SurfaceImage(const TSurface32& surface);
// A surface holding the image's pixels (0xAARRGGBB, alpha as the image has it).
TSurface32 ImageSurface(const QImage& image);
