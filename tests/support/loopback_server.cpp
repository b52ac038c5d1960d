// SPDX-License-Identifier: MIT
#include "support/loopback_server.h"

#include <cerrno>
#include <chrono>
#include <stdexcept>

#include "support/test_sockets.h"

namespace tarn::net::testing {
namespace {

using namespace tarn::testing;

// Longest any single wait of the server may take before it counts as a problem.
constexpr int kStepBoundMs = 10000;
constexpr std::chrono::milliseconds kTestWaitBound{10000};
constexpr std::string_view kHeadEnd = "\r\n\r\n";
// Most bytes a SendRepeatedly step sends: sixteen times the most any client keeps, so a client
// that takes them all would never have given up.
constexpr uint64_t kMaxRepeatedBytes = 1ull << 30;
#ifdef _WIN32
constexpr int kDontWait = 0;  // Winsock has no such flag; the wait for room comes first anyway
#else
constexpr int kDontWait = MSG_DONTWAIT;
#endif

bool WaitReadable(int descriptor) { return PollTestSocket(descriptor, POLLIN, kStepBoundMs) > 0; }

bool WaitWritable(int descriptor) { return PollTestSocket(descriptor, POLLOUT, kStepBoundMs) > 0; }

sockaddr_in LoopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

int BoundSocket() {
  const int descriptor = OpenTestSocket();
  sockaddr_in address = LoopbackAddress(0);
  if (descriptor < 0 ||
      bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
    throw std::runtime_error("cannot bind a loopback socket");
  }
  return descriptor;
}

int PortOf(int descriptor) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

}  // namespace

ServerStep ReadRequest() { return {ServerStep::Kind::kReadRequest, {}}; }
ServerStep Send(std::string bytes) { return {ServerStep::Kind::kSend, std::move(bytes)}; }
ServerStep CloseConnection() { return {ServerStep::Kind::kClose, {}}; }
ServerStep ResetConnection() { return {ServerStep::Kind::kReset, {}}; }
ServerStep AwaitClientClose() { return {ServerStep::Kind::kAwaitClientClose, {}}; }
ServerStep SendRepeatedly(std::string bytes) {
  return {ServerStep::Kind::kSendRepeatedly, std::move(bytes)};
}

ServerStep Trickle(std::string bytes) { return {ServerStep::Kind::kTrickle, std::move(bytes)}; }

int ClosedLoopbackPort() {
  const int descriptor = BoundSocket();
  const int port = PortOf(descriptor);
  CloseTestSocket(descriptor);
  return port;
}

LoopbackServer::LoopbackServer(std::vector<ConnectionScript> scripts)
    : scripts_(std::move(scripts)), seen_before_close_(scripts_.size()) {
  listener_ = BoundSocket();
  if (listen(listener_, 16) < 0) throw std::runtime_error("cannot listen");
  port_ = PortOf(listener_);
  thread_ = std::thread([this] { Run(); });
}

LoopbackServer::~LoopbackServer() {
  Finish();
  for (const int connection : connections_) {
    if (connection >= 0) CloseTestSocket(connection);
  }
  CloseTestSocket(listener_);
}

std::string LoopbackServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LoopbackServer::Run() {
  for (size_t index = 0; index < scripts_.size(); ++index) {
    if (!WaitReadable(listener_)) {
      Problem("script " + std::to_string(index) + ": no connection came");
      return;
    }
    const int connection = AcceptTestSocket(listener_);
    connections_.push_back(connection);
    Play(index, connection);
    std::lock_guard lock(mutex_);
    ++scripts_done_;
    changed_.notify_all();
  }
}

void LoopbackServer::Play(size_t index, int connection) {
  std::string pending;
  for (const ServerStep& step : scripts_[index]) {
    switch (step.kind) {
      case ServerStep::Kind::kReadRequest:
        if (!ReadRequestHead(connection, pending)) {
          Problem("script " + std::to_string(index) + ": no complete request");
          return;
        }
        break;
      case ServerStep::Kind::kSend:
        if (send(connection, step.bytes.data(), step.bytes.size(), kSendFlags) !=
            static_cast<ssize_t>(step.bytes.size())) {
          Problem("script " + std::to_string(index) + ": send failed");
        }
        break;
      case ServerStep::Kind::kClose:
        shutdown(connection, kShutWrite);
        break;
      case ServerStep::Kind::kReset: {
        const linger abortive{1, 0};
        setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive),
                   sizeof abortive);
        CloseTestSocket(connection);
        connections_.back() = -1;
        return;
      }
      case ServerStep::Kind::kSendRepeatedly: {
        uint64_t sent = 0;
        size_t at = 0;  // within the bytes, so that they repeat whole
        while (sent < kMaxRepeatedBytes) {
          if (!WaitWritable(connection)) {
            Problem("script " + std::to_string(index) + ": the client stopped reading");
            break;
          }
          // Never blocks, so the bound above holds for every wait.
          const ssize_t count = send(connection, step.bytes.data() + at, step.bytes.size() - at,
                                     kSendFlags | kDontWait);
          if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) continue;
          if (count <= 0) break;  // the client has gone
          sent += static_cast<uint64_t>(count);
          at = (at + static_cast<size_t>(count)) % step.bytes.size();
        }
        if (sent >= kMaxRepeatedBytes) {
          Problem("script " + std::to_string(index) + ": the client never gave up");
        }
        break;
      }
      case ServerStep::Kind::kTrickle:
        for (const char byte : step.bytes) {
          // The pause is a wait for the client: a close or reset ends the drip at once.
          if (PollTestSocket(connection, POLLIN, kTricklePauseMs) > 0) break;
          if (send(connection, &byte, 1, kSendFlags) != 1) break;
        }
        break;
      case ServerStep::Kind::kAwaitClientClose: {
        std::string seen = pending;
        char buffer[4096];
        for (;;) {
          if (!WaitReadable(connection)) {
            Problem("script " + std::to_string(index) + ": the client never closed");
            break;
          }
          const ssize_t received = recv(connection, buffer, sizeof buffer, 0);
          if (received <= 0) break;
          seen.append(buffer, static_cast<size_t>(received));
        }
        std::lock_guard lock(mutex_);
        seen_before_close_[index] = seen;
        break;
      }
    }
  }
}

