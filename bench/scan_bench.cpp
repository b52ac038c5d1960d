// SPDX-License-Identifier: MIT
// How long the album page scan takes on a 10 MB page with 50 000 photos: the median of
// several runs, printed in milliseconds. A benchmark, not a test.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "download/album_scanner.h"

namespace {

constexpr int kPhotos = 50000;
constexpr size_t kPageBytes = 10u << 20;
constexpr int kRuns = 15;

// An album page of realistic markup, each photo's part padded with blanks to an equal share
// of kPageBytes.
std::string MakePage() {
  constexpr size_t kShare = kPageBytes / kPhotos;
  std::string page = "<html><head><title>湖边的相册</title></head><body>\n";
  page.reserve(kPageBytes + 4096);
  for (int i = 0; i < kPhotos; ++i) {
    std::string photo = "<div class=\"photo_wrap\"><a href=\"http://www.example/photos/photo/" +
                        std::to_string(i) + "/\" class=\"photolst_photo\" title=\"照片\">\n" +
                        "<img src=\"http://img.example/view/photo/thumb/public/p" +
                        std::to_string(i) + ".jpg\" />\n</a></div>\n";
    photo.resize(std::max(photo.size(), kShare), ' ');
    page += photo;
  }
  return page + "<span class=\"next\">\n  后页&gt;\n</span></body></html>";
}

}  // namespace

int main() {
  const std::string page = MakePage();
  std::vector<double> millis;
  size_t found = 0;
  for (int run = 0; run < kRuns; ++run) {
    found = 0;
    const auto start = std::chrono::steady_clock::now();
    tarn::ScanPhotos(page, [&](std::string) { ++found; });
    const auto stop = std::chrono::steady_clock::now();
    millis.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::sort(millis.begin(), millis.end());
  std::printf("page %.1f MB, %zu photos found, median scan %.2f ms (min %.2f, max %.2f)\n",
              page.size() / 1048576.0, found, millis[kRuns / 2], millis.front(), millis.back());
  return found == static_cast<size_t>(kPhotos) ? 0 : 1;
}
