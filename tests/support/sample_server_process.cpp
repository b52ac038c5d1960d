// SPDX-License-Identifier: MIT
#include "support/sample_server_process.h"

#include <sstream>
#include <vector>

#include "net/http/http_client.h"

namespace tarn::testing {
namespace {

// The first start draws the sample photos, which takes a while on a slow machine.
constexpr int kStartMillis = 180000;

std::vector<std::string> Command(const std::string& extra_arguments) {
  std::vector<std::string> command = {"python3", TARN_SOURCE_DIR "/tools/sample_album_server.py",
                                      "--port",  "0",
                                      "--quiet", "--watch-stdin"};
  std::istringstream words(extra_arguments);
  for (std::string word; words >> word;) command.push_back(word);
  return command;
}

}  // namespace

SampleServerProcess::SampleServerProcess(const std::string& extra_arguments)
    : server_(Command(extra_arguments)) {
  std::string pending;
  while (pending.find('\n') == std::string::npos) {
    if (!server_.Read(pending, kStartMillis)) return;
  }
  const std::string ready = pending.substr(0, pending.find('\n'));
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
    if (field.rfind("ca=", 0) == 0) ca_file_ = PathFromHost(field.substr(3));
    if (field.rfind("private=", 0) == 0) private_album_ = field.substr(8);
    if (field.rfind("cache=", 0) == 0) cache_ = PathFromHost(field.substr(6));
  }
}

// The server stops at the end of its input, which the child process closes.
SampleServerProcess::~SampleServerProcess() = default;

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
