// SPDX-License-Identifier: MIT
#include "widgets/frm_about.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "app/form1.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

// Runs `check` once the window is on the screen (Windows may run a zero timer while showing
// it, before the modal loop, and takes no close before then), then closes it with a click.
void WhileShown(TFrm_About& about, std::function<void()> check) {
  auto* timer = new QTimer(&about);
  QObject::connect(timer, &QTimer::timeout, &about, [&about, timer, check] {
    if (!about.isVisible() || !about.windowHandle()->isExposed()) return;
    timer->deleteLater();
    timer->stop();
    check();
    QTest::mouseClick(about.directory_bg1, Qt::LeftButton, {}, QPoint(175, 200));
  });
  timer->start(10);
}

TEST(AboutWindow, CardLooksAsDesigned) {
  TFrm_About about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("关于湖光"));
  EXPECT_EQ(about.size(), QSize(350, 443));
  EXPECT_EQ(about.minimumSize(), about.maximumSize());
  EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(about.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(about.directory_bg1->geometry(), QRect(0, 0, 350, 450));
  EXPECT_EQ(about.directory_bg1->Picture().size(), QSize(350, 450));
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindow, ClickOnThePictureClosesItWithCancel) {
  TForm1 form;
  TFrm_About about(&form);
  bool was_modal = false;
  WhileShown(about,
             [&] { was_modal = about.isVisible() && QApplication::activeModalWidget() == &about; });
  EXPECT_EQ(about.ShowModal(&form), TFrm_About::kModalResultCancel);
  EXPECT_TRUE(was_modal);
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindow, EscapeAndEnterDoNotCloseIt) {
  TFrm_About about;
  bool still_open = false;
  WhileShown(about, [&] {
    QTest::keyClick(&about, Qt::Key_Escape);
    QTest::keyClick(&about, Qt::Key_Return);
    still_open = about.isVisible();
  });
  about.ShowModal(nullptr);
  EXPECT_TRUE(still_open);
}

TEST(AboutWindow, CentredOnFirstShowingOnlyThenKeepsItsPlace) {
  TForm1 form;
  testing::TempDir dir;
  form.AppDir = dir.path().string();
  form.move(100, 60);
  form.show();
  TFrm_About about(&form);
  QPoint first;
  WhileShown(about, [&] { first = about.pos(); });
  about.ShowModal(&form);
  const QRect outer = form.frameGeometry();
  const QRect own = about.frameGeometry();
  EXPECT_EQ(first.x(), outer.left() + (outer.width() - own.width()) / 2);
  EXPECT_EQ(first.y(), outer.top() + (outer.height() - own.height()) / 2);

  about.move(20, 30);  // the user moves it, and the main window moves too
  form.move(300, 200);
  QPoint second;
  WhileShown(about, [&] { second = about.pos(); });
  about.ShowModal(&form);
  EXPECT_EQ(second, QPoint(20, 30));
}

TEST(AboutWindow, NegativeCoordinatesBecomeZero) {
  QWidget small;
  small.setGeometry(0, 0, 100, 100);
  TFrm_About about;
  QPoint place(-1, -1);
  WhileShown(about, [&] { place = about.pos(); });
  about.ShowModal(&small);
  EXPECT_EQ(place, QPoint(0, 0));
}

TEST(AboutWindow, AboutLabelOpensItModally) {
  TForm1 form;
  TFrm_About about(&form);
  form.SetAboutWindow(&about);
  bool shown = false;
  WhileShown(about, [&] { shown = about.isVisible(); });
  form.lbl_aboutClick(form.lbl_about);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace tarn
