// SPDX-License-Identifier: MIT
#include "support/sample_server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "net/http_client.h"

namespace tarn::testing {
namespace {

// The first start draws the sample photos, which takes a while on a slow machine.
constexpr int kStartMillis = 180000;

std::string ReadLine(int fd, int timeout_millis) {
  std::string line;
  char c;
  while (true) {
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, timeout_millis) <= 0) return {};
    if (::read(fd, &c, 1) != 1) return {};
    if (c == '\n') return line;
    line += c;
  }
}

}  // namespace

SampleServerProcess::SampleServerProcess(const std::string& extra_arguments) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
  const std::string command = "exec python3 '" TARN_SOURCE_DIR
                              "/tools/sample_album_server.py' --port 0 --quiet --watch-stdin " +
                              extra_arguments;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  to_server_ = in[1];
  const std::string ready = ReadLine(out[0], kStartMillis);
  ::close(out[0]);
  std::istringstream fields(ready);
  std::string field;
  fields >> field;
  if (field != "READY") return;
  while (fields >> field) {
    const size_t equals = field.find('=');
    if (equals != std::string::npos) fields_[field.substr(0, equals)] = field.substr(equals + 1);
    if (field.rfind("port=", 0) == 0) port_ = std::stoi(field.substr(5));
    if (field.rfind("photos=", 0) == 0) photos_ = std::stoi(field.substr(7));
    if (field.rfind("album=", 0) == 0) album_ = field.substr(6);
    if (field.rfind("ca=", 0) == 0) ca_file_ = field.substr(3);
    if (field.rfind("private=", 0) == 0) private_album_ = field.substr(8);
    if (field.rfind("cache=", 0) == 0) cache_ = field.substr(6);
  }
}

SampleServerProcess::~SampleServerProcess() {
  if (to_server_ >= 0) ::close(to_server_);  // the server stops at the end of its input
  if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

std::vector<LoggedRequest> RequestLog(const SampleServerProcess& server) {
  std::istringstream lines(net::HttpClient().FetchText(server.Base() + "/stats"));
  std::vector<LoggedRequest> log;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("request\t", 0) != 0) continue;
    LoggedRequest entry;
    std::istringstream fields(line.substr(8));
    for (std::string field; std::getline(fields, field, '\t');) {
      const size_t equals = field.find('=');
      entry.fields[field.substr(0, equals)] = field.substr(equals + 1);
    }
    entry.ms = std::stod(entry.fields["ms"]);
    log.push_back(std::move(entry));
  }
  return log;
}

}  // namespace tarn::testing
