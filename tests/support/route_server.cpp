// SPDX-License-Identifier: MIT
#include "support/route_server.h"

#include <cstring>
#include <stdexcept>

#include "support/test_sockets.h"

namespace tarn::testing {
namespace {

// Every wait is bounded so a stuck client fails a test instead of hanging it.
constexpr int kPollMillis = 50;
constexpr int kIdleLimitMillis = 10000;

bool SendAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, kSendFlags);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string StatusText(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

}  // namespace

RouteServer::RouteServer(Handler handler) : handler_(std::move(handler)) {
  listener_ = OpenTestSocket();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    throw std::runtime_error("route server: cannot listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

RouteServer::~RouteServer() {
  stopping_ = true;
  thread_.join();
  CloseTestSocket(listener_);
}

std::vector<std::string> RouteServer::Targets() const {
  std::lock_guard lock(mutex_);
  return targets_;
}

void RouteServer::Run() {
  while (!stopping_) {
    if (PollTestSocket(listener_, POLLIN, kPollMillis) <= 0) continue;
    const int connection = AcceptTestSocket(listener_);
    if (connection < 0) continue;
    ++connections_;
    Serve(connection);
    CloseTestSocket(connection);
  }
}

void RouteServer::Serve(int connection) {
  std::string pending;
  int idle = 0;
  while (!stopping_ && idle < kIdleLimitMillis) {
    const size_t end = pending.find("\r\n\r\n");
    if (end == std::string::npos) {
      if (PollTestSocket(connection, POLLIN, kPollMillis) <= 0) {
        idle += kPollMillis;
        continue;
      }
      char buffer[4096];
      const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
      if (n <= 0) return;  // the client closed
      pending.append(buffer, static_cast<size_t>(n));
      idle = 0;
      continue;
    }
    const std::string head = pending.substr(0, end);
    pending.erase(0, end + 4);
    const size_t first_space = head.find(' ');
    const std::string target =
        head.substr(first_space + 1, head.find(' ', first_space + 1) - first_space - 1);
    int earlier;
    {
      std::lock_guard lock(mutex_);
      targets_.push_back(target);
      earlier = counts_[target]++;
    }
    const RouteReply reply = handler_(target, earlier);
    std::string answer = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                         StatusText(reply.status) +
                         "\r\nContent-Length: " + std::to_string(reply.body.size()) + "\r\n" +
                         reply.extra_headers + "\r\n";
    if (reply.cut_after >= 0) {
      answer += reply.body.substr(0, static_cast<size_t>(reply.cut_after));
      SendAll(connection, answer);
      return;
    }
    answer += reply.body;
    if (!SendAll(connection, answer)) return;
  }
}

}  // namespace tarn::testing
