// SPDX-License-Identifier: MIT
#include "widgets/artwork.h"

#include <QFile>

namespace tarn {

QImage ToQImage(const RgbImage& image) {
  if (image.Empty()) return {};
  return QImage(image.pixels.data(), image.width, image.height, image.width * 3,
                QImage::Format_RGB888)
      .copy();
}

QPixmap Artwork(const QString& name) {
  const QString path = QStringLiteral(":/res/") + name;
  if (!name.endsWith(QLatin1String(".jpg"))) return QPixmap(path);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return QPixmap::fromImage(ToQImage(DecodeJpeg(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                                static_cast<size_t>(bytes.size()))));
}

QIcon AppIcon() { return QIcon(QStringLiteral(":/res/tarn.ico")); }

}  // namespace tarn
