// SPDX-License-Identifier: MIT
#include "download/html_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

TEST(DecodeHtmlEntities, KnownReferencesDecodeOthersStay) {
  const std::pair<std::string, std::string> cases[] = {
      {"say &quot;hi&quot;", "say \"hi\""},
      {"a &amp; b", "a & b"},
      {"it&#39;s &apos;x&apos;", "it's 'x'"},
      {"&lt;b&gt;", "<b>"},
      {"&#x4E2D;&#25991;", "中文"},
      {"&#X1F600;", "\xF0\x9F\x98\x80"},
      {"a&nbsp;b",
       "a\xC2\xA0"
       "b"},
      {"&amp;quot;", "&quot;"},  // decoded once only
      {"&copy; &unknown; & &; &#; &#x; &#abc;", "&copy; &unknown; & &; &#; &#x; &#abc;"},
      {"&#0; &#xD800; &#x110000; &#99999999999;", "&#0; &#xD800; &#x110000; &#99999999999;"},
      {"&amp", "&amp"},
      {"tail &", "tail &"},
      {"&&amp;", "&&"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(DecodeHtmlEntities(in), out) << in;
}

TEST(DecodeHtmlEntities, ManyAmpersandsStayLinear) {
  const std::string text(1 << 20, '&');
  EXPECT_EQ(DecodeHtmlEntities(text), text);
}

TEST(StripHtmlTags, TagsLeftOutLineBreaksKept) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {"<b>bold</b> and <a href=\"x\">link</a>", "bold and link"},
      {"one<br>two<br/>three<BR />four", "one\ntwo\nthree\nfour"},
      {"<bride>no break</bride>", "no break"},
      {"open <never closed", "open "},
      {"a > b", "a > b"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(StripHtmlTags(in), out) << in;
}

TEST(CutUtf8, NeverEndsInsideACharacter) {
  EXPECT_EQ(CutUtf8("中文字", 9), "中文字");
  EXPECT_EQ(CutUtf8("中文字", 8), "中文");
  EXPECT_EQ(CutUtf8("中文字", 4), "中");
  EXPECT_EQ(CutUtf8("中", 2), "");
  EXPECT_EQ(CutUtf8("abc", 2), "ab");
}

}  // namespace
}  // namespace tarn
