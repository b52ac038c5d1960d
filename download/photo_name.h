// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// Every extension a saved photo of today's runs can have.
inline constexpr std::array<std::string_view, 2> kPhotoExtensions = {".jpg", ".webp"};

// The service's own name of a photo in its address ("p2918226736" of ".../p2918226736.webp"):
// "p" and digits, nothing else; nothing when the address holds no such name.
std::optional<std::string> ServicePhotoId(std::string_view address);

// The service's name of a picture at ".../<segment><size>/public/p<digits>.<ext>":
// "p<digits>"; with `token_allowed`, also of one only a signed-in visitor sees,
// ".../<segment><size>/<token>/<uid>/x<digits>.<ext>": "x<digits>". Nothing for any other
// address.
std::optional<std::string> PictureId(std::string_view address, std::string_view segment,
                                     bool token_allowed);

// What a photo's answer turned out to be, by its bytes (`size` of them, read from the start).
enum class PhotoBytes {
  kPhoto,  // a whole JPEG or WebP picture
  kEmpty,  // no bytes at all
  kPage,   // a web page (a captcha answered in the photo's place)
  kCut,    // the start of a JPEG or WebP without its end
  kOther,  // anything else
};
PhotoBytes JudgePhotoBytes(std::istream& bytes, uint64_t size);

// The extension a photo's bytes call for, from its first bytes: ".webp" for WebP, ".jpg" for
// JPEG and for anything else (kept as the program always kept it).
std::string_view SniffPhotoExtension(std::string_view first_bytes);

}  // namespace tarn
