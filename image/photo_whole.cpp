// SPDX-License-Identifier: MIT
#include "image/photo_whole.h"

#include <algorithm>
#include <cstring>

namespace tarn {
namespace {

constexpr int kMarker = 0xFF;
constexpr int kStartOfImage = 0xD8, kEndOfImage = 0xD9;
constexpr int kStuffedZero = 0x00;  // an 0xFF byte inside a scan's data
constexpr int kFirstRestart = 0xD0, kLastRestart = 0xD7, kTemporary = 0x01;
constexpr size_t kRiffHeaderBytes = 8;  // "RIFF" and the size that follows

bool IsRestart(int code) { return code >= kFirstRestart && code <= kLastRestart; }

}  // namespace

void JpegEndCheck::Feed(std::string_view bytes) {
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  while (at < end) {
    if (state_ == State::kWhole || state_ == State::kBroken) return;
    if (state_ == State::kSkip) {
      const size_t step = std::min<size_t>(left_, static_cast<size_t>(end - at));
      at += step;
      left_ -= static_cast<uint32_t>(step);
      if (left_ == 0) EndSegment();
      continue;
    }
    if (state_ == State::kScan) {
      // Most of a photo is scan data: find its markers a block at a time.
      const void* found = std::memchr(at, kMarker, static_cast<size_t>(end - at));
      if (found == nullptr) return;
      at = static_cast<const char*>(found) + 1;
      state_ = State::kScanCode;
      continue;
    }
    const int c = static_cast<unsigned char>(*at++);
    switch (state_) {
      case State::kStart:
        state_ = c == kMarker ? State::kStartCode : State::kBroken;
        break;
      case State::kStartCode:
        state_ = c == kStartOfImage ? State::kMarker : State::kBroken;
        break;
      case State::kMarker:
        state_ = c == kMarker ? State::kCode : State::kBroken;
        break;
      case State::kScanCode:
        if (c == kStuffedZero || IsRestart(c)) {
          state_ = State::kScan;
          break;
        }
        TakeCode(c);
        break;
      case State::kCode:
        TakeCode(c);
        break;
      case State::kLengthHigh:
        length_high_ = c;
        state_ = State::kLengthLow;
        break;
      case State::kLengthLow: {
        const int length = (length_high_ << 8) | c;
        if (length < 2) {
          state_ = State::kBroken;
          break;
        }
        left_ = static_cast<uint32_t>(length - 2);
        state_ = State::kSkip;
        if (left_ == 0) EndSegment();
        break;
      }
      default:
        break;
    }
  }
}

void JpegEndCheck::TakeCode(int code) {
  if (code == kMarker) return;  // a fill byte before the code
  if (code == kEndOfImage) {
    state_ = State::kWhole;
  } else if (code == kTemporary || IsRestart(code)) {
    state_ = State::kMarker;  // a marker without a segment
  } else {
    segment_ = code;
    state_ = State::kLengthHigh;
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
