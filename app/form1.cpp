// SPDX-License-Identifier: MIT
#include "app/form1.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <filesystem>

#include "app/message_boxes.h"
#include "base/cut_text.h"
#include "base/file_path.h"
#include "base/str_to_int.h"
#include "base/text.h"
#include "settings/app_paths.h"
#include "settings/ini_file.h"
#include "settings/user_settings.h"
#include "widgets/artwork.h"

namespace tarn {
namespace {
bool IsFileNotDirectory(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(PathFromUtf8(path), error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}
}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("Tarn湖光小集"));
  setWindowIcon(AppIcon());
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  FormCreate();
  ConnectHandlers();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
  }
}

// Threads still running are stopped and waited for before any control goes.
TForm1::~TForm1() {
  download_.reset();
  announcement_thread_.reset();
}

void TForm1::ConnectHandlers() {
  img_download->OnClick = [this](QObject* s) { Guarded([&] { img_downloadClick(s); }); };
  img1->OnClick = [this](QObject* s) { Guarded([&] { img1Click(s); }); };
  edt_directory_URL->OnClick = [this](QObject* s) { Guarded([&] { edt_directory_URLClick(s); }); };
  gift_normal_bg->OnClick = [this](QObject* s) { Guarded([&] { gift_normal_bgClick(s); }); };
  img_download->OnMouseEnter = [this](QObject* s) { img_downloadMouseEnter(s); };
  img_download->OnMouseLeave = [this](QObject* s) { img_downloadMouseLeave(s); };
  img_download->OnMouseDown = [this](QObject* s, Qt::MouseButton b) {
    img_downloadMouseDown(s, b);
  };
  img_download->OnMouseUp = [this](QObject* s, Qt::MouseButton b) { img_downloadMouseUp(s, b); };
  lbl_about->OnClick = [this](QObject* s) { Guarded([&] { lbl_aboutClick(s); }); };
  lbl_about->OnMouseMove = [this](QObject* s) { lbl_aboutMouseMove(s); };
  lbl_about->OnMouseLeave = [this](QObject* s) { lbl_aboutMouseLeave(s); };
  lbl_SignIn->OnClick = [this](QObject* s) { Guarded([&] { lbl_SignInClick(s); }); };
  lbl_SignIn->OnMouseMove = [this](QObject* s) { lbl_SignInMouseMove(s); };
  lbl_SignIn->OnMouseLeave = [this](QObject* s) { lbl_SignInMouseLeave(s); };
  ConnectAnnouncementHandlers();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  Guarded([this] { FormShow(); });
}

void TForm1::FormShow() {
  // Qt writes "/" on Windows too: "C:/tarn.exe" would give the drive-relative "C:".
  if (AppDir.empty()) {
    AppDir = ExtractAppDir(
        QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString());
  }
  if (IsFileNotDirectory(SettingsFile())) {
    LoadSettings();
  } else {
    ServiceOptions.proxy = net::ProxyRulesFromEnvironment(net::ProcessEnvironment);
    ShowProxyState();
    SaveSettings();
  }
  // A settings failure above skips the rest. Qt's backing store already paints every widget
  // double-buffered, so nothing is switched for that.
  feed_unreachable_ = false;
  lbl_ad1->setCursor(Qt::PointingHandCursor);
  lbl_GuangBo->setCursor(Qt::PointingHandCursor);
  StartAnnouncements();
}

const std::string& TForm1::SettingsFile() {
  if (settings_file_.empty() || settings_app_dir_ != AppDir) {
    settings_app_dir_ = AppDir;
    const ConfigEnvironment environment = ReadConfigEnvironment();
    settings_file_ = ChooseSettingsPath(AppDir, environment.config_home, environment.home);
  }
  return settings_file_;
}

void TForm1::LoadSettings() {
  const UserSettings settings = LoadUserSettings(SettingsFile(), net::ProcessEnvironment);
  edt_directory->setText(QString::fromStdString(settings.folder));
  // The track bar clamps the mode into 0..1.
  TrackBar1->setValue(StrToInt(settings.mode));
  ServiceOptions = settings.service;
  ShowProxyState();
}

void TForm1::SaveSettings() {
  SaveUserSettings(SettingsFile(), edt_directory->text().toStdString(), TrackBar1->value());
}

// The banner takes clicks but does nothing with them.
void TForm1::img1Click(QObject*) {}

void TForm1::edt_directory_URLClick(QObject*) { edt_directory_URL->clear(); }

void TForm1::gift_normal_bgClick(QObject*) {
  QString folder;
  if (ChooseFolderFn(this, QStringLiteral("下载保存路径:"), QString(), folder)) {
    // Config.ini keeps one line per setting: such a folder could never be read back.
    if (folder.contains(QLatin1Char('\n')) || folder.contains(QLatin1Char('\r'))) {
      Messages().Show(this, QStringLiteral("所选文件夹的名称中含有换行符，无法作为下载保存路径，"
                                           "请选择其他文件夹：") +
                                QString::fromStdString(CutText(folder.toStdString())));
    } else {
      edt_directory->setText(folder);
    }
  }
  SaveSettings();
}

void TForm1::img_downloadMouseEnter(QObject*) {
  try {
    img_download->SetPicture(img_display_over->Picture());
  } catch (...) {
  }
}

void TForm1::img_downloadMouseLeave(QObject*) {
  try {
    img_download->SetPicture(img_display_normal->Picture());
  } catch (...) {
  }
}

void TForm1::img_downloadMouseDown(QObject*, Qt::MouseButton) {
  img_download->move(img_download->x(), kDownloadTop + 1);
}

void TForm1::img_downloadMouseUp(QObject*, Qt::MouseButton) {
  img_download->move(img_download->x(), kDownloadTop);
}

void TForm1::lbl_aboutClick(QObject*) {
  if (Frm_About != nullptr) Frm_About->ShowModal(this);
}

void TForm1::lbl_aboutMouseMove(QObject*) {
  QFont font = lbl_about->font();
  if (font.underline()) return;
  font.setUnderline(true);
  lbl_about->setFont(font);
}

void TForm1::lbl_aboutMouseLeave(QObject*) {
  QFont font = lbl_about->font();
  font.setBold(false);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  lbl_about->setFont(font);
}

}  // namespace tarn
