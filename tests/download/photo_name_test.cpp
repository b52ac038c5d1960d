// SPDX-License-Identifier: MIT
#include "download/photo_name.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarn {
namespace {

// A file name comes only from the service's own photo names, so it is safe and unique.
TEST(ServicePhotoId, PAndDigitsOfTheAddressesFileName) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"https://img9.doubanio.com/view/photo/m/public/p2918226736.webp", "p2918226736"},
      {"https://h/view/photo/l/public/p1.jpg?x=/y.z#frag", "p1"},
      {"https://h/view/photo/m/public/p中文.jpg", std::nullopt},
      {"https://h/view/photo/m/public/p12a.jpg", std::nullopt},
      {"https://h/a/..hidden.jpg", std::nullopt},
      {"https://h/a/p.jpg", std::nullopt},
      {"https://h/a/q1.jpg", std::nullopt},
      {"https://h/a/", std::nullopt},
      {"https://h/p" + std::string(40, '1') + ".jpg", std::nullopt},
  };
  for (const auto& [address, id] : cases) EXPECT_EQ(ServicePhotoId(address), id) << address;
}

// A JPEG's parts: a segment with its length, and a scan's data with a stuffed 0xFF and a
// restart marker, which end no scan.
std::string Segment(char marker, const std::string& body) {
  const size_t length = body.size() + 2;
  return std::string("\xFF") + marker + char(length >> 8) + char(length & 0xFF) + body;
}
const std::string kSoi = "\xFF\xD8", kEoi = "\xFF\xD9";
const std::string kScan =
    Segment('\xDA', "scan") + std::string("ab\xFF\x00", 4) + "c\xFF\xD0" + "d";

TEST(PhotoBytesJudge, OnlyAWholeJpegOrWebpIsAPhoto) {
  const std::string app0 = Segment('\xE0', "JFIF");
  // An Exif thumbnail carries markers of its own, end marker included.
  const std::string thumbnail = Segment('\xE1', "Exif" + kSoi + kScan + kEoi);
  const struct {
    const char* why;
    std::string bytes;
    PhotoBytes want;
  } cases[] = {
      {"whole", kSoi + app0 + kScan + kEoi, PhotoBytes::kPhoto},
      {"a camera's trailer after the end", kSoi + app0 + kScan + kEoi + "trailer",
       PhotoBytes::kPhoto},
      {"two scans, fill bytes", kSoi + kScan + "\xFF\xFF" + kScan.substr(1) + kEoi,
       PhotoBytes::kPhoto},
      {"three bytes", "\xFF\xD8\xFF", PhotoBytes::kCut},
      {"cut in the scan", kSoi + app0 + kScan, PhotoBytes::kCut},
      {"cut after a thumbnail's end", kSoi + thumbnail + Segment('\xDB', "q"), PhotoBytes::kCut},
      {"a segment longer than the file", kSoi + "\xFF\xE0\x40\x00JFIF" + kEoi, PhotoBytes::kCut},
      {"a segment's length under two", kSoi + std::string("\xFF\xE0\x00\x01", 4) + kEoi,
       PhotoBytes::kCut},
      {"an empty segment, a restart outside a scan",
       kSoi + Segment('\xFE', "") + "\xFF\xD3" + kScan + kEoi, PhotoBytes::kPhoto},
      {"no marker after a segment", kSoi + app0 + "x" + kScan + kEoi, PhotoBytes::kCut},
      {"whole WebP", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16) + "12345678", PhotoBytes::kPhoto},
      {"WebP cut short", std::string("RIFF\x00\x10\0\0WEBPVP8 ", 16) + "1234", PhotoBytes::kCut},
      {"a 204, or an empty 200", "", PhotoBytes::kEmpty},
      {"a captcha in the photo's place", "\r\n <!DOCTYPE html><html>", PhotoBytes::kPage},
      {"two bytes", "\xFF\xD8", PhotoBytes::kOther},
      {"a RIFF of sound", std::string("RIFF\x04\0\0\0WAVE", 12), PhotoBytes::kOther},
      {"GIF", "GIF89a", PhotoBytes::kOther},
  };
  // The bytes arrive in pieces of any size: a marker, a length or a skip split between two
  // pieces must be followed across them.
  for (const size_t piece : {size_t{1}, size_t{2}, size_t{5}, size_t{1} << 20}) {
    for (const auto& c : cases) {
      PhotoBytesJudge judge;
      for (size_t at = 0; at < c.bytes.size(); at += piece)
        judge.Feed(std::string_view(c.bytes).substr(at, piece));
      EXPECT_EQ(judge.Verdict(), c.want) << c.why << ", in pieces of " << piece;
      EXPECT_EQ(judge.Size(), c.bytes.size());
      EXPECT_EQ(judge.FirstBytes(), c.bytes.substr(0, 12));
    }
  }
}

TEST(SniffPhotoExtension, NamedByTheirBytes) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xFF\xD8\xFF\xE0rest", ".jpg"},
      {std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), ".webp"},
      {std::string("RIFF\x10\0\0\0WAVE", 12), ".jpg"},
      {"<html>error page</html>", ".jpg"},
      {"RIFF", ".jpg"},
      {"", ".jpg"},
  };
  for (const auto& [bytes, extension] : cases) EXPECT_EQ(SniffPhotoExtension(bytes), extension);
}

}  // namespace
}  // namespace tarn
