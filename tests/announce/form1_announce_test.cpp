// SPDX-License-Identifier: MIT
// The window's announcements: first captions, rotation, clicks, opening links, hover looks,
// and the feed thread against a loopback server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTest>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/form1.h"
#include "base/shared_flags.h"
#include "net/loopback_server.h"
#include "support/message_recorder.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using net::testing::AwaitClientClose;
using net::testing::ConnectionScript;
using net::testing::LoopbackServer;
using net::testing::ReadRequest;
using net::testing::ResetConnection;
using net::testing::Send;
using Entries = std::vector<std::string>;

constexpr int kFeedWaitMs = 10000;  // far beyond eleven loopback fetches
const QString kInitialLine = QStringLiteral("Tarn，您豆瓣的好伙伴！");

// `count` announcements "T1", "http://a.test/1", "T2", ...
Entries Announcements(int count) {
  Entries list;
  for (int i = 1; i <= count; ++i) {
    list.push_back("T" + std::to_string(i));
    list.push_back("http://a.test/" + std::to_string(i));
  }
  return list;
}

std::string FeedPage(const Entries& list) {
  std::string page = "<HTML><BODY>\r\n";
  for (size_t i = 0; i + 1 < list.size(); i += 2)
    page += "<P>quorbixtitle:" + list[i] + "</P>\r\n<P>quorbixurl:" + list[i + 1] + "</P>\r\n";
  return page + "</BODY></HTML>";
}

ConnectionScript Answer(const std::string& body) {
  return {ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\n\r\n" + body)};
}

void SendMouseMove(QWidget* widget) {
  QMouseEvent event(QEvent::MouseMove, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)),
                    Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

void SendLeave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QCoreApplication::sendEvent(widget, &event);
}

// A window whose links are recorded instead of opened, with no feed unless a test sets one.
class AnnouncementWindow : public ::testing::Test {
 protected:
  AnnouncementWindow() {
    setenv("TARN_FEED_URL", "", 1);
    FeedUnreachable = 0;
    form_.AppDir = dir_.path().string();
    form_.OpenInBrowserFn = [this](const std::string& address) { opened_.push_back(address); };
  }

  void Tick() { form_.tmr_adTimer(); }
  QString Line() const { return form_.lbl_ad1->text(); }

  testing::TempDir dir_;
  testing::MessageRecorder messages_;
  TForm1 form_;
  std::vector<std::string> opened_;
};

TEST_F(AnnouncementWindow, SixAnnouncementsShowTheFirstTitleAndTheBroadcast) {
  form_.ShowAnnouncements(Announcements(6));
  EXPECT_EQ(Line(), "T1");
  EXPECT_EQ(form_.lbl_GuangBo->text(), "T6");
}

TEST_F(AnnouncementWindow, FiveAnnouncementsLeaveTheBroadcastAndItsClickAlone) {
  const QString broadcast = form_.lbl_GuangBo->text();
  form_.ShowAnnouncements(Announcements(5));
  EXPECT_EQ(Line(), "T1");
  EXPECT_EQ(form_.lbl_GuangBo->text(), broadcast);
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_TRUE(opened_.empty());
}

TEST_F(AnnouncementWindow, AnEmptyListChangesNoCaption) {
  const QString broadcast = form_.lbl_GuangBo->text();
  form_.ShowAnnouncements({});
  EXPECT_EQ(Line(), kInitialLine);
  EXPECT_EQ(form_.lbl_GuangBo->text(), broadcast);
  Tick();
  form_.lbl_ad1Click(nullptr);
  EXPECT_EQ(Line(), kInitialLine);
  EXPECT_TRUE(opened_.empty());
}

TEST_F(AnnouncementWindow, FeedTextIsShownAsItStandsInItsEncoding) {
  Entries list{"<b>湖光</b> &amp; news", "http://a.test/"};
  Entries with_broadcast = Announcements(5);
  with_broadcast.push_back("<img src=\"/etc/x.png\">小集");
  with_broadcast.push_back("http://a.test/b");
  form_.ShowAnnouncements(with_broadcast);
  EXPECT_EQ(form_.lbl_GuangBo->textFormat(), Qt::PlainText);
  EXPECT_EQ(form_.lbl_GuangBo->text(), QStringLiteral("<img src=\"/etc/x.png\">小集"));
  EXPECT_EQ(form_.lbl_ad1->textFormat(), Qt::PlainText);

  TForm1 other;
  other.ShowAnnouncements(list);
  EXPECT_EQ(other.lbl_ad1->text(), QStringLiteral("<b>湖光</b> &amp; news"));
}