bool LoopbackServer::ReadRequestHead(int connection, std::string& pending) {
  char buffer[4096];
  for (;;) {
    const size_t end = pending.find(kHeadEnd);
    if (end != std::string::npos) {
      std::lock_guard lock(mutex_);
      requests_.push_back(pending.substr(0, end + kHeadEnd.size()));
      pending.erase(0, end + kHeadEnd.size());
      changed_.notify_all();
      return true;
    }
    if (!WaitReadable(connection)) return false;
    const ssize_t received = recv(connection, buffer, sizeof buffer, 0);
    if (received <= 0) return false;
    pending.append(buffer, static_cast<size_t>(received));
  }
}

bool LoopbackServer::WaitForRequests(size_t count) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kTestWaitBound, [&] { return requests_.size() >= count; });
}

bool LoopbackServer::WaitForScripts(size_t count) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kTestWaitBound, [&] { return scripts_done_ >= count; });
}

void LoopbackServer::Finish() {
  if (finished_) return;
  finished_ = true;
  thread_.join();
  SetTestSocketNonBlocking(listener_);
  for (;;) {
    const int connection = AcceptTestSocket(listener_);
    if (connection < 0) break;
    ++extra_connections_;
    CloseTestSocket(connection);
  }
}

std::vector<std::string> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string LoopbackServer::SeenBeforeClose(size_t script) const {
  std::lock_guard lock(mutex_);
  return seen_before_close_.at(script);
}

std::vector<std::string> LoopbackServer::Problems() const {
  std::lock_guard lock(mutex_);
  return problems_;
}

void LoopbackServer::Problem(std::string text) {
  std::lock_guard lock(mutex_);
  problems_.push_back(std::move(text));
}

}  // namespace tarn::net::testing
