// SPDX-License-Identifier: MIT
#include "announce/announcement_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using Strings = std::vector<std::string>;

// `count` announcements: "T1", "L1", "T2", "L2", ...
Strings Announcements(int count) {
  Strings list;
  for (int i = 1; i <= count; ++i) {
    list.push_back("T" + std::to_string(i));
    list.push_back("L" + std::to_string(i));
  }
  return list;
}

// The first caption and the `ticks` that follow it.
Strings Rotation(const Strings& list, int ticks) {
  Strings shown{list[0]};
  for (int i = 0; i < ticks; ++i) shown.push_back(list[NextTitle(list, shown.back())]);
  return shown;
}

TEST(Rotation, Sequences) {
  EXPECT_EQ(Rotation(Announcements(1), 2), (Strings{"T1", "T1", "T1"}));
  EXPECT_EQ(Rotation(Announcements(3), 4), (Strings{"T1", "T2", "T3", "T1", "T2"}));
  const Strings five{"T1", "T2", "T3", "T4", "T5", "T1", "T2"};
  EXPECT_EQ(Rotation(Announcements(5), 6), five);
  EXPECT_EQ(Rotation(Announcements(7), 6), five);  // the broadcast never shows
  EXPECT_EQ(Rotation({"A", "a", "B", "b", "A", "a2", "C", "c", "D", "d"}, 4),
            (Strings{"A", "B", "A", "B", "A"}));
  EXPECT_EQ(NextTitle(Announcements(3), std::string("t2")), 0u);  // case counts
  EXPECT_EQ(NextTitle(Strings{"A", "a", "B"}, std::string("B")), 0u);
}

TEST(AnnouncementClick, Table) {
  const Strings five = Announcements(5);
  EXPECT_EQ(LinkForCaption(five, std::string("T1")), 1u);
  EXPECT_EQ(LinkForCaption(five, std::string("T4")), 7u);
  EXPECT_EQ(LinkForCaption(five, std::string("T5")), 9u);  // not compared: the fallback
  EXPECT_EQ(LinkForCaption(five, std::string("other")), 9u);
  EXPECT_EQ(LinkForCaption(Strings{"A", "a", "B", "b", "A", "a2"}, std::string("A")), 1u);
  // Nothing where the table reaches past the list.
  EXPECT_EQ(LinkForCaption(Announcements(4), std::string("other")), std::nullopt);
  EXPECT_EQ(LinkForCaption(Announcements(1), std::string("other")), std::nullopt);
  EXPECT_EQ(LinkForCaption(Strings{"A", "a", "B"}, std::string("B")), std::nullopt);
}

TEST(BroadcastClick, NeedsTwelveEntries) {
  EXPECT_EQ(BroadcastLink(11), std::nullopt);
  EXPECT_EQ(BroadcastLink(12), 11u);
  EXPECT_EQ(BroadcastLink(14), 11u);
}

}  // namespace
}  // namespace tarn
