// SPDX-License-Identifier: MIT
#include "support/tls_script_server.h"

#include <sstream>

namespace tarn::net::testing {
namespace {

// Making the authority and starting Python take well under a second; a loaded machine more.
constexpr int kLineWaitMillis = 60000;

std::string FromHex(std::string_view hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  }
  return bytes;
}

// A file of this folder on the host that built the tests.
std::string ScriptBeside(const std::string& source, const std::string& name) {
  return source.substr(0, source.rfind('/') + 1) + name;
}

}  // namespace

TlsScriptServer::TlsScriptServer(const std::string& scripts)
    : server_({"python3", ScriptBeside(__FILE__, "tls_script_server.py"),
               tarn::testing::HostPath(certificates_.path().string()), scripts}) {
  if (!ReadLine()) return;
  std::istringstream fields(lines_.back());
  std::string field;
  fields >> field;
  if (field != "READY") return;
  while (fields >> field) {
    if (field.starts_with("port=")) port_ = std::stoi(field.substr(5));
    if (field.starts_with("ca=")) {
      tarn::testing::SetTestEnvironment("SSL_CERT_FILE",
                                        tarn::testing::PathFromHost(field.substr(3)));
    }
  }
}

TlsScriptServer::~TlsScriptServer() { Finish(); }

std::string TlsScriptServer::Url(std::string_view path, bool plain) const {
  return (plain ? "http://127.0.0.1:" : "https://127.0.0.1:") + std::to_string(port_) +
         std::string(path);
}

bool TlsScriptServer::WaitFor(const std::string& line) {
  for (const std::string& seen : lines_) {
    if (seen == line) return true;
  }
  while (ReadLine()) {
    if (lines_.back() == line) return true;
  }
  return false;
}

void TlsScriptServer::Finish() {
  if (finished_) return;
  finished_ = true;
  server_.CloseInput();  // the server reports and ends at the end of its input
  while (ReadLine() && lines_.back() != "END") {
  }
}

bool TlsScriptServer::ReadLine() {
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      lines_.push_back(pending_.substr(0, end));
      pending_.erase(0, end + 1);
      return true;
    }
    if (!server_.Read(pending_, kLineWaitMillis)) return false;
  }
}

std::vector<std::string> TlsScriptServer::Values(std::string_view kind, int connection) const {
  const std::string prefix = std::string(kind) + " " + std::to_string(connection);
  std::vector<std::string> values;
  for (const std::string& line : lines_) {
    if (line == prefix) values.emplace_back();
    if (line.starts_with(prefix + " ")) values.push_back(line.substr(prefix.size() + 1));
  }
  return values;
}

std::vector<std::string> TlsScriptServer::Requests(int connection) const {
  std::vector<std::string> requests;
  for (const std::string& hex : Values("REQUEST", connection)) requests.push_back(FromHex(hex));
  return requests;
}

std::string TlsScriptServer::Handshake(int connection) const {
  const std::vector<std::string> values = Values("HANDSHAKE", connection);
  return values.empty() ? "" : values.front();
}

std::string TlsScriptServer::Seen(int connection) const {
  const std::vector<std::string> values = Values("SEEN", connection);
  return values.empty() ? "" : FromHex(values.front());
}

std::string TlsScriptServer::Mode(int connection) const {
  const std::vector<std::string> values = Values("MODE", connection);
  return values.empty() ? "" : values.front();
}

std::string TlsScriptServer::Sni(int connection) const {
  const std::vector<std::string> values = Values("SNI", connection);
  return values.empty() ? "" : values.front();
}

int TlsScriptServer::ExtraConnections() const {
  for (const std::string& line : lines_) {
    if (line.starts_with("EXTRA ")) return std::stoi(line.substr(6));
  }
  return -1;
}

std::vector<std::string> TlsScriptServer::Problems() const {
  std::vector<std::string> problems;
  for (const std::string& line : lines_) {
    if (line.starts_with("FAILED ")) problems.push_back(line);
  }
  if (lines_.empty() || lines_.back() != "END") problems.push_back("no report from the server");
  return problems;
}

}  // namespace tarn::net::testing
