// SPDX-License-Identifier: MIT
#include "service/photo_ladder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

constexpr std::string_view kHost = "https://img9.doubanio.com/view/photo/";

std::vector<std::string> Addresses(std::string_view listed, PhotoSize chosen) {
  std::vector<std::string> out;
  for (const PhotoAttempt& attempt : PhotoAttempts(listed, chosen)) out.push_back(attempt.address);
  return out;
}

// Every address of the host with the path "<size>/public/p1<ext>".
std::vector<std::string> At(std::initializer_list<std::string_view> size_ext) {
  std::vector<std::string> out;
  for (std::string_view s : size_ext) {
    const size_t dot = s.find('.');
    out.push_back(std::string(kHost) + std::string(s.substr(0, dot)) + "/public/p1" +
                  std::string(s.substr(dot)));
  }
  return out;
}

TEST(PhotoAttempts, FromTheChosenSizeDownToTheListedOneJpgFirst) {
  struct Case {
    std::string listed;
    PhotoSize chosen;
    std::vector<std::string> want;
  };
  const std::string m_webp = std::string(kHost) + "m/public/p1.webp";
  const std::string m_jpg = std::string(kHost) + "m/public/p1.jpg";
  const Case cases[] = {
      {m_webp, PhotoSize::kL, At({"l.jpg", "l.webp", "m.jpg", "m.webp"})},
      {m_webp, PhotoSize::kRaw,
       At({"raw.jpg", "raw.webp", "xl.jpg", "xl.webp", "l.jpg", "l.webp", "m.jpg", "m.webp"})},
      {m_webp, PhotoSize::kM, At({"m.jpg", "m.webp"})},
      {m_jpg, PhotoSize::kXl, At({"xl.jpg", "l.jpg", "m.jpg"})},
      {std::string(kHost) + "l/public/p1.JPG", PhotoSize::kL, At({"l.jpg"})},
      // Asked for less than the page lists: that size, then the listed one.
      {std::string(kHost) + "xl/public/p1.webp", PhotoSize::kM,
       At({"m.jpg", "m.webp", "xl.jpg", "xl.webp"})},
      // A star's or a film's list size below "m": every size down to "m", the listed one last.
      {std::string(kHost) + "photo/public/p1.webp", PhotoSize::kL,
       At({"l.jpg", "l.webp", "m.jpg", "m.webp", "photo.jpg", "photo.webp"})},
      {std::string(kHost) + "sqs/public/p1.jpg", PhotoSize::kM, At({"m.jpg", "sqs.jpg"})},
  };
  for (const Case& c : cases) EXPECT_EQ(Addresses(c.listed, c.chosen), c.want) << c.listed;
}

TEST(PhotoAttempts, EachAttemptKnowsItsSize) {
  const auto attempts = PhotoAttempts(std::string(kHost) + "m/public/p1.webp", PhotoSize::kRaw);
  ASSERT_EQ(attempts.size(), 8u);
  EXPECT_EQ(attempts[0].size, PhotoSize::kRaw);
  EXPECT_EQ(attempts[3].size, PhotoSize::kXl);
  EXPECT_EQ(attempts[7].size, PhotoSize::kM);
}

TEST(PhotoAttempts, QueryAndPathAfterTheSizeAreKept) {
  EXPECT_EQ(Addresses("https://h/view/photo/m/public/a.b/p1.webp?x=1.jpg#f", PhotoSize::kL),
            (std::vector<std::string>{"https://h/view/photo/l/public/a.b/p1.jpg?x=1.jpg#f",
                                      "https://h/view/photo/l/public/a.b/p1.webp?x=1.jpg#f",
                                      "https://h/view/photo/m/public/a.b/p1.jpg?x=1.jpg#f",
                                      "https://h/view/photo/m/public/a.b/p1.webp?x=1.jpg#f"}));
  EXPECT_EQ(Addresses("https://h/view/photo/m/public/p1", PhotoSize::kL),
            (std::vector<std::string>{"https://h/view/photo/l/public/p1",
                                      "https://h/view/photo/m/public/p1"}));
}

