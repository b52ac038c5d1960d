// SPDX-License-Identifier: MIT
// The download command: its checks in order, and whole runs started from the window.
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <filesystem>
#include <thread>

#include "app/form1.h"
#include "support/jpeg_encode.h"
#include "support/message_recorder.h"
#include "support/route_server.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::RouteReply;
using testing::RouteServer;

std::string Jpeg(int width) {
  const auto bytes = testing::EncodeTestJpeg(width, 80);
  return std::string(bytes.begin(), bytes.end());
}

class DownloadCommand : public ::testing::Test {
 protected:
  DownloadCommand()
      : server([this](const std::string& target, int earlier) { return Answer(target, earlier); }) {
    qputenv("TARN_PHOTO_HOST", QByteArray::fromStdString(server.Host()));
    form.AppDir = dir.path().string();
    form.DownloadOptions.retry.pauses = {std::chrono::milliseconds(1)};
    form.DownloadOptions.tick = [] { return 4242u; };
    form.show();
    form.edt_directory_URL->setText(QString::fromStdString(AlbumUrl()));
    form.edt_directory->setText(QString::fromStdString(dir.File("photos")));
  }
  ~DownloadCommand() override { qunsetenv("TARN_PHOTO_HOST"); }

  std::string AlbumUrl() const { return server.Url("/photos/album/7/"); }

  virtual RouteReply Answer(const std::string& target, int) {
    if (target == "/photos/album/7/" || target == "/photos/album/8/") {
      std::string page = "<title>湖</title>";
      for (int i = 0; i < 3; ++i)
        page += "<li class=\"photolst_photo\"><img src=\"" +
                server.Url("/thumb/" + std::to_string(i)) + "\" /></li>";
      return {200, page};
    }
    if (target.rfind("/photo/", 0) == 0) return {200, Jpeg(100 + std::stoi(target.substr(7)))};
    return {404, ""};
  }

  void Click() { QTest::mouseClick(form.img_download, Qt::LeftButton, {}, QPoint(300, 30)); }

  // Waits until the run is over and the window has heard everything.
  bool WaitForRunToEnd() {
    for (int i = 0; i < 1000 && (form.DownloadRunning() || form.pb_download->isVisible()); ++i)
      QTest::qWait(10);
    return !form.DownloadRunning() && !form.pb_download->isVisible();
  }

  testing::TempDir dir;
  testing::MessageRecorder boxes;
  RouteServer server;
  TForm1 form;
};

TEST_F(DownloadCommand, ChecksInOrderEachWithItsMessageAndNothingFetched) {
  struct Case {
    std::function<void()> arrange;
    std::string message;
  };
  const std::string missing_parent = dir.File("no/such");
  const std::vector<Case> cases = {
      {[this] { form.edt_directory_URL->setText("  \t "); }, "下载地址为空，请重新设置下载地址！"},
      {[this] {
         form.edt_directory_URL->setText(
             QString::fromStdString("HTTP://" + server.Host() + "/photos/album/7/"));
       },
       "此下载地址暂时不支持！"},
      {[this] { form.edt_directory->setText(" "); },
       "下载保存路径未设置，请点击三叶草设置保存路径！"},
      {[&] { form.edt_directory->setText(QString::fromStdString(missing_parent)); },
       "无法创建目录：" + missing_parent},
      {[this] { form.FeedUnreachableReported(); }, "网络连接暂时有问题，请稍候..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    form.edt_directory_URL->setText(QString::fromStdString(AlbumUrl()));
    form.edt_directory->setText(QString::fromStdString(dir.File("photos")));
    form.TrackBar1->setValue(1);
    std::filesystem::remove(dir.File("Config.ini"));
    boxes.plain.clear();
    c.arrange();
    Click();
    ASSERT_EQ(boxes.plain.size(), 1);
    EXPECT_EQ(boxes.plain[0].toStdString(), c.message);
    EXPECT_FALSE(form.DownloadRunning());
    EXPECT_FALSE(form.pb_download->isVisible());
    // The settings were saved first, whatever the refusal.
    EXPECT_NE(ReadAll(dir.File("Config.ini")).find("DownLoad_Mode=1\r\n"), std::string::npos);
  }
  EXPECT_TRUE(server.Targets().empty());
  EXPECT_EQ(form.img_download->y(), TForm1::kDownloadTop);
}

// The service's host inside another address is no address of the service.
TEST_F(DownloadCommand, HostInsideTheTextIsRefused) {
  form.edt_directory_URL->setText(QString::fromStdString("  see " + AlbumUrl() + " "));
  Click();
  ASSERT_EQ(boxes.plain.size(), 1);
  EXPECT_EQ(boxes.plain[0], QStringLiteral("此下载地址暂时不支持！"));
  EXPECT_TRUE(server.Targets().empty());
}

TEST_F(DownloadCommand, AcceptedClickPreparesTheWindowAndTheRunSavesEveryPhoto) {
  form.lbl_DownWancheng->setText("9");  // the last run's count stays until a photo is saved
  Click();
  EXPECT_TRUE(boxes.plain.isEmpty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("photos")));  // made, one level
  EXPECT_TRUE(form.pb_download->isVisible());
  EXPECT_EQ(form.pb_download->value(), 0);
  EXPECT_EQ(form.pb_download->palette().color(QPalette::Highlight), QColor(0, 128, 0));
  EXPECT_TRUE(form.txt_download->isVisible());
  EXPECT_EQ(form.txt_download->text(), QStringLiteral("引擎初始化中..."));

  ASSERT_TRUE(WaitForRunToEnd());
  EXPECT_TRUE(boxes.plain.isEmpty());
  EXPECT_EQ(form.lbl_DownTotal->text(), QStringLiteral("3"));
  EXPECT_EQ(form.lbl_DownWancheng->text(), QStringLiteral("3"));
  EXPECT_EQ(form.pb_download->maximum(), 3);
  EXPECT_FALSE(form.txt_download->isVisible());
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadAll(dir.File("photos/4242_" + std::to_string(i) + ".jpg")), Jpeg(100 + i));
  QTRY_VERIFY_WITH_TIMEOUT(!form.img_display->Picture().isNull(), 5000);
}

