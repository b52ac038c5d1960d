// SPDX-License-Identifier: MIT
// The main window's controls: places, texts and looks, in creation order.
#include <QFont>
#include <QPalette>

#include "app/form1.h"
#include "service/hosts.h"
#include "widgets/artwork.h"

namespace tarn {
namespace {

const QColor kFormColor(244, 244, 244);
constexpr int kFormFontPixels = 12;  // the form's 8-point text at 96 dpi, CJK glyphs legible

QFont FormFont(int pixels) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("WenQuanYi Zen Hei")});
  font.setPixelSize(pixels);
  return font;
}

template <class W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

}  // namespace

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  // Hover handlers call this on every mouse move: a widget is only touched when it changes.
  if (palette.color(QPalette::WindowText) == color && palette.color(QPalette::Text) == color)
    return;
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Text, color);
  widget->setPalette(palette);
}

namespace {

// An opaque background in the given colour (labels and edit boxes are transparent otherwise).
void SetBackground(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, color);
  palette.setColor(QPalette::Base, color);
  palette.setColor(QPalette::Button, color);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

TImage* NewImage(QWidget* parent, const char* picture) {
  auto* image = new TImage(parent);
  if (picture != nullptr) image->SetPicture(Artwork(QString::fromLatin1(picture)));
  return image;
}

QLabel* NewStaticText(QWidget* parent, const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  SetBackground(label, kFormColor);
  return label;
}

}  // namespace

