// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include <gtest/gtest.h>

#include <QTest>

#include "support/message_recorder.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

struct ControlRow {
  const char* name;
  int left, top, width, height;
  const char* text;  // nullptr: not a text control
  bool visible;
};

// The form's controls in creation order, with place, size, first text and visibility.
const ControlRow kControls[] = {
    {"gift_normal1", 495, 128, 193, 145, nullptr, true},
    {"img1", 0, 0, 700, 100, nullptr, true},
    {"lbl_about", 664, 8, 26, 13, "关于", true},
    {"img_download", 0, 416, 695, 60, nullptr, true},
    {"gift_normal_bg1", 4, 101, 484, 295, nullptr, true},
    {"lbl1", 504, 323, 153, 22, "", true},
    {"lbl_ad1", 494, 400, 201, 13, "Tarn，您豆瓣的好伙伴！", true},
    {"gift_normalimg3", 496, 276, 193, 120, nullptr, true},
    {"img_display", 497, 155, 189, 116, nullptr, true},
    {"lbl_DownWancheng", 656, 104, 25, 17, "0", true},
    {"lbl_tixing_Already", 600, 104, 49, 17, "已完成：", true},
    {"lbl_DownTotal", 560, 104, 25, 17, "0", true},
    {"lbl_tixing_A", 520, 104, 41, 17, "全部：", true},
    {"gift_normal_bg", 509, 308, 173, 34, nullptr, true},
    {"lbl_GuangBo", 25, 320, 444, 49, nullptr, true},
    {"img_display_normal", 24, 240, 695, 60, nullptr, false},
    {"img_display_over", 16, 168, 695, 60, nullptr, false},
    {"pb_download", -5, 399, 700, 17, nullptr, false},
    {"TrackBar1", 77, 192, 380, 25, nullptr, true},
    {"Loading_model", 17, 196, 65, 17, "模        式：", true},
    {"Loading_Clever", 403, 224, 57, 17, "智能模式", true},
    {"Loading_Normal", 82, 224, 65, 17, "标准模式", true},
    {"Loading_URL", 17, 160, 65, 17, "下载地址：", true},
    {"edt_directory_URL", 85, 158, 364, 19, nullptr, true},
    {"edt_directory", 513, 310, 140, 13, "", true},
    {"txt_download", 292, 400, 113, 15, "解析引擎初始化中...", false},
};

QString TextOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  return {};
}

TEST(Form1, EveryControlHasItsPlaceTextAndVisibility) {
  TForm1 form;
  for (const ControlRow& row : kControls) {
    SCOPED_TRACE(row.name);
    auto* widget = form.findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), QRect(row.left, row.top, row.width, row.height));
    if (row.text != nullptr) {
      EXPECT_EQ(TextOf(widget), QString::fromUtf8(row.text));
    }
    EXPECT_EQ(widget->isVisibleTo(&form), row.visible);
  }
}

TEST(Form1, WindowTitleSizeAndButtons) {
  TForm1 form;
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Tarn湖光小集"));
  EXPECT_EQ(form.size(), QSize(695, 476));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());  // not resizable
  const Qt::WindowFlags flags = form.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(form.palette().color(QPalette::Window), QColor(244, 244, 244));
  EXPECT_FALSE(form.windowIcon().isNull());
}

TEST(Form1, NativeControlsSitAboveImagesAndLabelsInCreationOrder) {
  TForm1 form;
  const QObjectList& stack = form.children();  // bottom to top
  auto level = [&](QWidget* w) { return stack.indexOf(w); };
  const int highest_picture = std::max({level(form.img_download), level(form.gift_normal_bg),
                                        level(form.lbl_GuangBo), level(form.img_display_over)});
  const QWidget* natives[] = {form.pb_download,       form.TrackBar1,      form.Loading_model,
                              form.Loading_Clever,    form.Loading_Normal, form.Loading_URL,
                              form.edt_directory_URL, form.edt_directory,  form.txt_download};
  int previous = highest_picture;
  for (const QWidget* native : natives) {
    const int index = stack.indexOf(const_cast<QWidget*>(native));
    EXPECT_GT(index, previous) << native->objectName().toStdString();
    previous = index;
  }
  // Later images paint over earlier ones.
  EXPECT_GT(level(form.img_display), level(form.gift_normal1));
  EXPECT_GT(level(form.gift_normal_bg), level(form.gift_normalimg3));
}

