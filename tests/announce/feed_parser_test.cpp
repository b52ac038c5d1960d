// SPDX-License-Identifier: MIT
#include "announce/feed_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

using Entries = std::vector<std::string>;

std::string T(const std::string& text) { return "<P>quorbixtitle:" + text + "</P>\r\n"; }
std::string L(const std::string& text) { return "<P>quorbixurl:" + text + "</P>\r\n"; }

std::string Pairs(int count) {
  std::string page;
  for (int i = 1; i <= count; ++i) page += T("t" + std::to_string(i)) + L("u" + std::to_string(i));
  return page;
}

struct Case {
  const char* name;
  std::string page;
  Entries entries;
};

TEST(FeedParser, LiteralPages) {
  const Case cases[] = {
      {"five announcements",
       "<HTML>" + Pairs(5) + "</HTML>",
       {"t1", "u1", "t2", "u2", "t3", "u3", "t4", "u4", "t5", "u5"}},
      {"blanks, markup and bytes kept",
       T(" <b>x</b> &amp; \xBA\xFE ") + L(" http://a/b c "),
       {" <b>x</b> &amp; \xBA\xFE ", " http://a/b c "}},
      {"lower-case marker ignored",
       "<p>quorbixtitle:no</p><P>QUORBIXTITLE:no</P>" + L("x") + T("A") + L("a"),
       {"A", "a"}},
      {"two titles then two links", T("A") + T("B") + L("a") + L("b"), {"A", "a"}},
      {"scan resumes at the link used",
       T("A") + T("B") + L("a") + T("C") + L("c"),
       {"A", "a", "C", "c"}},
      {"link before the first title", L("stray") + T("A") + L("a"), {"A", "a"}},
      {"titles with no link after them",
       T("A") + L("a") + T("B") + T("C"),
       {"A", "a", "B", "", "C", ""}},
      {"no </P>", "<P>quorbixtitle:A <P>quorbixurl:a", {"", ""}},
      {"title runs to the first </P>",
       "<P>quorbixtitle:A<P>quorbixurl:a</P>",
       {"A<P>quorbixurl:a", "a"}},
      {"empty paragraphs", "<P>quorbixtitle:</P><P>quorbixurl:</P>", {"", ""}},
      {"no title at all", "<HTML>" + L("a") + "</HTML>", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseAnnouncements(c.page), c.entries) << c.name;
}

TEST(FeedParser, SixAndMoreAnnouncementsAreAllKept) {
  const Entries entries = ParseAnnouncements(Pairs(7));
  ASSERT_EQ(entries.size(), 14u);
  EXPECT_EQ(entries[10], "t6");
  EXPECT_EQ(entries[11], "u6");
  EXPECT_EQ(entries[13], "u7");
}

TEST(FeedParser, OnlyTheFirstHundredAnnouncementsAreKept) {
  const Entries entries = ParseAnnouncements(Pairs(kMaxAnnouncements + 1));
  ASSERT_EQ(entries.size(), 2 * kMaxAnnouncements);
  EXPECT_EQ(entries.back(), "u100");
}

TEST(FeedParser, ParagraphLongerThanTheLimitGivesAnEmptyEntry) {
  const std::string longest(kMaxEntryLength, 'x');
  EXPECT_EQ(ParseAnnouncements(T(longest) + L("a")), (Entries{longest, "a"}));
  EXPECT_EQ(ParseAnnouncements(T(longest + "x") + L("a")), (Entries{"", "a"}));
}

// Markers nested in a paragraph that closes only at the end of the page gave every entry the
// rest of the page: a hostile feed of n bytes made entries of n * n / 32 bytes.
TEST(FeedParser, NestedMarkersNeverMakeEntriesLargerThanTheLimits) {
  std::string page;
  for (int i = 0; i < 20000; ++i) page += "<P>quorbixtitle:<P>quorbixurl:";
  page += "</P>";
  size_t bytes = 0;
  for (const std::string& entry : ParseAnnouncements(page)) bytes += entry.size();
  EXPECT_LE(bytes, page.size());
}

}  // namespace
}  // namespace tarn
