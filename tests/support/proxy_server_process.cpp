// SPDX-License-Identifier: MIT
#include "support/proxy_server_process.h"

#include <sstream>

namespace tarn::testing {
namespace {

constexpr int kStartMillis = 30000;

std::vector<std::string> Command(const std::string& kind, const std::string& user,
                                 const std::string& password) {
  std::vector<std::string> command = {"python3", TARN_SOURCE_DIR "/tests/support/proxy_server.py",
                                      "--kind", kind};
  if (!user.empty()) command.insert(command.end(), {"--user", user, "--password", password});
  return command;
}

}  // namespace

ProxyServerProcess::ProxyServerProcess(const std::string& kind, const std::string& user,
                                       const std::string& password)
    : server_(Command(kind, user, password)) {
  while (pending_.find('\n') == std::string::npos) {
    if (!server_.Read(pending_, kStartMillis)) return;
  }
  const std::string ready = pending_.substr(0, pending_.find('\n'));
  pending_.erase(0, ready.size() + 1);
  if (ready.rfind("READY port=", 0) == 0) port_ = std::stoi(ready.substr(11));
}

std::vector<std::string> ProxyServerProcess::TakeLog() {
  while (server_.Read(pending_, 0)) {
  }
  std::vector<std::string> lines;
  std::istringstream text(pending_);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  pending_.clear();
  return lines;
}

}  // namespace tarn::testing