TEST(Form1, LooksAndHintsOfTheControls) {
  TForm1 form;
  EXPECT_EQ(form.img1->toolTip(), QStringLiteral("GO!"));
  EXPECT_EQ(form.img_download->toolTip(), QStringLiteral("一键下载您喜欢豆友相册的照片"));
  EXPECT_EQ(form.gift_normal_bg->toolTip(), QStringLiteral("点击三叶草设置保存路径"));
  EXPECT_TRUE(form.edt_directory->toolTip().isEmpty());  // its hint is never shown
  EXPECT_EQ(form.edt_directory->accessibleDescription(), QStringLiteral("下载保存路径"));
  EXPECT_TRUE(form.edt_directory->isReadOnly());
  EXPECT_FALSE(form.edt_directory->hasFrame());
  for (QWidget* hand :
       {static_cast<QWidget*>(form.lbl_about), static_cast<QWidget*>(form.img_download),
        static_cast<QWidget*>(form.gift_normal_bg)})
    EXPECT_EQ(hand->cursor().shape(), Qt::PointingHandCursor) << hand->objectName().toStdString();
  // The announcement labels get the hand only at first show.
  EXPECT_FALSE(form.lbl_ad1->testAttribute(Qt::WA_SetCursor));
  EXPECT_FALSE(form.lbl_GuangBo->testAttribute(Qt::WA_SetCursor));
  EXPECT_TRUE(form.lbl_ad1->font().underline());
  EXPECT_EQ(form.lbl_ad1->palette().color(QPalette::WindowText), QColor(0, 128, 0));
  EXPECT_EQ(form.lbl_ad1->palette().color(QPalette::Window), QColor(244, 244, 244));
  EXPECT_EQ(form.lbl_about->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_EQ(form.lbl_DownWancheng->palette().color(QPalette::WindowText), QColor(0, 128, 0));
  EXPECT_TRUE(form.lbl_GuangBo->wordWrap());
  EXPECT_TRUE(form.lbl_GuangBo->text().startsWith(QStringLiteral("小集，不完美的她")));
  EXPECT_TRUE(form.img_display->Stretch());
  EXPECT_TRUE(form.img_display->Picture().isNull());
}

TEST(Form1, TrackBarModeAndTimer) {
  TForm1 form;
  EXPECT_EQ(form.TrackBar1->minimum(), 0);
  EXPECT_EQ(form.TrackBar1->maximum(), 1);
  EXPECT_EQ(form.TrackBar1->pageStep(), 1);
  EXPECT_EQ(form.TrackBar1->value(), 0);
  EXPECT_EQ(form.TrackBar1->orientation(), Qt::Horizontal);
  EXPECT_EQ(form.tmr_ad->interval(), 6000);
  EXPECT_TRUE(form.tmr_ad->isActive());
  EXPECT_EQ(form.ImageList1.size(), 2u);
  EXPECT_EQ(form.ImageList2.size(), 3u);
}

TEST(Form1, SampleAddressUsesTheConfiguredHost) {
  qputenv("TARN_PHOTO_HOST", "127.0.0.1:8123");
  TForm1 form;
  qunsetenv("TARN_PHOTO_HOST");
  const QString address = form.edt_directory_URL->text();
  EXPECT_TRUE(address.startsWith(QStringLiteral("http://127.0.0.1:8123/photos/album/")));
  EXPECT_TRUE(address.endsWith(QLatin1Char('/')));
}

TEST(Form1, EveryClickInTheAddressBoxEmptiesIt) {
  testing::TempDir dir;
  TForm1 form;
  form.AppDir = dir.path().string();
  form.show();
  ASSERT_FALSE(form.edt_directory_URL->text().isEmpty());
  QTest::mouseClick(form.edt_directory_URL, Qt::LeftButton, {}, QPoint(30, 9));
  EXPECT_TRUE(form.edt_directory_URL->text().isEmpty());
  QTest::keyClicks(form.edt_directory_URL, "http://x/");
  QTest::mouseClick(form.edt_directory_URL, Qt::LeftButton, {}, QPoint(5, 9));
  EXPECT_TRUE(form.edt_directory_URL->text().isEmpty());
}

TEST(Form1, ClickOnTheBannerChangesNothing) {
  testing::MessageRecorder boxes;
  TForm1 form;
  const QString address = form.edt_directory_URL->text();
  QTest::mouseClick(form.img1, Qt::LeftButton, {}, QPoint(100, 50));
  EXPECT_EQ(form.edt_directory_URL->text(), address);
  EXPECT_TRUE(boxes.plain.isEmpty());
  EXPECT_TRUE(boxes.errors.isEmpty());
}

}  // namespace
}  // namespace tarn
