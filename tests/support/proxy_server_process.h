// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "support/child_process.h"

namespace tarn::testing {

// proxy_server.py as a child process: an HTTP or SOCKS5 proxy on a free loopback port that
// logs what it was asked, with `user` and `password` required when given.
class ProxyServerProcess {
 public:
  ProxyServerProcess(const std::string& kind, const std::string& user = "",
                     const std::string& password = "");

  int Port() const { return port_; }
  // The lines logged since the last call: every one is written before its request is relayed,
  // so a finished client's are all there.
  std::vector<std::string> TakeLog();

 private:
  ChildProcess server_;
  std::string pending_;
  int port_ = 0;
};

}  // namespace tarn::testing
