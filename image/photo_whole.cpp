// SPDX-License-Identifier: MIT
#include "image/photo_whole.h"

#include <streambuf>
#include <utility>

namespace tarn {
namespace {

constexpr int kMarker = 0xFF;
constexpr int kStartOfImage = 0xD8, kEndOfImage = 0xD9, kStartOfScan = 0xDA;
constexpr int kStuffedZero = 0x00;  // an 0xFF byte inside a scan's data
constexpr int kFirstRestart = 0xD0, kLastRestart = 0xD7, kTemporary = 0x01;
constexpr size_t kRiffHeaderBytes = 8;  // "RIFF" and the size that follows

bool Skip(std::streambuf& in, long count) {
  for (; count > 0; --count)
    if (in.sbumpc() == std::streambuf::traits_type::eof()) return false;
  return true;
}

// The byte after the 0xFF bytes that start a marker; eof when the bytes end first.
int MarkerAfterFill(std::streambuf& in) {
  int c;
  while ((c = in.sbumpc()) == kMarker) {
  }
  return c;
}

}  // namespace

bool JpegIsWhole(std::istream& bytes) {
  std::streambuf& in = *bytes.rdbuf();
  constexpr int eof = std::streambuf::traits_type::eof();
  if (in.sbumpc() != kMarker || in.sbumpc() != kStartOfImage) return false;
  int marker = eof;
  for (;;) {
    if (marker == eof) {
      if (in.sbumpc() != kMarker) return false;
      marker = MarkerAfterFill(in);
    }
    if (marker == eof) return false;
    if (marker == kEndOfImage) return true;
    const int current = std::exchange(marker, eof);
    if (current == kTemporary || (current >= kFirstRestart && current <= kLastRestart)) continue;
    const int high = in.sbumpc(), low = in.sbumpc();
    if (high == eof || low == eof) return false;
    const long length = (high << 8) | low;
    if (length < 2 || !Skip(in, length - 2)) return false;
    if (current != kStartOfScan) continue;
    // The scan's data runs to the first marker that is no stuffed byte and no restart.
    for (;;) {
      int c = in.sbumpc();
      if (c == eof) return false;
      if (c != kMarker) continue;
      c = MarkerAfterFill(in);
      if (c == eof) return false;
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
