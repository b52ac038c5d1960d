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

TEST(JudgePhotoBytes, OnlyAJpegOrWebpOfSomeLengthIsAPhoto) {
  const struct {
    std::string first_bytes;
    uint64_t size;
    PhotoBytes want;
  } cases[] = {
      {"\xFF\xD8\xFF\xE0rest", 50000, PhotoBytes::kPhoto},
      {std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), 20, PhotoBytes::kPhoto},
      {"", 0, PhotoBytes::kEmpty},                            // a 204, or an empty 200
      {"\r\n <!DOCTYPE html><html>", 50, PhotoBytes::kPage},  // a captcha in the photo's place
      {"\xFF\xD8", 2, PhotoBytes::kOther},
      {std::string("RIFF\x10\0\0\0WAVE", 12), 12, PhotoBytes::kOther},
      {"GIF89a", 6, PhotoBytes::kOther},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JudgePhotoBytes(c.first_bytes, c.size), c.want) << c.first_bytes;
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
