// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/photo_whole.h"

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

// What a photo's answer turned out to be, by its bytes.
enum class PhotoBytes {
  kPhoto,  // a whole JPEG or WebP picture
  kEmpty,  // no bytes at all
  kPage,   // a web page (a captcha answered in the photo's place)
  kCut,    // the start of a JPEG or WebP without its end
  kOther,  // anything else
};

// Judges a photo's answer by its bytes as they are written, from the first on, so the photo
// need not be read back. Holds only the first few bytes, whatever the size.
class PhotoBytesJudge {
 public:
  void Feed(std::string_view bytes);
  PhotoBytes Verdict() const;
  uint64_t Size() const { return size_; }
  // Enough of the start to tell the formats apart.
  std::string_view FirstBytes() const { return first_; }

 private:
  std::string first_;
  uint64_t size_ = 0;
  JpegEndCheck jpeg_;
};

// The extension a photo's bytes call for, from its first bytes: ".webp" for WebP, ".jpg" for
// JPEG and for anything else (kept as the program always kept it).
std::string_view SniffPhotoExtension(std::string_view first_bytes);

}  // namespace tarn
