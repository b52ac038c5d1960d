// SPDX-License-Identifier: MIT
#include "download/photo_name.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

TEST(PhotoFileStem, TheAddressesFileNameMadeSafe) {
  const std::pair<std::string, std::string> cases[] = {
      {"https://img9.doubanio.com/view/photo/m/public/p2918226736.webp", "p2918226736"},
      {"https://h/view/photo/l/public/p1.jpg?x=/y.z#frag", "p1"},
      {"https://h/a/b.c.jpg", "b.c"},
      {"https://h/a/..hidden.jpg", "hidden"},
      {"https://h/a/%2e%2e.jpg", "_2e_2e"},
      {"https://h/a/名字 1.jpg", "_______1"},
      {"https://h/a/noext", "noext"},
      {"https://h/a/", "photo_8"},
      {"https://h/a/.jpg", "photo_8"},
      {"https://h/a/...", "photo_8"},
      {"", "photo_8"},
      {"https://h/" + std::string(300, 'a') + ".jpg", std::string(100, 'a')},
  };
  for (const auto& [address, stem] : cases) EXPECT_EQ(PhotoFileStem(address, 7), stem) << address;
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
