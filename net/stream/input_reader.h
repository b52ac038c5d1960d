// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/stream/byte_source.h"
#include "net/stream/output_stream.h"

namespace tarn::net {

// Longest status or header line we accept, a carriage return counted.
inline constexpr size_t kMaxLineLength = 16384;
// Most bytes asked of the source in one read.
inline constexpr size_t kReadPieceSize = 32768;

// The least a transfer must bring: `bytes_per_second` averaged over each `window`.
struct MinimumRate {
  uint64_t bytes_per_second;
  std::chrono::milliseconds window;
};

// The input buffer of a connection: bytes received but not yet consumed, and the reads that
// take them (line, counted run, everything until the close). Bytes already buffered are used
// before the source is read again.
class InputReader {
 public:
  explicit InputReader(ByteSource& source);

  // A line up to its line feed, without it and without one carriage return before it.
  // Fails with EIdReadLnMaxLineLengthExceeded past kMaxLineLength bytes and with
  // EIdConnClosedGracefully when the peer closes first.
  std::string ReadLine(std::chrono::milliseconds wait);

  // Writes exactly `count` bytes to `into` as they arrive. A close before the end fails with
  // EIdConnClosedGracefully; what came before it has been written.
  void ReadCount(uint64_t count, OutputStream& into, std::chrono::milliseconds wait);

  // Writes every byte to `into` until the peer closes.
  void ReadUntilClose(OutputStream& into, std::chrono::milliseconds wait);

  // One wait of at most `wait` for more bytes, which stay buffered. False once the peer has
  // closed. A wait that ends without bytes is no failure.
  bool Poll(std::chrono::milliseconds wait);

  bool PeerClosed() const { return peer_closed_; }
  size_t Buffered() const { return buffer_.size() - start_; }

  // Forgets everything: a new connection starts empty.
  void Reset();

  // From now on, every window that passes with fewer bytes than the rate asks fails the
  // read under way with EIdReadTimeout, as a silent peer would; nothing stops the check.
  void RequireRate(std::optional<MinimumRate> rate);

 private:
  // Receives once more into the buffer; false when the peer has closed.
  bool Fill(std::chrono::milliseconds wait);
  // Receives straight into the scratch piece; 0 when the peer has closed.
  size_t ReceivePiece(size_t capacity, std::chrono::milliseconds wait);
  // Receives; a lost connection reads as a close when unread bytes were buffered before.
  size_t ReceiveHandlingLoss(char* into, size_t capacity, std::chrono::milliseconds wait,
                             bool had_unread);
  // Receives, held to the minimum rate when one is required.
  size_t ReceivePaced(char* into, size_t capacity, std::chrono::milliseconds wait, bool had_unread);
  void Consume(size_t count);

  ByteSource& source_;
  std::string buffer_;
  size_t start_ = 0;    // first unconsumed byte of buffer_
  size_t scanned_ = 0;  // bytes after start_ already searched for a line feed
  bool peer_closed_ = false;
  std::vector<char> piece_;
  std::optional<MinimumRate> rate_;
  std::chrono::steady_clock::time_point window_end_;
  uint64_t window_bytes_ = 0;
};

// Holds a reader to a minimum rate for as long as it lives.
class RateRequirement {
 public:
  RateRequirement(InputReader& input, MinimumRate rate) : input_(input) {
    input_.RequireRate(rate);
  }
  ~RateRequirement() { input_.RequireRate(std::nullopt); }
  RateRequirement(const RateRequirement&) = delete;
  RateRequirement& operator=(const RateRequirement&) = delete;

 private:
  InputReader& input_;
};

}  // namespace tarn::net