void TForm1::CreateControls() {
  setFont(FormFont(kFormFontPixels));

  gift_normal1 = Place(NewImage(this, "gift_normal1.bmp"), "gift_normal1", 495, 128, 193, 145);

  img1 = Place(NewImage(this, "img1.bmp"), "img1", 0, 0, 700, 100);
  img1->setToolTip(QStringLiteral("GO!"));

  lbl_about = Place(new TLabel(QStringLiteral("关于"), this), "lbl_about", 664, 8, 26, 13);
  SetTextColor(lbl_about, Qt::white);
  lbl_about->setCursor(Qt::PointingHandCursor);

  img_download = Place(new TNewImage(this), "img_download", 0, kDownloadTop, 695, 60);
  img_download->SetPicture(Artwork(QStringLiteral("download_normal.bmp")));
  img_download->setCursor(Qt::PointingHandCursor);
  img_download->setToolTip(QStringLiteral("一键下载您喜欢豆友相册的照片"));

  gift_normal_bg1 =
      Place(NewImage(this, "gift_normal_bg1.jpg"), "gift_normal_bg1", 4, 101, 484, 295);

  lbl1 = Place(new TLabel(QString(), this), "lbl1", 504, 323, 153, 22);

  lbl_ad1 = Place(new TLabel(QStringLiteral("Tarn，您豆瓣的好伙伴！"), this), "lbl_ad1", 494, 400,
                  201, 13);
  lbl_ad1->setAlignment(Qt::AlignCenter);
  SetTextColor(lbl_ad1, kFormGreen);
  QFont ad_font = lbl_ad1->font();
  ad_font.setUnderline(true);
  lbl_ad1->setFont(ad_font);

  gift_normalimg3 =
      Place(NewImage(this, "gift_normalimg3.bmp"), "gift_normalimg3", 496, 276, 193, 120);

  img_display = Place(NewImage(this, nullptr), "img_display", 497, 155, 189, 116);
  img_display->SetStretch(true);

  lbl_DownWancheng =
      Place(new TLabel(QStringLiteral("0"), this), "lbl_DownWancheng", 656, 104, 25, 17);
  SetTextColor(lbl_DownWancheng, kFormGreen);
  lbl_tixing_Already =
      Place(new TLabel(QStringLiteral("已完成："), this), "lbl_tixing_Already", 600, 104, 49, 17);
  lbl_DownTotal = Place(new TLabel(QStringLiteral("0"), this), "lbl_DownTotal", 560, 104, 25, 17);
  lbl_tixing_A =
      Place(new TLabel(QStringLiteral("全部："), this), "lbl_tixing_A", 520, 104, 41, 17);

  gift_normal_bg = Place(NewImage(this, "gift_normal_bg.bmp"), "gift_normal_bg", 509, 308, 173, 34);
  gift_normal_bg->setCursor(Qt::PointingHandCursor);
  gift_normal_bg->setToolTip(QStringLiteral("点击三叶草设置保存路径"));

  lbl_GuangBo = Place(
      new TLabel(QStringLiteral("小集，不完美的她，在硬盘里的某个角落静静地待了一年有余，初衷，"
                                "也只是想让其主人在豆瓣相册里的遨游变得简单，时过境迁，还是决定"
                                "分享出来，没别的，只想让你保存美好更便捷..."),
                 this),
      "lbl_GuangBo", 25, 320, 444, 49);
  lbl_GuangBo->setFont(FormFont(12));
  SetTextColor(lbl_GuangBo, Qt::black);
  lbl_GuangBo->setWordWrap(true);
  lbl_GuangBo->SetLineHeight(16);  // three lines in its 49 pixels
  lbl_GuangBo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  img_display_normal =
      Place(NewImage(this, "download_normal.bmp"), "img_display_normal", 24, 240, 695, 60);
  img_display_normal->hide();
  img_display_over =
      Place(NewImage(this, "download_over.bmp"), "img_display_over", 16, 168, 695, 60);
  img_display_over->hide();

  pb_download = Place(new QProgressBar(this), "pb_download", -5, 399, 700, 17);
  pb_download->setTextVisible(false);
  pb_download->hide();

  TrackBar1 = Place(new QSlider(Qt::Horizontal, this), "TrackBar1", 77, 192, 380, 25);
  TrackBar1->setRange(0, 1);
  TrackBar1->setPageStep(1);
  TrackBar1->setValue(0);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setTickInterval(1);

  Loading_model = Place(NewStaticText(this, "模        式："), "Loading_model", 17, 196, 65, 17);
  Loading_Clever = Place(NewStaticText(this, "智能模式"), "Loading_Clever", 403, 224, 57, 17);
  Loading_Normal = Place(NewStaticText(this, "标准模式"), "Loading_Normal", 82, 224, 65, 17);
  Loading_URL = Place(NewStaticText(this, "下载地址："), "Loading_URL", 17, 160, 65, 17);

  edt_directory_URL = Place(new TEdit(this), "edt_directory_URL", 85, 158, 364, 19);
  edt_directory_URL->setText(QString::fromStdString(SampleAlbumUrl()));

  edt_directory = Place(new TEdit(this), "edt_directory", 513, 310, 140, 13);
  edt_directory->setFrame(false);
  edt_directory->setReadOnly(true);
  edt_directory->setTextMargins(0, 0, 0, 0);
  // A long folder shows from its beginning, as a read-only box should.
  connect(edt_directory, &QLineEdit::textChanged, edt_directory,
          [this] { edt_directory->setCursorPosition(0); });
  // The hint is kept for assistive tools but never shown as a tooltip.
  edt_directory->setAccessibleDescription(QStringLiteral("下载保存路径"));

  txt_download = Place(new QLabel(QStringLiteral("解析引擎初始化中..."), this), "txt_download", 292,
                       400, 113, 15);
  txt_download->setFont(FormFont(15));
  SetTextColor(txt_download, kFormGreen);
  txt_download->hide();

  // The sign-in's entry: in the settings panel's empty part, under the save folder's line.
  lbl_SignIn = Place(new TLabel(QString(), this), "lbl_SignIn", 513, 352, 60, 17);
  SetTextColor(lbl_SignIn, kFormGreen);
  lbl_SignIn->setCursor(Qt::PointingHandCursor);
  lbl_SignIn->setToolTip(QStringLiteral("用浏览器的 Cookie 登录豆瓣，保存好友可见的相册"));
  ShowSignInState();
  // Under it, the proxy in use: a person whose connections fail sees why they might.
  lbl_Proxy = Place(new TLabel(QString(), this), "lbl_Proxy", 513, 372, 170, 17);
  SetTextColor(lbl_Proxy, kFormGreen);
  lbl_Proxy->hide();

  for (const char* name : {"imagelist1_0.bmp", "imagelist1_1.bmp"})
    ImageList1.push_back(Artwork(QString::fromLatin1(name)));
  for (const char* name : {"imagelist2_0.bmp", "imagelist2_1.bmp", "imagelist2_2.bmp"})
    ImageList2.push_back(Artwork(QString::fromLatin1(name)));

  tmr_ad = new QTimer(this);
  tmr_ad->setObjectName(QStringLiteral("tmr_ad"));
  tmr_ad->setInterval(6000);
  tmr_ad->start();

  // Native controls sit above every image and label, in their own creation order.
  for (QWidget* native : std::initializer_list<QWidget*>{
           pb_download, TrackBar1, Loading_model, Loading_Clever, Loading_Normal, Loading_URL,
           edt_directory_URL, edt_directory, txt_download})
    native->raise();
  setTabOrder(TrackBar1, edt_directory_URL);
  setTabOrder(edt_directory_URL, edt_directory);
}

void TForm1::FormCreate() {
  for (QWidget* widget :
       std::initializer_list<QWidget*>{this, lbl_ad1, edt_directory, txt_download, pb_download})
    SetBackground(widget, kFormColor);
}

}  // namespace tarn