TEST_F(AnnouncementWindow, TheTimerStepsThroughThreeTitles) {
  form_.ShowAnnouncements(Announcements(3));
  QStringList shown{Line()};
  for (int i = 0; i < 6; ++i) {
    Tick();
    shown << Line();
  }
  EXPECT_EQ(shown, (QStringList{"T1", "T2", "T3", "T1", "T2", "T3", "T1"}));
}

TEST_F(AnnouncementWindow, TheTimerKeepsOneTitleAndSkipsTheBroadcast) {
  form_.ShowAnnouncements(Announcements(1));
  Tick();
  EXPECT_EQ(Line(), "T1");

  TForm1 six;
  six.ShowAnnouncements(Announcements(6));
  QStringList shown{six.lbl_ad1->text()};
  for (int i = 0; i < 5; ++i) {
    six.tmr_adTimer();
    shown << six.lbl_ad1->text();
  }
  EXPECT_EQ(shown, (QStringList{"T1", "T2", "T3", "T4", "T5", "T1"}));
}

TEST_F(AnnouncementWindow, AlikeTitlesRunABABAndAClickOnAOpensTheFirstLink) {
  form_.ShowAnnouncements({"A", "http://a.test/a1", "B", "http://a.test/b", "A", "http://a.test/a2",
                           "C", "http://a.test/c", "D", "http://a.test/d"});
  QStringList shown{Line()};
  for (int i = 0; i < 4; ++i) {
    Tick();
    shown << Line();
    form_.lbl_ad1Click(nullptr);
  }
  EXPECT_EQ(shown, (QStringList{"A", "B", "A", "B", "A"}));
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://a.test/b", "http://a.test/a1",
                                               "http://a.test/b", "http://a.test/a1"}));
}

TEST_F(AnnouncementWindow, TheRealTimerRotatesEverySixSeconds) {
  EXPECT_EQ(form_.tmr_ad->interval(), 6000);
  EXPECT_TRUE(form_.tmr_ad->isActive());
  form_.ShowAnnouncements(Announcements(2));
  ASSERT_TRUE(QMetaObject::invokeMethod(form_.tmr_ad, "timeout"));
  EXPECT_EQ(Line(), "T2");
}

TEST_F(AnnouncementWindow, ACaptionThatIsNoTitleGoesBackToTheFirst) {
  form_.ShowAnnouncements(Announcements(3));
  form_.lbl_ad1->setText(QStringLiteral("t2"));  // letter case counts
  Tick();
  EXPECT_EQ(Line(), "T1");
}

TEST_F(AnnouncementWindow, EachShownTitleOpensItsLinkAndAnyOtherCaptionTheFifth) {
  form_.ShowAnnouncements(Announcements(6));
  for (int i = 0; i < 5; ++i) {
    form_.lbl_ad1Click(nullptr);
    Tick();
  }
  form_.lbl_ad1->setText(QStringLiteral("something else"));
  form_.lbl_ad1Click(nullptr);
  EXPECT_EQ(opened_,
            (std::vector<std::string>{"http://a.test/1", "http://a.test/2", "http://a.test/3",
                                      "http://a.test/4", "http://a.test/5", "http://a.test/5"}));
}

TEST_F(AnnouncementWindow, AClickWhoseLinkLiesPastTheListDoesNothingQuietly) {
  form_.ShowAnnouncements(Announcements(3));
  form_.lbl_ad1->setText(kInitialLine);  // as if the first caption had not come yet
  form_.lbl_ad1Click(nullptr);
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(messages_.errors.isEmpty());
  EXPECT_TRUE(messages_.plain.isEmpty());
}

