// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// The photo id of a thumbnail only a signed-in visitor sees,
// ".../view/photo/m/<token>/<uid>/x<digits>.jpg": "p<digits>"; nothing for any other address.
std::optional<std::string> PrivatePhotoId(std::string_view address);

// The large photo's address on a photo's own page: the first image inside the element of
// class "mainphoto" or "image-show-inner"; nothing when the page has neither.
std::optional<std::string> MainPhotoAddress(std::string_view page);

}  // namespace tarn
