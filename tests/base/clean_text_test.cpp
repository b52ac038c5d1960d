// SPDX-License-Identifier: MIT
#include "base/clean_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

constexpr const char* kFffd = "\xEF\xBF\xBD";

TEST(ScrubUtf8, EachByteThatStartsNoCharacterBecomesOneReplacement) {
  const std::pair<std::string, std::string> cases[] = {
      {"西湖 ok", "西湖 ok"},
      {"a\xFF"
       "b",
       std::string("a") + kFffd + "b"},
      {"\xC0\x80", std::string(kFffd) + kFffd},                          // an overlong NUL
      {"\xE0\x80\xAF", std::string(kFffd) + kFffd + kFffd},              // an overlong '/'
      {"\xED\xA0\x80", std::string(kFffd) + kFffd + kFffd},              // a surrogate
      {"\xF4\x90\x80\x80", std::string(kFffd) + kFffd + kFffd + kFffd},  // past U+10FFFF
      {"\xE8\xA5", std::string(kFffd) + kFffd},                          // cut short at the end
      {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},                          // four bytes, valid
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(ScrubUtf8(text), want) << text;
}

TEST(CleanText, NothingThatSteersADisplayStays) {
  const std::pair<std::string, std::string> cases[] = {
      {"HTTP/1.1 500 \x1B]2;pwned\x07\x1B[2J", "HTTP/1.1 500 ]2;pwned[2J"},
      {"a\r\nb\tc\vd\fe", "a  b cde"},
      {std::string("a\0b", 3), "ab"},
      {"a\x7F"
       "b\xC2\x85"
       "c\xC2\x9B"
       "d",
       "abcd"},  // DEL, NEL, CSI
      {"a\xE2\x80\xA8"
       "b\xE2\x80\xA9"
       "c",
       "abc"},  // U+2028, U+2029
      {"\xE2\x80\xAE"
       "gpj.exe\xE2\x81\xA6"
       "x\xE2\x80\x8F",
       "gpj.exex"},  // RLO, LRI, RLM
      {"\xC0\x80", std::string(kFffd) + kFffd},
      {"西湖 «断桥» ½", "西湖 «断桥» ½"},
  };
  for (const auto& [text, want] : cases) EXPECT_EQ(CleanText(text), want) << text;
}

}  // namespace
}  // namespace tarn
