// SPDX-License-Identifier: MIT
// tarn-get: the album downloader without a window.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stop_token>
#include <thread>
#include <variant>

#include "cli/album_batch.h"
#include "cli/options.h"
#include "settings/app_paths.h"
#include "settings/user_settings.h"

namespace {

// How often the signal watcher looks whether the program is ending anyway.
constexpr auto kSignalPoll = std::chrono::milliseconds(200);

// Ctrl-C and SIGTERM request a stop of the batch. The signals are taken by one thread with
// sigtimedwait, so the stop runs outside any signal handler.
std::jthread WatchSignals(std::stop_source batch) {
  return std::jthread([batch](std::stop_token ending) mutable {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    const timespec poll{0, std::chrono::nanoseconds(kSignalPoll).count()};
    while (!ending.stop_requested()) {
      if (sigtimedwait(&signals, nullptr, &poll) > 0) {
        batch.request_stop();
        return;
      }
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  // Blocked before any thread starts, so that every thread inherits the mask and only the
  // watcher takes the signals.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  // A reader that goes away (`tarn-get … | head`) must not kill a run in the middle of a photo.
  signal(SIGPIPE, SIG_IGN);

  // The service keys the user keeps for the window count here too; the options override them.
  const std::string kept =
      tarn::UserSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  auto parsed = tarn::cli::ParseOptions(
      argc, argv, kept.empty() ? tarn::ServiceSettings{} : tarn::LoadServiceSettings(kept));
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const auto& options = std::get<tarn::cli::Options>(parsed);

  const auto style = options.quiet                ? tarn::cli::ProgressStyle::kQuiet
                     : isatty(STDOUT_FILENO) != 0 ? tarn::cli::ProgressStyle::kTerminal
                                                  : tarn::cli::ProgressStyle::kLines;
  std::stop_source batch;
  const std::jthread watcher = WatchSignals(batch);
  return tarn::cli::RunAlbums(options, style, batch.get_token(), stdout, stderr);
}
