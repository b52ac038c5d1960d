// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tarn::net::testing {

// One scripted action of the server on a connection.
struct ServerStep {
  enum class Kind {
    kReadRequest,       // read up to and including the empty line that ends a request head
    kSend,              // send the bytes
    kClose,             // shut the sending side down: the client sees the close
    kReset,             // abort the connection: the client sees a reset
    kAwaitClientClose,  // read until the client closes, keeping what arrives
    kSendRepeatedly,    // send the bytes over and over until the client goes
    kTrickle            // send the bytes one at a time, a pause between them
  };
  Kind kind;
  std::string bytes;
};

ServerStep ReadRequest();
ServerStep Send(std::string bytes);
ServerStep CloseConnection();
ServerStep ResetConnection();
ServerStep AwaitClientClose();
// A server that never stops sending: ends when the client closes or resets the connection.
ServerStep SendRepeatedly(std::string bytes);
// A server that drips: one byte per kTricklePause at most, until the bytes run out or the
// client goes.
ServerStep Trickle(std::string bytes);
inline constexpr int kTricklePauseMs = 20;

// The steps for one accepted connection, in order.
using ConnectionScript = std::vector<ServerStep>;

// A raw TCP server on 127.0.0.1 and a port of the system's choice. Its thread accepts one
// connection per script, in order, and plays the script on it. Every wait is bounded, so a
// client that misbehaves shows up as a problem instead of a hanging test.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<ConnectionScript> scripts);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `path`.
  std::string Url(std::string_view path) const;

  // Waits until `count` request heads have arrived; false when the bound passes first.
  bool WaitForRequests(size_t count);
  // Waits until the first `count` scripts have been played to their end.
  bool WaitForScripts(size_t count);

  // Plays the scripts to their end, then counts connections beyond them.
  void Finish();

  // Every request head received, across connections, in order.
  std::vector<std::string> Requests() const;
  // What arrived during the AwaitClientClose step of a script.
  std::string SeenBeforeClose(size_t script) const;
  int ExtraConnections() const { return extra_connections_; }
  std::vector<std::string> Problems() const;

 private:
  void Run();
  void Play(size_t index, int connection);
  bool ReadRequestHead(int connection, std::string& pending);
  void Problem(std::string text);

  int listener_ = -1;
  int port_ = 0;
  std::vector<ConnectionScript> scripts_;
  std::vector<int> connections_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> requests_;
  std::vector<std::string> seen_before_close_;
  std::vector<std::string> problems_;
  size_t scripts_done_ = 0;
  int extra_connections_ = 0;
  bool finished_ = false;
  std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
int ClosedLoopbackPort();

}  // namespace tarn::net::testing
