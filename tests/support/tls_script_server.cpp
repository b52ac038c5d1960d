// SPDX-License-Identifier: MIT
#include "support/tls_script_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
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

}  // namespace

TlsScriptServer::TlsScriptServer(const std::string& scripts) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
  const std::string script =
      (std::filesystem::path(__FILE__).parent_path() / "tls_script_server.py").string();
  const std::string folder = certificates_.path().string();
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::execlp("python3", "python3", script.c_str(), folder.c_str(), scripts.c_str(),
             static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  to_server_ = in[1];
  from_server_ = out[0];
  if (!ReadLine()) return;
  std::istringstream fields(lines_.back());
  std::string field;
  fields >> field;
  if (field != "READY") return;
  while (fields >> field) {
    if (field.starts_with("port=")) port_ = std::stoi(field.substr(5));
    if (field.starts_with("ca=")) ::setenv("SSL_CERT_FILE", field.substr(3).c_str(), 1);
  }
}

TlsScriptServer::~TlsScriptServer() {
  Finish();
  if (from_server_ >= 0) ::close(from_server_);
  if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

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
  if (to_server_ < 0) return;
  ::close(to_server_);  // the server reports and ends at the end of its input
  to_server_ = -1;
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
    if (from_server_ < 0) return false;
    pollfd waiting{from_server_, POLLIN, 0};
    char piece[4096];
    const ssize_t got =
        ::poll(&waiting, 1, kLineWaitMillis) > 0 ? ::read(from_server_, piece, sizeof piece) : 0;
    if (got <= 0) return false;
    pending_.append(piece, static_cast<size_t>(got));
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
