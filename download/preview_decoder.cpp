// SPDX-License-Identifier: MIT
#include "download/preview_decoder.h"

#include "image/photo_decoder.h"

namespace tarn {

PreviewDecoder::PreviewDecoder(std::function<void(RgbImage)> show)
    : show_(std::move(show)), thread_([this] { Loop(); }) {}

PreviewDecoder::~PreviewDecoder() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    pending_.reset();
  }
  wake_.notify_all();
  thread_.join();
}

void PreviewDecoder::Submit(std::string path) {
  {
    std::lock_guard lock(mutex_);
    pending_ = std::move(path);
  }
  wake_.notify_one();
}

void PreviewDecoder::Drain() {
  std::unique_lock lock(mutex_);
  draining_ = true;
  wake_.notify_all();
  idle_.wait(lock, [this] { return !pending_ && !busy_; });
  draining_ = false;
}

void PreviewDecoder::Loop() {
  std::unique_lock lock(mutex_);
  auto next = std::chrono::steady_clock::now();
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
    // No more often than the eye follows: on two cores each decode takes time from the
    // transfer, and a photo that arrives meanwhile replaces the one waiting. The last one is
    // shown at once.
    const auto left = next - std::chrono::steady_clock::now();
    if (left > left.zero()) wake_.wait_for(lock, left, [this] { return stopping_ || draining_; });
    if (stopping_) return;
    next = std::chrono::steady_clock::now() + kShortestInterval;
    const std::string path = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    lock.unlock();
    RgbImage image = DecodePhotoFile(path, kCoverWidth, kCoverHeight);
    if (!image.Empty()) show_(std::move(image));
    lock.lock();
    busy_ = false;
    if (!pending_) idle_.notify_all();
  }
}

}  // namespace tarn
