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
  idle_.wait(lock, [this] { return !pending_ && !busy_; });
}

void PreviewDecoder::Loop() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
    if (stopping_) return;
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
