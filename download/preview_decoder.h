// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "image/jpeg_decoder.h"

namespace tarn {

// Decodes saved photos for the preview on a thread of its own, so decoding never slows the
// download. Only the latest file waits: when photos arrive faster than they decode, or than
// kShortestInterval, the ones in between are skipped.
class PreviewDecoder {
 public:
  // The preview box's size: photos are decoded at the smallest scale that still covers it.
  static constexpr int kCoverWidth = 189;
  static constexpr int kCoverHeight = 116;
  // Between the starts of two decodes, but for the last photo's.
  static constexpr std::chrono::milliseconds kShortestInterval{50};

  // `show` gets every decoded picture, on the decoder's thread. Files that do not decode are
  // passed over, so the preview keeps its last picture.
  explicit PreviewDecoder(std::function<void(RgbImage)> show);
  ~PreviewDecoder();  // drops what waits and stops
  PreviewDecoder(const PreviewDecoder&) = delete;
  PreviewDecoder& operator=(const PreviewDecoder&) = delete;

  void Submit(std::string path);
  // Waits until the latest file submitted has been decoded and shown.
  void Drain();

 private:
  void Loop();

  std::function<void(RgbImage)> show_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<std::string> pending_;
  bool busy_ = false;
  bool draining_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace tarn
