// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn::net {

// An address cut into its pieces, each as written (nothing is percent-decoded).
struct AddressParts {
  std::string scheme;
  std::string user;
  std::string password;
  std::string host;
  std::string port;
  std::string directory;  // up to and including its last "/"
  std::string document;
  std::string query;  // from its "?" (or "=") on
};

// Cuts an address as the client takes it; an address without "://" is a relative reference
// with empty scheme, user information, host and port.
AddressParts SplitAddress(std::string_view address);

// "scheme://host[:port]" of an address: what stands before its path.
std::string SiteOf(std::string_view address);

// Joins a relative directory to the remembered one: runs of "/" collapse and ".." removes the
// segment before it.
std::string JoinDirectory(std::string_view remembered, std::string_view relative);

// What a client remembers from one request to the next, and the request it resolves to.
struct HttpTarget {
  std::string scheme;
  std::string host;
  std::string port = "80";
  std::string directory;
  std::string document;
  std::string query;
  // Taken from addresses and kept; the client has no credentials and never sends them.
  std::string user;
  std::string password;

  // Resolves an address against what is remembered. Other schemes than http and https need
  // a port: without one the request fails with EIdUnknownProtocol.
  void Resolve(const AddressParts& address);

  std::string RequestTarget() const { return directory + document + query; }
  // The "Host" header value: the port appears unless it is exactly "80", or "443" for https.
  std::string HostValue() const;
};

}  // namespace tarn::net
