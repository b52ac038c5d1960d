// SPDX-License-Identifier: MIT
// A note's page from a server we do not control, scrubbed as the source scrubs it: one
// picture per "image-container" at most, each once, named by the id its address ends with
// ("x" only with a token before it); title and author bounded.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "base/clean_text.h"
#include "download/note_scanner.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn;
  using fuzz::Check;
  const std::string page = ScrubUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  size_t containers = 0;
  for (size_t at = page.find("image-container"); at != std::string::npos;
       at = page.find("image-container", at + 1))
    ++containers;
  const PostPictures note = ScanNotePictures(page);
  Check(note.pictures.size() <= containers, "one picture per container at most");
  std::set<std::string> ids;
  for (const PostPicture& picture : note.pictures) {
    Check(ids.insert(picture.id).second, "a picture is listed once");
    Check(picture.id.size() >= 2 && (picture.id[0] == 'p' || picture.id[0] == 'x'),
          "an id is p or x and digits");
    Check(picture.address.find("/view/note/") != std::string::npos, "a note's picture");
    Check(picture.address.find((picture.id[0] == 'p' ? "/public/" : "/") + picture.id + ".") !=
              std::string::npos,
          "the id is the one the address ends with");
  }
  Check(note.title.size() <= page.size() && note.author.size() <= page.size(),
        "title and author are no longer than the page");
  return 0;
}
