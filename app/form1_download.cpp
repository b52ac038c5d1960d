// SPDX-License-Identifier: MIT
// The download command: checks, then one worker for the chosen mode.
#include <QPalette>
#include <filesystem>

#include "app/config.h"
#include "app/download_window_view.h"
#include "app/form1.h"
#include "app/message_boxes.h"
#include "base/shared_flags.h"
#include "base/text.h"

namespace tarn {
namespace {

const QColor kBarGreen(0, 128, 0);

// Makes the folder, one level only: its parent must exist.
bool EnsureFolder(const std::string& folder) {
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return true;
  return std::filesystem::create_directory(folder, error) && !error;
}

}  // namespace

void TForm1::RefuseDownload(const char* message) {
  Messages().Show(this, QString::fromUtf8(message));
}

void TForm1::img_downloadClick(QObject*) {
  SaveSettings();
  const std::string address(Trim(edt_directory_URL->text().toStdString()));
  if (address.empty()) return RefuseDownload("下载地址为空，请重新设置下载地址！");
  if (address.find(PhotoPrefix()) == std::string::npos)
    return RefuseDownload("此下载地址暂时不支持！");
  const std::string folder(Trim(edt_directory->text().toStdString()));
  if (folder.empty()) return RefuseDownload("下载保存路径未设置，请点击三叶草设置保存路径！");
  if (!EnsureFolder(folder))
    return Messages().Show(this, QStringLiteral("无法创建目录：") + QString::fromStdString(folder));
  if (FeedUnreachable == 1) return RefuseDownload("网络连接暂时有问题，请稍候...");
  // Also busy while a worker still fetches its first page and has counted nothing yet.
  if (PhotoCount != 0 || DownloadRunning())
    return RefuseDownload("温馨提醒：目前已有下载任务进程，请等待此任务下载完毕再执行！");

  pb_download->setMinimum(0);
  PhotoCount = 0;
  pb_download->setValue(0);
  QPalette bar = pb_download->palette();
  bar.setColor(QPalette::Highlight, kBarGreen);
  pb_download->setPalette(bar);
  pb_download->show();
  txt_download->setText(QStringLiteral("引擎初始化中..."));
  txt_download->show();

  download_.reset();  // the last run is over; its thread is joined here
  DownloadSettings settings = DownloadOptions;
  settings.smart = TrackBar1->value() != 0;
  download_ = std::make_unique<DownloadTask>(std::make_unique<DownloadWindowView>(this), settings);
}

}  // namespace tarn
