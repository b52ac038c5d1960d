// SPDX-License-Identifier: MIT
// The window's announcements: captions, rotation, clicks, links, hover looks, and the feed
// thread against a loopback server.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <cstdlib>

#include "app/form1.h"
#include "support/loopback_server.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using namespace net::testing;
using Strings = std::vector<std::string>;

constexpr int kFeedWaitMs = 10000;  // far beyond eleven loopback fetches
const QString kFirstLine = QStringLiteral("Tarn，您豆瓣的好伙伴！");

// `count` announcements: "T1", "http://a/1", "T2", ...
Strings Announcements(int count) {
  Strings list;
  for (int i = 1; i <= count; ++i) {
    list.push_back("T" + std::to_string(i));
    list.push_back("http://a/" + std::to_string(i));
  }
  return list;
}

void Hover(QWidget* widget, QEvent::Type type) {
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(widget, type == QEvent::MouseMove ? &move : &leave);
}

// A shown window with no feed unless a test serves one; links are recorded, not opened.
class AnnouncementWindow : public ::testing::Test {
 protected:
  void Show(const std::string& feed = "") {
    qputenv("TARN_FEED_URL", feed.c_str());
    form_.AppDir = dir_.path().string();
    form_.OpenInBrowserFn = [this](const std::string& address) { opened_.push_back(address); };
    form_.show();
  }
  QString Line() const { return form_.lbl_ad1->text(); }

  testing::TempDir dir_;
  testing::MessageRecorder messages_;
  TForm1 form_;
  Strings opened_;
};

TEST_F(AnnouncementWindow, FirstCaptionsAndTheBroadcastClick) {
  Show();
  const QString broadcast = form_.lbl_GuangBo->text();
  form_.ShowAnnouncements(Announcements(5));  // ten entries: no broadcast
  EXPECT_EQ(Line(), "T1");
  EXPECT_EQ(form_.lbl_GuangBo->text(), broadcast);
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_TRUE(opened_.empty());

  TForm1 eleven;
  Strings list = Announcements(5);
  list.push_back("<b>B</b>");
  eleven.ShowAnnouncements(list);
  EXPECT_EQ(eleven.lbl_GuangBo->text(), broadcast);

  TForm1 six;
  six.OpenInBrowserFn = form_.OpenInBrowserFn;
  list.push_back("http://a/b");
  six.ShowAnnouncements(list);
  EXPECT_EQ(six.lbl_GuangBo->text(), "<b>B</b>");
  EXPECT_EQ(six.lbl_GuangBo->textFormat(), Qt::PlainText);  // feed markup is not rendered
  six.FeedUnreachableReported();                            // not consulted by this click
  six.lbl_GuangBoClick(nullptr);
  EXPECT_EQ(opened_, Strings{"http://a/b"});
}

TEST_F(AnnouncementWindow, TheTimerRotatesAndClicksOpenTheShownTitlesLink) {
  Show();
  EXPECT_EQ(form_.tmr_ad->interval(), 6000);
  form_.ShowAnnouncements(Announcements(3));
  QStringList shown{Line()};
  for (int i = 0; i < 4; ++i) {
    QTest::mouseClick(form_.lbl_ad1, Qt::LeftButton, {}, QPoint(20, 5));
    ASSERT_TRUE(QMetaObject::invokeMethod(form_.tmr_ad, "timeout"));
    shown << Line();
  }
  EXPECT_EQ(shown, (QStringList{"T1", "T2", "T3", "T1", "T2"}));
  EXPECT_EQ(opened_, (Strings{"http://a/1", "http://a/2", "http://a/3", "http://a/1"}));
}

TEST_F(AnnouncementWindow, NothingHappensWithoutAUsableListOrWithTheNetworkDown) {
  Show();
  form_.tmr_adTimer();
  form_.lbl_ad1Click(nullptr);
  form_.ShowAnnouncements(Announcements(3));
  form_.lbl_ad1->setText(kFirstLine);  // a caption whose link lies past the list
  form_.lbl_ad1Click(nullptr);
  form_.FeedUnreachableReported();
  form_.tmr_adTimer();
  EXPECT_EQ(Line(), kFirstLine);
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(messages_.errors.isEmpty());
}

