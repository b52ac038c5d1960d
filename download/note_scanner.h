// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// One picture of a note or a group topic's post.
struct PostPicture {
  std::string id;       // "p<digits>", or "x<digits>" for one only a signed-in visitor sees
  std::string address;  // as the page gives it, entities decoded

  bool operator==(const PostPicture&) const = default;
};

// A note's or a topic's title and author, and its pictures in page order, each once.
struct PostPictures {
  std::string title;   // the page's <title>, blanks folded, without a trailing "(豆瓣)"
  std::string author;  // empty when the page names none
  std::vector<PostPicture> pictures;
};

// Scans a note's page: each element of class "image-container" holds a picture, the first
// <img> inside it, at /view/note/<size>/public/p<id>.<ext> or, for a signed-in visitor's
// private one, /view/note/<size>/<token>/<uid>/x<id>.<ext>; other images do not count. The
// author is the text of the first <a> of class "note-author". Linear in the page's size.
PostPictures ScanNotePictures(std::string_view page);

}  // namespace tarn
