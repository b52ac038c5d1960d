// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarn::testing {

// What the server answers to one request.
struct RouteReply {
  RouteReply(int status = 200, std::string body = {}) : status(status), body(std::move(body)) {}
  int status;
  std::string body;
  // Announce the full length but send only this many body bytes, then close.
  long cut_after = -1;
  std::string extra_headers;  // whole lines, each ending in "\r\n"
};

// A small keep-alive HTTP server on 127.0.0.1 for whole-run tests: each GET goes to the
// handler with its target and the number of times that target was asked for before (0 for the
// first). Connections are served one after another, as the program's one client uses them.
class RouteServer {
 public:
  using Handler = std::function<RouteReply(const std::string& target, int earlier)>;

  explicit RouteServer(Handler handler);
  ~RouteServer();
  RouteServer(const RouteServer&) = delete;
  RouteServer& operator=(const RouteServer&) = delete;

  int Port() const { return port_; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Url(const std::string& target) const { return "http://" + Host() + target; }

  // Every target asked for, in order.
  std::vector<std::string> Targets() const;
  int Connections() const { return connections_; }

 private:
  void Run();
  void Serve(int connection);

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> targets_;
  std::map<std::string, int> counts_;
  std::thread thread_;
};

}  // namespace tarn::testing
