// SPDX-License-Identifier: MIT
#include "support/child_process.h"

#ifdef _WIN32
// clang-format off
#include <winsock2.h>  // before windows.h, which would bring the old Winsock in
#include <windows.h>
// clang-format on
#else
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "support/test_sockets.h"

namespace tarn::testing {
namespace {

// Starting Python and its first answer take well under a second; a loaded machine more.
constexpr int kConnectWaitMillis = 60000;

}  // namespace

#ifdef _WIN32
namespace {

// One argument of a Windows command line, quoted so that it is split back as it was.
std::string Quoted(const std::string& argument) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  const auto add_backslashes = [&](size_t count) {
    for (size_t i = 0; i < count; ++i) quoted += '\\';
  };
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    add_backslashes(c == '"' ? backslashes * 2 + 1 : backslashes);
    backslashes = 0;
    quoted += c;
  }
  add_backslashes(backslashes * 2);
  return quoted + "\"";
}

// One of Wine's own functions, found at run time: under real Windows there is no host.
template <typename Function>
Function WineFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

std::wstring Wide(const std::string& text) {
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.data(), -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), -1, wide.data(), static_cast<int>(wide.size()));
  wide.pop_back();
  return wide;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& command) {
  const int listener = OpenTestSocket();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 1) ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    CloseTestSocket(listener);
    return;
  }
  std::string line =
      "/bin/bash -c " +
      Quoted("exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(ntohs(address.sin_port)) +
             "; exec \"$@\" <&3 >&3 3>&-") +
      " bash";
  for (const std::string& argument : command) {
    line += ' ';
    line += Quoted(argument);
  }
  std::wstring wide = Wide(line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &started)) {
    // A host program started by Wine comes without handles (and with junk in their place).
    if (started.hProcess != nullptr) {
      CloseHandle(started.hThread);
      process_ = reinterpret_cast<long long>(started.hProcess);
    }
    if (PollTestSocket(listener, POLLIN, kConnectWaitMillis) > 0) {
      input_ = output_ = AcceptTestSocket(listener);
    }
  }
  CloseTestSocket(listener);
}

ChildProcess::~ChildProcess() {
  CloseInput();
  if (output_ >= 0) CloseTestSocket(output_);
  if (process_ == -1) return;
  const auto process = reinterpret_cast<HANDLE>(process_);
  WaitForSingleObject(process, kConnectWaitMillis);
  CloseHandle(process);
}

bool ChildProcess::Read(std::string& pending, int wait_millis) {
  if (output_ < 0 || PollTestSocket(output_, POLLIN, wait_millis) <= 0) return false;
  char piece[4096];
  const int got = recv(output_, piece, sizeof piece, 0);
  if (got <= 0) return false;
  pending.append(piece, static_cast<size_t>(got));
  return true;
}

void ChildProcess::CloseInput() {
  if (input_ >= 0) shutdown(input_, kShutWrite);
  input_ = -1;
}

std::string HostPath(const std::string& path) {
  const auto convert = WineFunction<char*(CDECL*)(const wchar_t*)>("wine_get_unix_file_name");
  if (convert == nullptr) return path;
  char* unix_path = convert(Wide(path).c_str());
  if (unix_path == nullptr) return path;
  std::string converted(unix_path);
  HeapFree(GetProcessHeap(), 0, unix_path);
  return converted;
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string PathFromHost(const std::string& host_path) {
  const auto convert = WineFunction<wchar_t*(CDECL*)(const char*)>("wine_get_dos_file_name");
  if (convert == nullptr) return host_path;
  wchar_t* dos_path = convert(host_path.c_str());
  if (dos_path == nullptr) return host_path;
  const int size = WideCharToMultiByte(CP_UTF8, 0, dos_path, -1, nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, dos_path, -1, converted.data(), size, nullptr, nullptr);
  converted.pop_back();
  HeapFree(GetProcessHeap(), 0, dos_path);
  return converted;
}

void SetTestEnvironment(const std::string& name, const std::string& value) {
  _wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}

void UnsetTestEnvironment(const std::string& name) { _wputenv_s(Wide(name).c_str(), L""); }
#else
ChildProcess::ChildProcess(const std::vector<std::string>& command) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
  std::vector<char*> argv;
  for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  process_ = ::fork();
  if (process_ == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  output_ = out[0];
}

ChildProcess::~ChildProcess() {
  CloseInput();
  if (output_ >= 0) ::close(output_);
  if (process_ > 0) ::waitpid(static_cast<pid_t>(process_), nullptr, 0);
}

bool ChildProcess::Read(std::string& pending, int wait_millis) {
  if (output_ < 0) return false;
  pollfd waiting{output_, POLLIN, 0};
  char piece[4096];
  const ssize_t got =
      ::poll(&waiting, 1, wait_millis) > 0 ? ::read(output_, piece, sizeof piece) : 0;
  if (got <= 0) return false;
  pending.append(piece, static_cast<size_t>(got));
  return true;
}

void ChildProcess::CloseInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

std::string HostPath(const std::string& path) { return path; }
bool UnderWine() { return false; }
std::string PathFromHost(const std::string& host_path) { return host_path; }

void SetTestEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetTestEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }
#endif

}  // namespace tarn::testing
