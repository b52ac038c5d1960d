// SPDX-License-Identifier: MIT
#include "announce/feed_text.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kGbkNotice[] = "\xB9\xAB\xB8\xE6\xD2\xBB\xA3\xBATarn";  // 公告一：Tarn
constexpr char kGbkLookingLikeUtf8[] = "\xC2\xBD\xC2\xB7";             // 陆路, "½·" as UTF-8

TEST(DecodeFeedPage, ByCharsetElseByWhetherTheBytesAreUtf8) {
  const struct {
    std::string content_type, bytes, text;
  } cases[] = {
      {"text/html", kGbkNotice + std::string("\x81\x30\x89\x38"), "公告一：Tarnß"},
      {"", "\xB9\xAB\x80<P>\xFF\xB8", "公\uFFFD<P>\uFFFD\uFFFD"},  // cut off at the end too
      {"text/html; charset=gbk", kGbkLookingLikeUtf8, "陆路"},
      {"text/html;Charset=\"GB2312\"", "湖光", "婀栧厜"},  // UTF-8 mislabelled
      {"text/html; charset=gb18030; x=1", kGbkLookingLikeUtf8, "陆路"},
      {"text/html; charset=iso-8859-1", kGbkLookingLikeUtf8, "½·"},
      {"", "公告一：Tarn", "公告一：Tarn"},
      {"", kBom + std::string("公告"), "公告"},
      // A sequence cut short, an overlong form, a surrogate and a code point beyond Unicode's:
      // one replacement per byte.
      {"text/html; charset=UTF-8",
       kBom + std::string("公\xE5\x91<\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80告"),
       "公\uFFFD\uFFFD<\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD告"},
      {"", "公\xFF", "鍏\uFFFD\uFFFD"},  // not UTF-8 throughout: read as GB18030
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content_type + " | " + c.bytes);
    EXPECT_EQ(DecodeFeedPage(c.bytes, c.content_type), c.text);
  }
}

}  // namespace
}  // namespace tarn
