// SPDX-License-Identifier: MIT
// The real boxes, laid out but never run: whatever a server wrote, a box fits the screen with
// its OK button, and markup in a server's text stays text.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/message_boxes.h"

namespace tarn {
namespace {

TEST(MessageBox, AHugeServerTextNeverGrowsTheBoxPastTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  std::string many_lines;
  for (int i = 0; i < 400; ++i) many_lines += "Server said: " + std::string(80, 'z') + "\n";
  for (const std::string& text :
       {"无法获取相册页面：http://a/\nHTTP/1.1 500 " + std::string(16384, 'x'),
        "HTTP/1.1 500 " + std::string(16384, ' ') + "end", many_lines}) {
    for (const QMessageBox::Icon icon : {QMessageBox::NoIcon, QMessageBox::Critical}) {
      const auto box = MakeMessageBox(icon, QString::fromStdString(text), nullptr);
      box->show();
      EXPECT_LE(box->frameGeometry().height(), screen.height());
      EXPECT_LE(box->frameGeometry().width(), screen.width());
      box->hide();
    }
  }
}

TEST(MessageBox, MarkupFromAServerIsShownAsTextAndNothingTurnsItAround) {
  const auto box = MakeMessageBox(
      QMessageBox::NoIcon, QStringLiteral("<b>bold</b><img src=x>\n\u202Eabc\r\nok"), nullptr);
  EXPECT_EQ(box->textFormat(), Qt::PlainText);
  EXPECT_EQ(box->text(), QStringLiteral("<b>bold</b><img src=x>\nabc\r\nok"));
  EXPECT_EQ(box->windowTitle(), QString::fromUtf8(kAppTitle));
}

}  // namespace
}  // namespace tarn
