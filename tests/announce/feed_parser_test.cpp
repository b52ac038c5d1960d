// SPDX-License-Identifier: MIT
#include "announce/feed_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using Entries = std::vector<std::string>;

std::string Title(const std::string& text) { return "<P>quorbixtitle:" + text + "</P>\r\n"; }
std::string Link(const std::string& text) { return "<P>quorbixurl:" + text + "</P>\r\n"; }

std::string Announcement(const std::string& title, const std::string& link) {
  return Title(title) + Link(link);
}

TEST(FeedParser, SixAnnouncementsGiveTwelveEntriesInPageOrder) {
  std::string page = "<HTML><BODY>\r\n<H1>news</H1>\r\n";
  for (int i = 1; i <= 6; ++i)
    page += Announcement("title " + std::to_string(i), "http://a.test/" + std::to_string(i));
  page += "</BODY></HTML>";
  const Entries entries = ParseAnnouncements(page);
  ASSERT_EQ(entries.size(), 12u);
  EXPECT_EQ(entries[0], "title 1");
  EXPECT_EQ(entries[1], "http://a.test/1");
  EXPECT_EQ(entries[8], "title 5");
  EXPECT_EQ(entries[10], "title 6");
  EXPECT_EQ(entries[11], "http://a.test/6");
}

TEST(FeedParser, ExactlyFiveAnnouncementsGiveTenEntries) {
  std::string page;
  for (int i = 1; i <= 5; ++i)
    page += Announcement("t" + std::to_string(i), "u" + std::to_string(i));
  EXPECT_EQ(ParseAnnouncements(page),
            (Entries{"t1", "u1", "t2", "u2", "t3", "u3", "t4", "u4", "t5", "u5"}));
}

TEST(FeedParser, EntriesKeepBlanksMarkupAndReferencesByteForByte) {
  const std::string page =
      Announcement(" leading blank and trailing\t ", " http://a.test/x y ") +
      Announcement("<b>bold</b> &amp; \xE6\xB9\x96", "http://a.test/?a=1&amp;b=2");
  EXPECT_EQ(ParseAnnouncements(page),
            (Entries{" leading blank and trailing\t ", " http://a.test/x y ",
                     "<b>bold</b> &amp; \xE6\xB9\x96", "http://a.test/?a=1&amp;b=2"}));
}

TEST(FeedParser, MarkersInAnotherLetterCaseAreIgnored) {
  const std::string page = "<p>quorbixtitle:lower</p><P>QUORBIXTITLE:upper</P>" +
                           Link("first link") + Announcement("real", "real link");
  // The lower-case paragraphs are skipped; the first real title takes the first link after it.
  EXPECT_EQ(ParseAnnouncements(page), (Entries{"real", "real link"}));
}

TEST(FeedParser, TwoTitlesThenTwoLinksKeepOnlyTheFirstPair) {
  const std::string page = Title("A") + Title("B") + Link("a") + Link("b");
  EXPECT_EQ(ParseAnnouncements(page), (Entries{"A", "a"}));
}

TEST(FeedParser, ALinkBeforeTheFirstTitleIsIgnored) {
  const std::string page = Link("stray") + Announcement("A", "a");
  EXPECT_EQ(ParseAnnouncements(page), (Entries{"A", "a"}));
}

TEST(FeedParser, TitlesWithNoLinkAfterThemKeepEmptyLinksAndTheScanEnds) {
  EXPECT_EQ(ParseAnnouncements(Announcement("A", "a") + Title("B")), (Entries{"A", "a", "B", ""}));
  EXPECT_EQ(ParseAnnouncements(Title("A") + Title("B")), (Entries{"A", "", "B", ""}));
}

TEST(FeedParser, AParagraphWithoutItsEndGivesAnEmptyEntry) {
  EXPECT_EQ(ParseAnnouncements("<P>quorbixtitle:no end <P>quorbixurl:no end either"),
            (Entries{"", ""}));
  // The title's text runs to the first "</P>", which here closes the link paragraph.
  EXPECT_EQ(ParseAnnouncements("<P>quorbixtitle:A<P>quorbixurl:a</P>"),
            (Entries{"A<P>quorbixurl:a", "a"}));
  EXPECT_EQ(ParseAnnouncements(Title("A") + "<P>quorbixurl:unterminated"), (Entries{"A", ""}));
}

TEST(FeedParser, EmptyParagraphsGiveEmptyEntries) {
  EXPECT_EQ(ParseAnnouncements("<P>quorbixtitle:</P><P>quorbixurl:</P>"), (Entries{"", ""}));
}

TEST(FeedParser, APageWithoutTitlesGivesAnEmptyList) {
  EXPECT_TRUE(ParseAnnouncements("").empty());
  EXPECT_TRUE(ParseAnnouncements("<HTML>" + Link("only a link") + "</HTML>").empty());
}

TEST(FeedParser, EntriesBeyondTheBroadcastStayInTheList) {
  std::string page;
  for (int i = 1; i <= 8; ++i)
    page += Announcement("t" + std::to_string(i), "u" + std::to_string(i));
  const Entries entries = ParseAnnouncements(page);
  ASSERT_EQ(entries.size(), 16u);
  EXPECT_EQ(entries[14], "t8");
  EXPECT_EQ(entries[15], "u8");
}

TEST(FeedParser, TheScanResumesAtTheLinkUsed) {
  // Between A's link and the next title stands B with no link of its own before "a": B is
  // passed over, C takes the link after it.
  const std::string page = Title("A") + Title("B") + Link("a") + Announcement("C", "c");
  EXPECT_EQ(ParseAnnouncements(page), (Entries{"A", "a", "C", "c"}));
}

}  // namespace
}  // namespace tarn
