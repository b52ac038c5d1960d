// SPDX-License-Identifier: MIT
// Hover faces, cursors and the one-pixel press of the download button; the About label's
// underline.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QTest>

#include "app/form1.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

void SendEnter(QWidget* widget) {
  QEnterEvent event(QPointF(10, 10), QPointF(10, 10), widget->mapToGlobal(QPointF(10, 10)));
  QApplication::sendEvent(widget, &event);
}

void SendLeave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

bool SameFace(const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); }

TEST(DownloadButton, HoverShowsTheLighterFaceAndTheHand) {
  TForm1 form;
  TNewImage* button = form.img_download;
  ASSERT_FALSE(SameFace(form.img_display_over->Picture(), form.img_display_normal->Picture()));
  EXPECT_TRUE(SameFace(button->Picture(), form.img_display_normal->Picture()));
  EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);  // from the start

  SendEnter(button);
  EXPECT_TRUE(SameFace(button->Picture(), form.img_display_over->Picture()));
  EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);

  SendLeave(button);
  EXPECT_TRUE(SameFace(button->Picture(), form.img_display_normal->Picture()));
  EXPECT_FALSE(button->testAttribute(Qt::WA_SetCursor));  // back to the default cursor
}

TEST(DownloadButton, LeaveBeforeAnyEnterShowsTheNormalFace) {
  TForm1 form;
  SendLeave(form.img_download);
  EXPECT_TRUE(SameFace(form.img_download->Picture(), form.img_display_normal->Picture()));
  SendEnter(form.img_download);
  EXPECT_EQ(form.img_download->cursor().shape(), Qt::PointingHandCursor);
}

TEST(DownloadButton, AnyMouseButtonSinksItByOnePixelUntilReleased) {
  testing::TempDir dir;
  TForm1 form;
  form.AppDir = dir.path().string();
  form.show();
  int clicks = 0;
  form.img_download->OnClick = [&](QObject*) {
    ++clicks;
    EXPECT_EQ(form.img_download->y(), 417);  // still down while the command runs
  };
  for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    QTest::mousePress(form.img_download, button, {}, QPoint(300, 30));
    EXPECT_EQ(form.img_download->geometry(), QRect(0, 417, 695, 60));
    QTest::mouseRelease(form.img_download, button, {}, QPoint(300, 30));
    EXPECT_EQ(form.img_download->geometry(), QRect(0, 416, 695, 60));
  }
  EXPECT_EQ(clicks, 1);  // only the left button clicks
}

// A shown main window whose download button only counts its clicks.
class PressedButton : public ::testing::Test {
 protected:
  PressedButton() {
    form.AppDir = dir.path().string();
    form.show();
    form.img_download->OnClick = [this](QObject*) { ++clicks; };
  }

  testing::TempDir dir;
  TForm1 form;
  int clicks = 0;
};

TEST_F(PressedButton, ReleaseOutsideLiftsItButStartsNothing) {
  QTest::mousePress(form.img_download, Qt::LeftButton, {}, QPoint(300, 30));
  EXPECT_EQ(form.img_download->y(), 417);
  QTest::mouseRelease(form.img_download, Qt::LeftButton, {}, QPoint(300, -40));
  EXPECT_EQ(form.img_download->y(), 416);
  EXPECT_EQ(clicks, 0);
}

TEST_F(PressedButton, DoubleClickRunsTheCommandOnce) {
  const QPoint at(300, 30);
  QTest::mousePress(form.img_download, Qt::LeftButton, {}, at);
  QTest::mouseRelease(form.img_download, Qt::LeftButton, {}, at);
  // The second press of a double-click arrives as a double-click event.
  QMouseEvent second(QEvent::MouseButtonDblClick, at, form.img_download->mapToGlobal(at),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.img_download, &second);
  EXPECT_EQ(form.img_download->y(), 417);
  QTest::mouseRelease(form.img_download, Qt::LeftButton, {}, at);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(form.img_download->y(), 416);
}

TEST(NewImage, HandlerRunsBeforeTheCursorChanges) {
  QWidget window;
  TNewImage& image = *new TNewImage(&window);
  std::vector<bool> hand_during_handler;
  image.OnMouseEnter = [&](QObject* sender) {
    EXPECT_EQ(sender, &image);
    hand_during_handler.push_back(image.testAttribute(Qt::WA_SetCursor));
  };
  image.OnMouseLeave = [&](QObject*) {
    hand_during_handler.push_back(image.cursor().shape() == Qt::PointingHandCursor);
  };
  SendEnter(&image);
  SendLeave(&image);
  EXPECT_EQ(hand_during_handler, (std::vector<bool>{false, true}));
  EXPECT_FALSE(image.testAttribute(Qt::WA_SetCursor));
}

TEST(NewImage, EmptyHandlersStillSwitchTheCursor) {
  QWidget window;
  TNewImage& image = *new TNewImage(&window);
  image.HandleMouseEnterMessage();
  EXPECT_EQ(image.cursor().shape(), Qt::PointingHandCursor);
  image.HandleMouseLeaveMessage();
  EXPECT_FALSE(image.testAttribute(Qt::WA_SetCursor));
}

TEST(AboutLabel, UnderlinedOnlyWhileThePointerMovesOverIt) {
  testing::TempDir dir;
  TForm1 form;
  form.AppDir = dir.path().string();
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_FALSE(form.lbl_about->font().underline());
  SendEnter(form.lbl_about);  // resting on it is not enough
  EXPECT_FALSE(form.lbl_about->font().underline());
  // Windows moves the system's pointer, whose move arrives as a message of its own.
  QTest::mouseMove(form.lbl_about, QPoint(5, 5));
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.lbl_about->font().underline(); }, 5000));
  QTest::mouseMove(form.lbl_about, QPoint(6, 6));
  EXPECT_TRUE(form.lbl_about->font().underline());
  SendLeave(form.lbl_about);
  const QFont plain = form.lbl_about->font();
  EXPECT_FALSE(plain.underline() || plain.bold() || plain.italic() || plain.strikeOut());
  EXPECT_EQ(form.lbl_about->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_EQ(form.lbl_about->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace tarn
