// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include "image/jpeg_decoder.h"

namespace tarn {

// A decoded JPEG as a Qt image (a deep copy; the RgbImage may go).
QImage ToQImage(const RgbImage& image);

// The compiled-in pictures, by file name under res/ ("img1.bmp", "about.jpg", ...). JPEG
// pictures go through our libjpeg decoder; a missing resource gives a null pixmap.
QPixmap Artwork(const QString& name);

// The program's 32x32 icon with alpha.
QIcon AppIcon();

}  // namespace tarn
