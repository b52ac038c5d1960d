// SPDX-License-Identifier: MIT
#include "download/post_source.h"

#include "base/clean_text.h"
#include "download/note_scanner.h"
#include "download/topic_scanner.h"

namespace tarn {

PageScan PostSource::ReadPage(std::string_view bytes, const std::string&) const {
  const std::string page = ScrubUtf8(bytes);
  PostPictures post = kind_ == Kind::kNote ? ScanNotePictures(page) : ScanTopicPictures(page);
  PageScan scan;
  AlbumFacts& facts = scan.facts.emplace();
  facts.title = std::move(post.title);
  facts.author = std::move(post.author);
  // A private picture's address holds its token, which the ladder keeps: no page of its own.
  for (PostPicture& picture : post.pictures)
    scan.photos.push_back(
        {ListedPhoto{std::move(picture.address), {}, {}}, std::move(picture.id), std::nullopt});
  return scan;
}

}  // namespace tarn