TEST_F(DownloadCommand, NewClickAfterARunStartsANewRun) {
  Click();
  ASSERT_TRUE(WaitForRunToEnd());
  form.DownloadOptions.tick = [] { return 5151u; };
  Click();
  ASSERT_TRUE(WaitForRunToEnd());
  EXPECT_TRUE(boxes.plain.isEmpty()) << boxes.plain.join(u'|').toStdString();
  EXPECT_TRUE(std::filesystem::exists(dir.File("photos/5151_2.jpg")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("photos/4242_2.jpg")));
}

class SilentAlbum : public DownloadCommand {
 protected:
  RouteReply Answer(const std::string&, int) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    return {404, ""};
  }
};

TEST_F(SilentAlbum, SecondClickWhileTheFirstPageIsStillFetchedIsBusy) {
  Click();
  ASSERT_TRUE(form.DownloadRunning());
  Click();
  ASSERT_EQ(boxes.plain.size(), 1);
  EXPECT_EQ(boxes.plain[0],
            QStringLiteral("温馨提醒：目前已有下载任务进程，请等待此任务下载完毕再执行！"));
}

TEST_F(SilentAlbum, ClosingTheWindowCancelsTheRunningWorker) {
  auto* closing = new TForm1;
  closing->AppDir = dir.path().string();
  closing->DownloadOptions.timeouts.idle_read = std::chrono::milliseconds(60000);
  closing->show();
  closing->edt_directory_URL->setText(QString::fromStdString(AlbumUrl()));
  closing->edt_directory->setText(QString::fromStdString(dir.File("photos")));
  QTest::mouseClick(closing->img_download, Qt::LeftButton, {}, QPoint(300, 30));
  ASSERT_TRUE(closing->DownloadRunning());
  delete closing;  // returns once the worker has stopped; a hang fails the test by timeout
  EXPECT_TRUE(boxes.plain.isEmpty());
}

// The first try at the album page waits until the test has edited both boxes, then fails.
class EditedWhileRunning : public DownloadCommand {
 protected:
  RouteReply Answer(const std::string& target, int earlier) override {
    if (target != "/photos/album/7/") return DownloadCommand::Answer(target, earlier);
    for (int i = 0; i < 500 && !edited; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return {500, ""};
  }
  std::atomic<bool> edited{false};
};

TEST_F(EditedWhileRunning, RetryReadsTheAddressBoxAndPhotosGoToTheFolderBoxAsTheyStart) {
  std::filesystem::create_directory(dir.File("moved"));
  Click();
  for (int i = 0; i < 500 && server.Targets().empty(); ++i) QTest::qWait(10);  // first try held
  form.edt_directory_URL->setText(QString::fromStdString(server.Url("/photos/album/8/")));
  form.edt_directory->setText(QString::fromStdString(dir.File("moved")));
  edited = true;
  ASSERT_TRUE(WaitForRunToEnd());
  const std::vector<std::string> targets = server.Targets();
  ASSERT_GE(targets.size(), 2u);
  EXPECT_EQ(targets[0], "/photos/album/7/");
  EXPECT_EQ(targets[1], "/photos/album/8/");
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadAll(dir.File("moved/4242_" + std::to_string(i) + ".jpg")), Jpeg(100 + i));
}

}  // namespace
}  // namespace tarn
