// SPDX-License-Identifier: MIT
#include "announce/announcement_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using Entries = std::vector<std::string>;

// `titles` announcements "T1", "L1", "T2", "L2", ...
Entries Announcements(int count) {
  Entries list;
  for (int i = 1; i <= count; ++i) {
    list.push_back("T" + std::to_string(i));
    list.push_back("L" + std::to_string(i));
  }
  return list;
}

// The captions the line shows, tick after tick, starting from the first title.
std::vector<std::string> Rotation(const Entries& list, int ticks) {
  std::vector<std::string> shown{list[kFirstTitle]};
  for (int i = 0; i < ticks; ++i) shown.push_back(list[NextTitle(list, shown.back())]);
  return shown;
}

using Captions = std::vector<std::string>;

TEST(Rotation, OneAnnouncementStaysOnItsTitle) {
  EXPECT_EQ(Rotation(Announcements(1), 3), (Captions{"T1", "T1", "T1", "T1"}));
}

TEST(Rotation, ThreeAnnouncementsGoRoundInTurn) {
  EXPECT_EQ(Rotation(Announcements(3), 6), (Captions{"T1", "T2", "T3", "T1", "T2", "T3", "T1"}));
}

TEST(Rotation, FiveAnnouncementsGoRoundAndTheBroadcastNeverShows) {
  const Captions five{"T1", "T2", "T3", "T4", "T5", "T1", "T2", "T3", "T4", "T5", "T1"};
  EXPECT_EQ(Rotation(Announcements(5), 10), five);
  EXPECT_EQ(Rotation(Announcements(6), 10), five);
  EXPECT_EQ(Rotation(Announcements(8), 10), five);
}

TEST(Rotation, TheFirstEqualTitleDecides) {
  const Entries list{"A", "a1", "B", "b", "A", "a2", "C", "c", "D", "d"};
  EXPECT_EQ(Rotation(list, 5), (Captions{"A", "B", "A", "B", "A", "B"}));
}

TEST(Rotation, ACaptionThatIsNoTitleGoesBackToTheFirst) {
  EXPECT_EQ(NextTitle(Announcements(5), std::string("Tarn")), kFirstTitle);
  EXPECT_EQ(NextTitle(Announcements(5), std::string("L1")), kFirstTitle);  // links never match
  EXPECT_EQ(NextTitle(Announcements(1), std::string("t1")), kFirstTitle);  // case counts
}

TEST(Rotation, AnOddListFallsBackInsteadOfReadingPastItsEnd) {
  EXPECT_EQ(NextTitle(Entries{"A"}, std::string("A")), kFirstTitle);
  EXPECT_EQ(NextTitle(Entries{"A", "a", "B"}, std::string("A")), 2u);
  EXPECT_EQ(NextTitle(Entries{"A", "a", "B"}, std::string("B")), kFirstTitle);
}

TEST(AnnouncementClick, EachShownTitleOpensItsOwnLink) {
  const Entries list = Announcements(5);
  EXPECT_EQ(LinkForCaption(list, std::string("T1")), 1u);
  EXPECT_EQ(LinkForCaption(list, std::string("T2")), 3u);
  EXPECT_EQ(LinkForCaption(list, std::string("T3")), 5u);
  EXPECT_EQ(LinkForCaption(list, std::string("T4")), 7u);
  // The fifth title is not compared: it and any other caption open the fifth link.
  EXPECT_EQ(LinkForCaption(list, std::string("T5")), 9u);
  EXPECT_EQ(LinkForCaption(list, std::string("Tarn")), 9u);
}

TEST(AnnouncementClick, TheFirstEqualTitleDecides) {
  const Entries list{"A", "a1", "B", "b", "A", "a2", "C", "c", "D", "d"};
  EXPECT_EQ(LinkForCaption(list, std::string("A")), 1u);
}

TEST(AnnouncementClick, NothingWhenTheTableReachesPastTheList) {
  EXPECT_EQ(LinkForCaption(Announcements(1), std::string("T1")), 1u);
  EXPECT_EQ(LinkForCaption(Announcements(1), std::string("Tarn")), std::nullopt);
  EXPECT_EQ(LinkForCaption(Announcements(3), std::string("Tarn")), std::nullopt);
  EXPECT_EQ(LinkForCaption(Announcements(4), std::string("Tarn")), std::nullopt);
  EXPECT_EQ(LinkForCaption(Entries{"A"}, std::string("A")), std::nullopt);
  EXPECT_EQ(LinkForCaption(Entries{"A", "a", "B"}, std::string("B")), std::nullopt);
}

TEST(BroadcastClick, OpensTheBroadcastLinkOnlyFromTwelveEntries) {
  EXPECT_EQ(BroadcastLink(0), std::nullopt);
  EXPECT_EQ(BroadcastLink(10), std::nullopt);
  EXPECT_EQ(BroadcastLink(11), std::nullopt);
  EXPECT_EQ(BroadcastLink(12), kBroadcastLink);
  EXPECT_EQ(BroadcastLink(16), kBroadcastLink);
}

}  // namespace
}  // namespace tarn
