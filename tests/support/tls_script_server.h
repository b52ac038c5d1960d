// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace tarn::net::testing {

// The scripted TLS server of tls_script_server.py (see there for the steps) as a child process
// on 127.0.0.1, with a test authority made for it at start. Trusting that authority is left
// to SSL_CERT_FILE, which the constructor points at it. Every wait is bounded.
class TlsScriptServer {
 public:
  // `scripts` is the JSON list of connection scripts.
  explicit TlsScriptServer(const std::string& scripts);
  ~TlsScriptServer();
  TlsScriptServer(const TlsScriptServer&) = delete;
  TlsScriptServer& operator=(const TlsScriptServer&) = delete;

  bool Ready() const { return port_ > 0; }
  int Port() const { return port_; }
  // "https://127.0.0.1:<port>" (or "http://" for `plain`) followed by `path`.
  std::string Url(std::string_view path, bool plain = false) const;

  // Waits for the server's line `line` (such as "RAW 0"); false when it never comes.
  bool WaitFor(const std::string& line);
  // Ends the server's input and reads its report to the end.
  void Finish();

  // After Finish: request heads of one connection, its handshake ("ok" or "failed REASON"),
  // what it saw in await_close, its mode ("tls" or "plain"), and connections beyond the
  // scripts.
  std::vector<std::string> Requests(int connection) const;
  std::string Handshake(int connection) const;
  std::string Seen(int connection) const;
  std::string Mode(int connection) const;
  // The server name the client sent, "-" for none.
  std::string Sni(int connection) const;
  int ExtraConnections() const;
  // Lines reporting a failure inside the server; empty when all went as scripted.
  std::vector<std::string> Problems() const;

 private:
  // Reads one line of the server's, waiting at most the bound; false at its end.
  bool ReadLine();
  // The rest after "<kind> <connection> " of each such line.
  std::vector<std::string> Values(std::string_view kind, int connection) const;

  tarn::testing::TempDir certificates_;
  tarn::testing::ChildProcess server_;
  bool finished_ = false;
  int port_ = 0;
  std::string pending_;
  std::vector<std::string> lines_;
};

}  // namespace tarn::net::testing
