// SPDX-License-Identifier: MIT
#include "cli/line_output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tarn::cli {

void WriteLine(std::FILE* stream, std::string_view text, std::chrono::milliseconds wait) {
  const int descriptor = fileno(stream);
  if (descriptor < 0) return;
  text = text.substr(0, kMaxLineBytes);
  pollfd ready{descriptor, POLLOUT, 0};
  if (::poll(&ready, 1, static_cast<int>(wait.count())) != 1 || (ready.revents & POLLOUT) == 0)
    return;
  while (!text.empty()) {
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace tarn::cli
