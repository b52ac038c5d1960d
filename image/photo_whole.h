// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace tarn {

// Follows a JPEG's bytes as they are written, piece by piece, and tells whether they run from
// the start marker through segments and scans to the end marker: a photo cut short (or three
// bytes that only start like one) never gets there. What follows the end marker (a camera's
// trailer) does not count. Judging while the bytes pass spares reading the photo back.
class JpegEndCheck {
 public:
  void Feed(std::string_view bytes);
  bool Whole() const { return state_ == State::kWhole; }

 private:
  enum class State {
    kStart,       // the first 0xFF
    kStartCode,   // the start marker's code
    kMarker,      // the 0xFF of the next marker
    kCode,        // a marker's code, after fill bytes
    kLengthHigh,  // a segment's length
    kLengthLow,
    kSkip,      // a segment's body
    kScan,      // a scan's data, up to its next 0xFF
    kScanCode,  // what follows an 0xFF in a scan: stuffing, a restart, or the next marker
    kWhole,
    kBroken,
  };
  void TakeCode(int code);
  void EndSegment() { state_ = segment_ == kStartOfScan ? State::kScan : State::kMarker; }

  static constexpr int kStartOfScan = 0xDA;
  State state_ = State::kStart;
  int segment_ = 0;
  int length_high_ = 0;
  uint32_t left_ = 0;  // of the segment's body
};

// Whether a WebP of `size` bytes holds the whole RIFF its first bytes announce.
bool WebpIsWhole(std::string_view first_bytes, uint64_t size);

}  // namespace tarn
