// SPDX-License-Identifier: MIT
#include <windows.h>
// after windows.h, whose types it needs
#include <shellapi.h>

#include <chrono>

#include "base/utf16.h"
#include "cli/console.h"

namespace tarn::cli {
namespace {

// How often the watcher looks whether the program is ending anyway.
constexpr DWORD kStopPollMillis = 200;

// Set by the console's handler, which Windows runs on a thread of its own; made once, before
// any handler can run.
HANDLE StopEvent() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI OnConsoleEvent(DWORD kind) {
  switch (kind) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
      // Taken: the run stops as after SIGINT elsewhere, the partial photo removed.
      SetEvent(StopEvent());
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void PrepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);  // the progress line's \x1b[K
  }
  StopEvent();
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

std::jthread WatchStopRequests(std::stop_source batch) {
  return std::jthread([batch](std::stop_token ending) mutable {
    while (!ending.stop_requested()) {
      if (WaitForSingleObject(StopEvent(), kStopPollMillis) == WAIT_OBJECT_0) {
        batch.request_stop();
        return;
      }
    }
  });
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf16ToUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool OutputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace tarn::cli
