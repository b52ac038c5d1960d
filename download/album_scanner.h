// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// `text` with its first `old_part` replaced by `new_part`; unchanged when there is none.
std::string ReplaceFirst(std::string_view text, std::string_view old_part,
                         std::string_view new_part);

// Scans an album page from the front for photos: each "photolst_photo" marker, then the
// thumbnail's <img src="..." /> tag, whose address with its first "thumb" turned into "photo"
// is the full-size photo's; a tag not closed before the next marker gives an empty address.
// Calls `found` with each address in page order. Returns the rest of the page after the last
// photo's tag (or the whole page without photos), where the next-page link is looked for.
// Stops where no further tag can be found, so it always ends.
std::string_view ScanPhotos(std::string_view page,
                            const std::function<void(std::string address)>& found);

// The next page's address from the rest of a page after its photos, or nothing on the last
// page (its next span holds the label "后页" and no link) or when no address can be made out.
std::optional<std::string> NextPageAddress(std::string_view rest);

}  // namespace tarn
