// SPDX-License-Identifier: MIT
// A group topic's page from a server we do not control, scrubbed as the source scrubs it:
// pictures of the post alone, each once, at public group topic addresses named by their ids.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "base/clean_text.h"
#include "download/topic_scanner.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn;
  using fuzz::Check;
  const std::string page = ScrubUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const PostPictures topic = ScanTopicPictures(page);
  Check(topic.pictures.empty() || page.find("rich") != std::string::npos,
        "pictures only inside a post");
  std::set<std::string> ids;
  for (const PostPicture& picture : topic.pictures) {
    Check(ids.insert(picture.id).second, "a picture is listed once");
    Check(picture.id.size() >= 2 && picture.id[0] == 'p', "an id is p and digits");
    Check(picture.address.find("/view/group_topic/") != std::string::npos &&
              picture.address.find("/public/" + picture.id + ".") != std::string::npos,
          "a public group topic picture named by its id");
  }
  Check(topic.title.size() <= page.size() && topic.author.size() <= page.size(),
        "title and author are no longer than the page");
  return 0;
}
