// SPDX-License-Identifier: MIT
#include "net/stream/input_reader.h"

#include <algorithm>
#include <string_view>

#include "net/socket/socket_error_text.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {

InputReader::InputReader(ByteSource& source) : source_(source), piece_(kReadPieceSize) {}

void InputReader::Reset() {
  buffer_.clear();
  start_ = 0;
  scanned_ = 0;
  peer_closed_ = false;
}

void InputReader::RequireRate(std::optional<MinimumRate> rate) {
  rate_ = rate;
  window_end_ =
      std::chrono::steady_clock::now() + (rate ? rate->window : std::chrono::milliseconds(0));
  window_bytes_ = 0;
}

std::string InputReader::ReadLine(std::chrono::milliseconds wait) {
  for (;;) {
    const size_t found = buffer_.find('\n', start_ + scanned_);
    if (found != std::string::npos) {
      size_t length = found - start_;
      if (length > kMaxLineLength) throw EIdReadLnMaxLineLengthExceeded();
      std::string line = buffer_.substr(start_, length);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      Consume(length + 1);
      return line;
    }
    scanned_ = Buffered();
    if (scanned_ > kMaxLineLength) throw EIdReadLnMaxLineLengthExceeded();
    if (!Fill(wait)) throw EIdConnClosedGracefully();
  }
}

void InputReader::ReadCount(uint64_t count, OutputStream& into, std::chrono::milliseconds wait) {
  const size_t from_buffer = static_cast<size_t>(std::min<uint64_t>(count, Buffered()));
  if (from_buffer > 0) {
    into.Write(std::string_view(buffer_).substr(start_, from_buffer));
    Consume(from_buffer);
    count -= from_buffer;
  }
  while (count > 0) {
    const size_t received =
        ReceivePiece(static_cast<size_t>(std::min<uint64_t>(count, kReadPieceSize)), wait);
    if (received == 0) throw EIdConnClosedGracefully();
    into.Write(std::string_view(piece_.data(), received));
    count -= received;
  }
}

void InputReader::ReadUntilClose(OutputStream& into, std::chrono::milliseconds wait) {
  if (Buffered() > 0) {
    into.Write(std::string_view(buffer_).substr(start_));
    Consume(Buffered());
  }
  for (;;) {
    const size_t received = ReceivePiece(kReadPieceSize, wait);
    if (received == 0) return;
    into.Write(std::string_view(piece_.data(), received));
  }
}

bool InputReader::Poll(std::chrono::milliseconds wait) {
  try {
    return Fill(wait);
  } catch (const EIdReadTimeout&) {
    return true;
  }
}

bool InputReader::Fill(std::chrono::milliseconds wait) {
  if (peer_closed_) return false;
  if (start_ > 0 && start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  } else if (start_ >= kReadPieceSize) {
    // Drop consumed bytes once they outweigh a read, so the buffer never creeps.
    buffer_.erase(0, start_);
    start_ = 0;
  }
  const size_t old_size = buffer_.size();
  const bool had_unread = Buffered() > 0;
  buffer_.resize(old_size + kReadPieceSize);
  size_t received = 0;
  try {
    received = ReceivePaced(buffer_.data() + old_size, kReadPieceSize, wait, had_unread);
  } catch (...) {
    buffer_.resize(old_size);
    throw;
  }
  buffer_.resize(old_size + received);
  return received > 0;
}

size_t InputReader::ReceivePiece(size_t capacity, std::chrono::milliseconds wait) {
  if (peer_closed_) return 0;
  return ReceivePaced(piece_.data(), capacity, wait, Buffered() > 0);
}

size_t InputReader::ReceivePaced(char* into, size_t capacity, std::chrono::milliseconds wait,
                                 bool had_unread) {
  using Clock = std::chrono::steady_clock;
  if (!rate_) return ReceiveHandlingLoss(into, capacity, wait, had_unread);
  const Clock::time_point give_up = Clock::now() + wait;
  for (;;) {
    const Clock::time_point now = Clock::now();
    if (now >= window_end_) {
      const uint64_t wanted =
          rate_->bytes_per_second * static_cast<uint64_t>(rate_->window.count()) / 1000;
      if (window_bytes_ < wanted) throw EIdReadTimeout();
      window_end_ = now + rate_->window;
      window_bytes_ = 0;
    }
    // The wait ends with the window at the latest, so that a trickle is judged on time.
    const auto slice =
        std::chrono::ceil<std::chrono::milliseconds>(std::min(give_up, window_end_) - now);
    try {
      const size_t received = ReceiveHandlingLoss(
          into, capacity, std::max(slice, std::chrono::milliseconds(0)), had_unread);
      window_bytes_ += received;
      return received;
    } catch (const EIdReadTimeout&) {
      if (Clock::now() >= give_up) throw;
    }
  }
}

size_t InputReader::ReceiveHandlingLoss(char* into, size_t capacity, std::chrono::milliseconds wait,
                                        bool had_unread) {
  try {
    const size_t received = source_.Receive(into, capacity, wait);
    if (received == 0) peer_closed_ = true;
    return received;
  } catch (const EIdSocketError& error) {
    // A lost connection with bytes still buffered reads like a close: those bytes count.
    if (IsConnectionLost(error.Number()) && had_unread) {
      peer_closed_ = true;
      return 0;
    }
    throw;
  }
}

void InputReader::Consume(size_t count) {
  start_ += count;
  scanned_ = 0;
  if (start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
}

}  // namespace tarn::net
