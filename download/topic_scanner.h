// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "download/note_scanner.h"

namespace tarn {

// Scans a group topic's page: the post is the first element of class "rich-content" or
// "topic-richtext" (the comments below never count); each <img> inside it at
// /view/group_topic/<size>/public/p<id>.<ext> is a picture. The author is the text of the
// first link inside the first <span class="from">. Linear in the page's size.
PostPictures ScanTopicPictures(std::string_view page);

}  // namespace tarn
