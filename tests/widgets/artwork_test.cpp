// SPDX-License-Identifier: MIT
// The compiled-in pictures have their exact sizes and formats.
#include "widgets/artwork.h"

#include <gtest/gtest.h>

#include <QFile>

namespace tarn {
namespace {

struct Picture {
  const char* name;
  int width, height;
};

int BmpBitsPerPixel(const QString& name) {
  QFile file(QStringLiteral(":/res/") + name);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QByteArray head = file.read(30);
  if (head.size() < 30 || !head.startsWith("BM")) return -1;
  return static_cast<unsigned char>(head[28]) | (static_cast<unsigned char>(head[29]) << 8);
}

TEST(Artwork, BitmapsAre24BitAtTheirExactSize) {
  const Picture bitmaps[] = {{"img1.bmp", 700, 100},
                             {"gift_normal1.bmp", 193, 145},
                             {"gift_normalimg3.bmp", 193, 120},
                             {"gift_normal_bg.bmp", 173, 34},
                             {"download_normal.bmp", 700, 60},
                             {"download_over.bmp", 700, 60},
                             {"imagelist1_0.bmp", 16, 16},
                             {"imagelist1_1.bmp", 16, 16},
                             {"imagelist2_0.bmp", 32, 32},
                             {"imagelist2_1.bmp", 32, 32},
                             {"imagelist2_2.bmp", 32, 32}};
  for (const Picture& p : bitmaps) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(BmpBitsPerPixel(QString::fromLatin1(p.name)), 24);
    EXPECT_EQ(Artwork(QString::fromLatin1(p.name)).size(), QSize(p.width, p.height));
  }
}

TEST(Artwork, JpegPicturesDecodeThroughLibjpeg) {
  for (const Picture& p :
       {Picture{"gift_normal_bg1.jpg", 484, 295}, Picture{"about.jpg", 350, 450}}) {
    SCOPED_TRACE(p.name);
    QFile file(QStringLiteral(":/res/") + QString::fromLatin1(p.name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2) == QByteArray("\xFF\xD8", 2));
    EXPECT_EQ(Artwork(QString::fromLatin1(p.name)).size(), QSize(p.width, p.height));
  }
}

TEST(Artwork, IconIs32By32WithTransparentCorners) {
  const QIcon icon = AppIcon();
  ASSERT_FALSE(icon.isNull());
  const QImage image = icon.pixmap(32, 32).toImage();
  EXPECT_EQ(image.size(), QSize(32, 32));
  EXPECT_TRUE(image.hasAlphaChannel());
  EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
  EXPECT_GT(qAlpha(image.pixel(16, 16)), 200);
}

TEST(Artwork, MissingPictureIsNull) { EXPECT_TRUE(Artwork(QStringLiteral("none.bmp")).isNull()); }

}  // namespace
}  // namespace tarn
