// SPDX-License-Identifier: MIT
#pragma once

#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace tarn::cli {

// Sets the process up for a run, before any thread starts: on POSIX systems Ctrl-C and
// SIGTERM are blocked for every thread but the watcher and a vanished reader raises no
// SIGPIPE; on Windows the console takes UTF-8 and terminal sequences, and Ctrl-C, Ctrl-Break
// and closing the console are caught.
void PrepareConsole();

// A thread that turns Ctrl-C (and SIGTERM, or the console's other stop events) into a stop of
// `batch`, outside any signal handler; it ends with the run.
std::jthread WatchStopRequests(std::stop_source batch);

// The program's arguments in UTF-8: as given on POSIX systems; on Windows, where `argv` is in
// the 8-bit code page, from the wide command line.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether standard output is a terminal, which gets the one-line progress.
bool OutputIsTerminal();

}  // namespace tarn::cli