TEST_F(AnnouncementWindow, OnlyWebAddressesAreOpenedAndThenUnchanged) {
  Show();
  for (const char* link : {"http://a/x y?q=\"1\"", "HTTPS://A/B", "file:///etc/passwd", "-x",
                           "javascript:alert(1)", "a/page", " http://a/", ""})
    form_.OpenLink(link);
  EXPECT_EQ(opened_, (Strings{"http://a/x y?q=\"1\"", "HTTPS://A/B"}));
}

TEST_F(AnnouncementWindow, HoverLooks) {
  const QFont line = form_.lbl_ad1->font();
  const QFont broadcast = form_.lbl_GuangBo->font();
  ASSERT_TRUE(line.underline());
  Hover(form_.lbl_ad1, QEvent::MouseMove);
  QFont plain = line;
  plain.setUnderline(false);
  EXPECT_EQ(form_.lbl_ad1->font(), plain);
  Hover(form_.lbl_ad1, QEvent::Leave);
  EXPECT_EQ(form_.lbl_ad1->font(), line);
  EXPECT_EQ(form_.lbl_ad1->palette().color(QPalette::WindowText), QColor(0, 128, 0));

  Hover(form_.lbl_GuangBo, QEvent::MouseMove);
  EXPECT_TRUE(form_.lbl_GuangBo->font().underline());
  Hover(form_.lbl_GuangBo, QEvent::Leave);
  EXPECT_EQ(form_.lbl_GuangBo->font(), broadcast);
}

std::string FeedPage(const Strings& list) {
  std::string page;
  for (size_t i = 0; i < list.size(); i += 2)
    page += "<P>quorbixtitle:" + list[i] + "</P><P>quorbixurl:" + list[i + 1] + "</P>\r\n";
  return page;
}

TEST_F(AnnouncementWindow, TheFeedFillsBothLabelsInTheCodePageItIsWrittenIn) {
  // A feed written for Chinese Windows: GBK, and no charset in the answer.
  Strings list = Announcements(6);
  list[0] = "\xB9\xAB\xB8\xE6\xD2\xBB\xA3\xBATarn 1.1 notice ONE";
  list[10] = "\xB9\xE3\xB2\xA5\xA3\xBA\xC3\xE2\xB7\xD1";
  const std::string page = FeedPage(list);
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: " +
                                              std::to_string(page.size()) + "\r\n\r\n" + page)}});
  Show(server.Url("/feed"));
  QTRY_COMPARE_WITH_TIMEOUT(Line(), QStringLiteral("公告一：Tarn 1.1 notice ONE"), kFeedWaitMs);
  EXPECT_EQ(form_.lbl_GuangBo->text(), QStringLiteral("广播：免费"));
  form_.tmr_adTimer();  // the decoded title is still found among the titles
  EXPECT_EQ(Line(), "T2");
}

TEST_F(AnnouncementWindow, ElevenFailuresKeepTheLabelsAndRefuseDownloads) {
  const QString broadcast = form_.lbl_GuangBo->text();
  LoopbackServer server(
      std::vector<ConnectionScript>(11, ConnectionScript{ReadRequest(), ResetConnection()}));
  Show(server.Url("/feed"));
  QTRY_VERIFY_WITH_TIMEOUT(form_.FeedUnreachable(), kFeedWaitMs);
  server.Finish();
  EXPECT_EQ(server.ExtraConnections(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(Line(), kFirstLine);
  EXPECT_EQ(form_.lbl_GuangBo->text(), broadcast);

  form_.edt_directory->setText(QString::fromStdString(dir_.File("photos")));
  form_.img_downloadClick(nullptr);
  EXPECT_EQ(messages_.plain, QStringList{QStringLiteral("网络连接暂时有问题，请稍候...")});
}

TEST(AnnouncementThread, ClosingTheWindowBreaksOffTheFetch) {
  LoopbackServer server({{ReadRequest(), AwaitClientClose()}});  // never answers
  qputenv("TARN_FEED_URL", server.Url("/feed").c_str());
  testing::TempDir dir;
  {
    TForm1 window;
    window.AppDir = dir.path().string();
    window.show();
    ASSERT_TRUE(server.WaitForRequests(1));
  }  // returns although no answer comes
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);  // no retry after the stop
  QCoreApplication::processEvents();        // nothing is left to reach the window
}

}  // namespace
}  // namespace tarn