TEST_F(AnnouncementWindow, TheBroadcastClickNeedsTwelveEntries) {
  const QString broadcast = form_.lbl_GuangBo->text();
  Entries eleven = Announcements(5);
  eleven.push_back("broadcast");
  form_.ShowAnnouncements(eleven);
  EXPECT_EQ(form_.lbl_GuangBo->text(), broadcast);
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_TRUE(opened_.empty());

  TForm1 twelve;
  twelve.OpenInBrowserFn = [this](const std::string& address) { opened_.push_back(address); };
  twelve.ShowAnnouncements(Announcements(6));
  twelve.lbl_GuangBoClick(nullptr);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://a.test/6"}));
}

TEST_F(AnnouncementWindow, TheBroadcastClickIgnoresTheNetworkFlag) {
  form_.ShowAnnouncements(Announcements(6));
  FeedUnreachable = 1;
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://a.test/6"}));
}

TEST_F(AnnouncementWindow, AnUnreachableFeedStopsRotationAndLineClicks) {
  form_.ShowAnnouncements(Announcements(3));
  FeedUnreachable = 1;
  Tick();
  form_.lbl_ad1Click(nullptr);
  EXPECT_EQ(Line(), "T1");
  EXPECT_TRUE(opened_.empty());
}

TEST_F(AnnouncementWindow, WithoutAListNothingHappens) {
  Tick();
  form_.lbl_ad1Click(nullptr);
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_EQ(Line(), kInitialLine);
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(messages_.errors.isEmpty());
}

TEST_F(AnnouncementWindow, MouseClicksOnTheLabelsOpenTheirLinks) {
  form_.show();
  form_.ShowAnnouncements(Announcements(6));
  QTest::mouseClick(form_.lbl_ad1, Qt::LeftButton, {}, QPoint(20, 5));
  QTest::mouseClick(form_.lbl_GuangBo, Qt::LeftButton, {}, QPoint(20, 5));
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://a.test/1", "http://a.test/6"}));
}

TEST_F(AnnouncementWindow, WebLinksGoOutUnchangedAndAsOneArgument) {
  form_.OpenLink("http://a.test/a b?c=\"d\" e");
  form_.OpenLink("HTTPS://A.test/Path");
  EXPECT_EQ(opened_,
            (std::vector<std::string>{"http://a.test/a b?c=\"d\" e", "HTTPS://A.test/Path"}));
}

TEST_F(AnnouncementWindow, LinksThatAreNoWebAddressesAreIgnoredSilently) {
  for (const char* link :
       {"file:///etc/passwd", "-x", "--new-window http://a.test/", "javascript:alert(1)",
        "a.test/page", "/usr/bin/xterm", "", " http://a.test/"}) {
    form_.OpenLink(link);
  }
  // The same through a click on a title whose link came from the feed.
  form_.ShowAnnouncements({"T1", "file:///home/user/.ssh/id_rsa"});
  form_.lbl_ad1Click(nullptr);
  EXPECT_TRUE(opened_.empty());
  EXPECT_TRUE(messages_.errors.isEmpty());
  EXPECT_TRUE(messages_.plain.isEmpty());
}

TEST_F(AnnouncementWindow, TheLineLosesItsUnderlineUnderTheMouseAndGetsItBack) {
  const QFont rest = form_.lbl_ad1->font();
  ASSERT_TRUE(rest.underline());
  const QColor green(0, 128, 0);
  ASSERT_EQ(form_.lbl_ad1->palette().color(QPalette::WindowText), green);

  SendMouseMove(form_.lbl_ad1);
  QFont under = form_.lbl_ad1->font();
  EXPECT_FALSE(under.underline());
  EXPECT_FALSE(under.bold() || under.italic() || under.strikeOut());
  EXPECT_EQ(under.pixelSize(), rest.pixelSize());
  EXPECT_EQ(under.pointSizeF(), rest.pointSizeF());
  EXPECT_EQ(form_.lbl_ad1->palette().color(QPalette::WindowText), green);
  SendMouseMove(form_.lbl_ad1);
  EXPECT_EQ(form_.lbl_ad1->font(), under);

  SendLeave(form_.lbl_ad1);
  EXPECT_EQ(form_.lbl_ad1->font(), rest);
  EXPECT_EQ(form_.lbl_ad1->palette().color(QPalette::WindowText), green);
}