TEST(PhotoAttempts, AddressesWithoutAKnownSizeAreTriedAsTheyAre) {
  const std::string cases[] = {
      "https://h/view/photo/thumb/public/p1.jpg",
      "https://h/view/photo/SQS/public/p1.webp",
      "https://h/view/photo/M/public/p1.webp",
      "https://h/view/photo/m",
      "https://h/pics/p1.webp",
      "",
  };
  for (const std::string& listed : cases) {
    const auto attempts = PhotoAttempts(listed, PhotoSize::kXl);
    ASSERT_EQ(attempts.size(), 1u) << listed;
    EXPECT_EQ(attempts[0].address, listed);
    EXPECT_EQ(attempts[0].size, std::nullopt);
  }
}

// Each other ladder: the chosen size's rung down to the listed one, each rung's size known.
TEST(PhotoAttempts, OtherLaddersFromTheChosenRungDown) {
  const std::string site = "https://img3.doubanio.com/view/photo/";
  const std::string note = "https://img1.doubanio.com/view/note/";
  const std::string topic = "https://img9.doubanio.com/view/group_topic/";
  const struct {
    std::string listed;
    PhotoLadder ladder;
    PhotoSize chosen;
    std::string want;  // each attempt's size name and rest of the address
  } cases[] = {
      {site + "thumb/public/p1.jpg", PhotoLadder::kSite, PhotoSize::kL,
       "l/public/p1.jpg photo/public/p1.jpg thumb/public/p1.jpg "},
      {site + "thumb/public/p1.jpg", PhotoLadder::kSite, PhotoSize::kXl,
       "large/public/p1.jpg l/public/p1.jpg photo/public/p1.jpg thumb/public/p1.jpg "},
      {site + "thumb/public/p1.jpg", PhotoLadder::kSite, PhotoSize::kM,
       "photo/public/p1.jpg thumb/public/p1.jpg "},
      // The album ladder's list sizes are no rungs here: "m" is tried as it is.
      {site + "m/public/p1.jpg", PhotoLadder::kSite, PhotoSize::kL, site + "m/public/p1.jpg "},
      // A private picture's token stays in every rung's address.
      {note + "l/tok/9/x2.jpg?v=1", PhotoLadder::kNote, PhotoSize::kRaw,
       "raw/tok/9/x2.jpg?v=1 large/tok/9/x2.jpg?v=1 l/tok/9/x2.jpg?v=1 "},
      {note + "l/public/p2.jpg", PhotoLadder::kNote, PhotoSize::kM,
       "small/public/p2.jpg l/public/p2.jpg "},
      {topic + "l/public/p3.webp", PhotoLadder::kTopic, PhotoSize::kXl,
       "large/public/p3.jpg large/public/p3.webp l/public/p3.jpg l/public/p3.webp "},
      {topic + "large/public/p3.webp", PhotoLadder::kTopic, PhotoSize::kM,
       "l/public/p3.jpg l/public/p3.webp large/public/p3.jpg large/public/p3.webp "},
      {note + "l/public/p2.jpg", PhotoLadder::kTopic, PhotoSize::kL, note + "l/public/p2.jpg "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.listed);
    std::string got;
    const std::string prefix =
        c.listed.substr(0, c.listed.find('/', c.listed.find("/view/") + 6) + 1);
    for (const PhotoAttempt& a : PhotoAttempts(c.listed, c.chosen, c.ladder))
      got +=
          (a.address.starts_with(prefix) && a.size ? a.address.substr(prefix.size()) : a.address) +
          " ";
    EXPECT_EQ(got, c.want);
  }
  const auto raw = PhotoAttempts(topic + "l/public/p3.jpg", PhotoSize::kRaw, PhotoLadder::kTopic);
  EXPECT_EQ(raw.front().size, PhotoSize::kRaw);
}

TEST(ParsePhotoSize, NamesInAnyCaseNothingElse) {
  const std::pair<std::string, std::optional<PhotoSize>> cases[] = {
      {"m", PhotoSize::kM},     {"L", PhotoSize::kL},    {" xl ", PhotoSize::kXl},
      {"Raw", PhotoSize::kRaw}, {"", std::nullopt},      {"large", std::nullopt},
      {"x l", std::nullopt},    {"thumb", std::nullopt},
  };
  for (const auto& [text, size] : cases) EXPECT_EQ(ParsePhotoSize(text), size) << text;
  EXPECT_EQ(PhotoSizeName(PhotoSize::kXl), "xl");
  EXPECT_EQ(kDefaultPhotoSize, PhotoSize::kL);
}

}  // namespace
}  // namespace tarn
