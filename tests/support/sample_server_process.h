// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace tarn::testing {

// The sample album server of tools/ as a child process on a free loopback port. It reads its
// standard input from us and stops when that pipe closes, also when the test dies.
class SampleServerProcess {
 public:
  explicit SampleServerProcess(const std::string& extra_arguments = "");
  ~SampleServerProcess();
  SampleServerProcess(const SampleServerProcess&) = delete;
  SampleServerProcess& operator=(const SampleServerProcess&) = delete;

  bool Ready() const { return port_ > 0; }
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  const std::string& AlbumUrl() const { return album_; }
  int Photos() const { return photos_; }
  // With --tls: the test authority's certificate, for SSL_CERT_FILE; empty otherwise.
  const std::string& CaFile() const { return ca_file_; }
  // With --today: the album nobody may see, and the folder of the drawn photos.
  const std::string& PrivateAlbumUrl() const { return private_album_; }
  const std::string& Cache() const { return cache_; }
  // Any field of the READY line ("star", "film", "movie", ...); empty when it has none.
  std::string Field(const std::string& name) const {
    const auto found = fields_.find(name);
    return found == fields_.end() ? std::string() : found->second;
  }
  // "http://" or "https://" and the host.
  std::string Base() const { return (ca_file_.empty() ? "http://" : "https://") + Host(); }

 private:
  ChildProcess server_;
  int port_ = 0;
  int photos_ = 0;
  std::string album_;
  std::string private_album_;
  std::string cache_;
  std::string ca_file_;
  std::map<std::string, std::string> fields_;
};

// One request the server logged (with --today): when, and its fields (path, ua, referer, ...).
struct LoggedRequest {
  double ms = 0;
  std::map<std::string, std::string> fields;
};

// What the server was asked so far, in order.
std::vector<LoggedRequest> RequestLog(const SampleServerProcess& server);

}  // namespace tarn::testing
