// SPDX-License-Identifier: MIT
// The download command: checks, then one worker for the chosen mode; and how a run looks in
// the window while it goes on.
#include <QPalette>
#include <filesystem>

#include "app/form1.h"
#include "app/message_boxes.h"
#include "app/window_download_events.h"
#include "base/cut_text.h"
#include "base/file_path.h"
#include "base/text.h"
#include "service/page_address.h"

namespace tarn {
namespace {

// Makes the folder, one level only: its parent must exist.
bool EnsureFolder(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path path = PathFromUtf8(folder);
  if (std::filesystem::is_directory(path, error)) return true;
  return std::filesystem::create_directory(path, error) && !error;
}

}  // namespace

void TForm1::RefuseDownload(const char* message) {
  Messages().Show(this, QString::fromUtf8(message));
}

void TForm1::img_downloadClick(QObject*) {
  SaveSettings();
  const std::string address(Trim(edt_directory_URL->text().toStdString()));
  if (address.empty()) return RefuseDownload("下载地址为空，请重新设置下载地址！");
  if (!ReadPageAddress(address)) return RefuseDownload("此下载地址暂时不支持！");
  const std::string folder(Trim(edt_directory->text().toStdString()));
  if (folder.empty()) return RefuseDownload("下载保存路径未设置，请点击三叶草设置保存路径！");
  if (!EnsureFolder(folder))
    return Messages().Show(
        this, QStringLiteral("无法创建目录：") + QString::fromStdString(CutText(folder)));
  if (feed_unreachable_) return RefuseDownload("网络连接暂时有问题，请稍候...");
  // Also busy while a worker still fetches its first page and has counted nothing yet.
  if (DownloadRunning())
    return RefuseDownload("温馨提醒：目前已有下载任务进程，请等待此任务下载完毕再执行！");

  pb_download->setMinimum(0);
  pb_download->setValue(0);
  QPalette bar = pb_download->palette();
  bar.setColor(QPalette::Highlight, kFormGreen);
  pb_download->setPalette(bar);
  pb_download->show();
  txt_download->setText(QStringLiteral("引擎初始化中..."));
  txt_download->show();

  download_.reset();  // the last run is over; its thread is joined here
  DownloadJob job;
  job.sign_in = RunSignIn();
  job.inputs = {address, folder};
  job.all_pages = TrackBar1->value() != 0;
  job.service = ServiceOptions;
  job.settings = DownloadOptions;
  job.inputs_now = [address_box = LiveText::Follow(edt_directory_URL),
                    folder_box = LiveText::Follow(edt_directory)] {
    return RunInputs{address_box->Get(), folder_box->Get()};
  };
  download_ =
      std::make_unique<DownloadTask>(std::make_unique<WindowDownloadEvents>(this), std::move(job));
}

void TForm1::DownloadScanReported(int total) {
  lbl_DownTotal->show();
  lbl_DownWancheng->show();
  pb_download->setMaximum(total);
  txt_download->hide();
  lbl_DownTotal->setText(QString::number(total));
}

void TForm1::DownloadPhotoDone(int done) {
  pb_download->setValue(done);
  lbl_DownWancheng->setText(QString::number(done));
  txt_download->hide();  // a wait told before is over
}

void TForm1::DownloadWaiting(int64_t seconds, const std::string& why) {
  txt_download->setText(QString::fromStdString(why) +
                        QStringLiteral("，等待 %1 秒...").arg(seconds));
  txt_download->show();
}

void TForm1::DownloadPreviewReady(const QImage& picture) {
  img_display->SetPicture(QPixmap::fromImage(picture));
}

void TForm1::DownloadFinished(const std::string& message) {
  pb_download->hide();
  txt_download->hide();
  if (!message.empty()) Messages().Show(this, QString::fromStdString(message));
}

}  // namespace tarn
