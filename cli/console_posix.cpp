// SPDX-License-Identifier: MIT
#include <signal.h>
#include <unistd.h>

#include <chrono>

#include "cli/console.h"

namespace tarn::cli {
namespace {

// How often the signal watcher looks whether the program is ending anyway.
constexpr auto kSignalPoll = std::chrono::milliseconds(200);

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

}  // namespace

void PrepareConsole() {
  // Blocked before any thread starts, so that every thread inherits the mask and only the
  // watcher takes the signals.
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  // A reader that goes away (`tarn-get … | head`) must not kill a run in the middle of a photo.
  signal(SIGPIPE, SIG_IGN);
}

std::jthread WatchStopRequests(std::stop_source batch) {
  // The signals are taken by one thread with sigtimedwait, so the stop runs outside any
  // signal handler.
  return std::jthread([batch](std::stop_token ending) mutable {
    const sigset_t signals = StopSignals();
    const timespec poll{0, std::chrono::nanoseconds(kSignalPoll).count()};
    while (!ending.stop_requested()) {
      if (sigtimedwait(&signals, nullptr, &poll) > 0) {
        batch.request_stop();
        return;
      }
    }
  });
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

bool OutputIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

}  // namespace tarn::cli