TEST_F(AnnouncementWindow, TheBroadcastGainsAnUnderlineUnderTheMouse) {
  const QFont rest = form_.lbl_GuangBo->font();
  ASSERT_FALSE(rest.underline());
  const QColor colour = form_.lbl_GuangBo->palette().color(QPalette::WindowText);

  SendMouseMove(form_.lbl_GuangBo);
  QFont expected = rest;
  expected.setUnderline(true);
  EXPECT_EQ(form_.lbl_GuangBo->font(), expected);

  SendLeave(form_.lbl_GuangBo);
  EXPECT_EQ(form_.lbl_GuangBo->font(), rest);
  EXPECT_EQ(form_.lbl_GuangBo->palette().color(QPalette::WindowText), colour);
}

TEST_F(AnnouncementWindow, BothLabelsShowTheHandFromTheFirstShow) {
  form_.show();
  EXPECT_EQ(form_.lbl_ad1->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(form_.lbl_GuangBo->cursor().shape(), Qt::PointingHandCursor);
}

// The feed thread, started by the first show.
class FeedWindow : public AnnouncementWindow {
 protected:
  void ServeFeed(const LoopbackServer& server) {
    setenv("TARN_FEED_URL", server.Url("/feed.html").c_str(), 1);
  }
};

TEST_F(FeedWindow, TheFeedFillsBothLabelsOnTheWindowsThread) {
  LoopbackServer server({Answer(FeedPage(Announcements(7)))});
  ServeFeed(server);
  form_.show();
  QTRY_COMPARE_WITH_TIMEOUT(Line(), QStringLiteral("T1"), kFeedWaitMs);
  EXPECT_EQ(form_.lbl_GuangBo->text(), "T6");
  EXPECT_EQ(FeedUnreachable, 0);
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_EQ(opened_, (std::vector<std::string>{"http://a.test/6"}));
}

TEST_F(FeedWindow, TenFailuresThenTheFeed) {
  std::vector<ConnectionScript> scripts(10, ConnectionScript{ReadRequest(), ResetConnection()});
  scripts.push_back(Answer(FeedPage(Announcements(2))));
  LoopbackServer server(std::move(scripts));
  ServeFeed(server);
  form_.show();
  QTRY_COMPARE_WITH_TIMEOUT(Line(), QStringLiteral("T1"), kFeedWaitMs);
  EXPECT_EQ(FeedUnreachable, 0);
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST_F(FeedWindow, ElevenFailuresKeepTheLabelsAndStopTheLine) {
  const QString broadcast = form_.lbl_GuangBo->text();
  LoopbackServer server(
      std::vector<ConnectionScript>(11, ConnectionScript{ReadRequest(), ResetConnection()}));
  ServeFeed(server);
  form_.show();
  QTRY_COMPARE_WITH_TIMEOUT(FeedUnreachable.load(), 1, kFeedWaitMs);
  server.Finish();
  EXPECT_EQ(server.ExtraConnections(), 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(Line(), kInitialLine);
  EXPECT_EQ(form_.lbl_GuangBo->text(), broadcast);
  Tick();
  form_.lbl_ad1Click(nullptr);
  form_.lbl_GuangBoClick(nullptr);
  EXPECT_EQ(Line(), kInitialLine);
  EXPECT_TRUE(opened_.empty());
}

TEST_F(FeedWindow, ClosingTheWindowDuringTheFetchBreaksItOff) {
  LoopbackServer server({{ReadRequest(), AwaitClientClose()}});
  ServeFeed(server);
  {
    TForm1 window;
    window.AppDir = dir_.path().string();
    window.show();
    ASSERT_TRUE(server.WaitForRequests(1));
    window.close();
  }  // must return although the answer never comes
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
  EXPECT_EQ(FeedUnreachable, 0);
  QCoreApplication::processEvents();  // nothing may be left to reach the window
}

TEST_F(FeedWindow, AFeedArrivingAsTheWindowGoesTouchesNothing) {
  LoopbackServer server({Answer(FeedPage(Announcements(6)))});
  ServeFeed(server);
  {
    TForm1 window;
    window.AppDir = dir_.path().string();
    window.show();
    ASSERT_TRUE(server.WaitForScripts(1));
  }  // the list may be on its way to the window as it goes
  QCoreApplication::processEvents();
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
}

}  // namespace
}  // namespace tarn
