// SPDX-License-Identifier: MIT
#include "image/photo_whole.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace tarn {
namespace {

constexpr int kEnd = -1;
constexpr int kMarker = 0xFF;
constexpr int kStartOfImage = 0xD8, kEndOfImage = 0xD9, kStartOfScan = 0xDA;
constexpr int kStuffedZero = 0x00;  // an 0xFF byte inside a scan's data
constexpr int kFirstRestart = 0xD0, kLastRestart = 0xD7, kTemporary = 0x01;
constexpr size_t kRiffHeaderBytes = 8;  // "RIFF" and the size that follows
// Read at a time: a photo is read back once as it is judged, so this is most of the cost.
constexpr size_t kBlockBytes = 64 * 1024;

// The bytes of a stream read block by block.
class Blocks {
 public:
  explicit Blocks(std::istream& in) : in_(in) {}

  int Next() {
    if (at_ == size_ && !Fill()) return kEnd;
    return static_cast<unsigned char>(block_[at_++]);
  }
  bool Skip(size_t count) {
    while (count > 0) {
      if (at_ == size_ && !Fill()) return false;
      const size_t step = std::min(count, size_ - at_);
      at_ += step;
      count -= step;
    }
    return true;
  }
  // Moves past the next 0xFF; false when there is none.
  bool PastNextMarkerByte() {
    for (;;) {
      if (at_ == size_ && !Fill()) return false;
      const void* found = std::memchr(block_.data() + at_, kMarker, size_ - at_);
      if (found != nullptr) {
        at_ = static_cast<size_t>(static_cast<const char*>(found) - block_.data()) + 1;
        return true;
      }
      at_ = size_;
    }
  }
  // The byte after the 0xFF bytes that start a marker; kEnd when the bytes end first.
  int AfterFill() {
    int c;
    while ((c = Next()) == kMarker) {
    }
    return c;
  }

 private:
  bool Fill() {
    in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
    size_ = static_cast<size_t>(std::max<std::streamsize>(in_.gcount(), 0));
    at_ = 0;
    return size_ > 0;
  }

  std::istream& in_;
  std::array<char, kBlockBytes> block_;
  size_t at_ = 0, size_ = 0;
};

}  // namespace

bool JpegIsWhole(std::istream& bytes) {
  Blocks in(bytes);
  if (in.Next() != kMarker || in.Next() != kStartOfImage) return false;
  int marker = kEnd;
  for (;;) {
    if (marker == kEnd) {
      if (in.Next() != kMarker) return false;
      marker = in.AfterFill();
    }
    if (marker == kEnd) return false;
    if (marker == kEndOfImage) return true;
    const int current = std::exchange(marker, kEnd);
    if (current == kTemporary || (current >= kFirstRestart && current <= kLastRestart)) continue;
    const int high = in.Next(), low = in.Next();
    if (high == kEnd || low == kEnd) return false;
    const int length = (high << 8) | low;
    if (length < 2 || !in.Skip(static_cast<size_t>(length - 2))) return false;
    if (current != kStartOfScan) continue;
    // The scan's data runs to the first marker that is no stuffed byte and no restart.
    for (;;) {
      if (!in.PastNextMarkerByte()) return false;
      const int c = in.AfterFill();
      if (c == kEnd) return false;
      if (c == kStuffedZero || (c >= kFirstRestart && c <= kLastRestart)) continue;
      marker = c;
      break;
    }
  }
}

bool WebpIsWhole(std::string_view first_bytes, uint64_t size) {
  if (first_bytes.size() < kRiffHeaderBytes) return false;
  uint64_t riff = 0;
  for (size_t i = 0; i < 4; ++i)
    riff |= uint64_t{static_cast<unsigned char>(first_bytes[4 + i])} << (8 * i);
  return size >= riff + kRiffHeaderBytes;
}

}  // namespace tarn
