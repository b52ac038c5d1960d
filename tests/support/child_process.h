// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace tarn::testing {

// A helper program of the host (python3 and its scripts) as a child process whose standard
// input and output are ours. Under Wine a Windows test starts it through bash, with a loopback
// connection for the two streams, since Wine gives a host program no pipes.
class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& command);
  // Ends its input and waits for it to go.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Appends what arrives within `wait_millis` to `pending`; false at the output's end or when
  // nothing came.
  bool Read(std::string& pending, int wait_millis);
  // Ends its standard input.
  void CloseInput();

 private:
  int input_ = -1;
  int output_ = -1;
  long long process_ = -1;  // a pid, or a Windows process handle
};

// A path of the test's own file system as the host's programs see it, and back: the same path
// except under Wine.
std::string HostPath(const std::string& path);
std::string PathFromHost(const std::string& host_path);

// Whether the tests run under Wine, which lacks a few things of Windows.
bool UnderWine();

// Sets or removes an environment variable of this process, with its value in UTF-8.
void SetTestEnvironment(const std::string& name, const std::string& value);
void UnsetTestEnvironment(const std::string& name);

}  // namespace tarn::testing
