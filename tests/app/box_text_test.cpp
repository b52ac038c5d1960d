// SPDX-License-Identifier: MIT
#include "app/box_text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarn {
namespace {

const std::string kBreak = "\u200B";

std::string WithoutBreaks(std::string text) {
  for (size_t at; (at = text.find(kBreak)) != std::string::npos;) text.erase(at, kBreak.size());
  return text;
}

// The longest run of characters with neither a blank nor a break opportunity.
size_t LongestRun(std::string_view text) {
  size_t longest = 0, run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i).starts_with(kBreak) || text[i] == ' ' || text[i] == '\n') {
      run = 0;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      longest = std::max(longest, ++run);
    }
  }
  return longest;
}

size_t Characters(std::string_view text) {
  size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

size_t Lines(std::string_view text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

TEST(BoxText, OrdinaryMessagesStayAsTheyAre) {
  for (const std::string text :
       {"", "下载地址为空，请重新设置下载地址！", "Socket Error # 10061\r\nConnection refused.",
        "无法获取相册页面：http://a/\nRead Timeout"}) {
    EXPECT_EQ(BoxText(text), text);
  }
  const std::string address = "http://img9.example/view/photo/l/public/p2918226736.webp";
  EXPECT_EQ(BoxText(address), address.substr(0, 40) + kBreak + address.substr(40));
}

TEST(BoxText, LongLinesManyLinesAndHugeTextsAreBounded) {
  const std::string status_line = "HTTP/1.1 500 " + std::string(16384, 'x');
  std::string many_lines;
  for (int i = 0; i < 500; ++i) many_lines += "line " + std::to_string(i) + "\n";
  std::string wide_lines;
  for (int i = 0; i < 19; ++i) wide_lines += std::string(299, 'w') + "\n";
  const struct {
    std::string text;
    size_t lines;
  } cases[] = {
      {"无法获取相册页面：" + status_line, 1},
      {many_lines, kMaxBoxLines + 1},
      {wide_lines, 5},
      {std::string(5000, '\n'), kMaxBoxLines + 1},
  };
  for (const auto& c : cases) {
    const std::string shown = WithoutBreaks(BoxText(c.text));
    EXPECT_LE(LongestRun(BoxText(c.text)), kMaxUnbrokenRun);
    EXPECT_LE(Characters(shown), kMaxBoxCharacters + 1);
    EXPECT_LE(Lines(shown), c.lines);
    EXPECT_TRUE(shown.ends_with("…")) << shown.substr(0, 40);
  }
  EXPECT_EQ(WithoutBreaks(BoxText(std::string(400, 'a') + "\nnext")),
            std::string(kMaxBoxLineCharacters, 'a') + "…\nnext");
}

}  // namespace
}  // namespace tarn
