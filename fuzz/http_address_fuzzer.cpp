// SPDX-License-Identifier: MIT
// Addresses as pages and users write them, split, resolved one after the other against what a
// client remembers, and made into request heads. Input: addresses separated by NUL bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "net/http/http_address.h"
#include "net/http/http_errors.h"
#include "net/http/http_request_head.h"

namespace tarn::net {
namespace {

using fuzz::Check;

// Addresses resolved per input: enough for relative ones to build on earlier ones.
constexpr int kMaxAddresses = 8;
constexpr std::string_view kSchemeMark = "://";

bool Has(std::string_view text, std::string_view any) {
  return text.find_first_of(any) != std::string_view::npos;
}

void CheckSplit(std::string_view address, const AddressParts& parts) {
  std::string text(address);
  for (char& c : text) {
    if (c == '\\') c = '/';
  }
  for (const std::string* part : {&parts.scheme, &parts.user, &parts.password, &parts.host,
                                  &parts.port, &parts.directory, &parts.document, &parts.query}) {
    Check(!Has(*part, "\\"), "every backslash became a slash");
  }
  Check(!Has(parts.document, "/?"), "document holds no slash or query");
  Check(parts.query.empty() || parts.query.front() == '?' || parts.query.front() == '=',
        "query starts at its mark");
  if (parts.query.starts_with('=')) Check(!Has(parts.document, "="), "query starts at the first =");
  Check(parts.directory.empty() || parts.directory.back() == '/', "directory ends in a slash");
  if (parts.password.size() > 0) Check(!parts.user.empty(), "no password without a user");

  const size_t scheme_end = text.find(kSchemeMark);
  std::string_view path = text;
  if (scheme_end == std::string::npos) {
    Check(parts.scheme.empty() && parts.host.empty() && parts.port.empty() && parts.user.empty(),
          "a relative reference names no server");
    Check(!Has(parts.query, "#"), "a relative reference's query ends at its fragment");
  } else {
    Check(parts.scheme == text.substr(0, scheme_end), "scheme before the first ://");
    Check(!Has(parts.host, "/:") && !Has(parts.port, "/"), "host and port within the authority");
    Check(parts.directory.starts_with('/'), "an absolute address has an absolute directory");
    Check(!Has(parts.document, "#"), "an absolute address's document ends at its fragment");
    const std::string_view rest = std::string_view(text).substr(scheme_end + kSchemeMark.size());
    const size_t slash = rest.find('/');
    path = slash == std::string_view::npos ? "/" : rest.substr(slash);
  }
  if (!Has(text, "#")) {
    Check(parts.directory + parts.document + parts.query == path, "the path cut without loss");
  }
}

void CheckHead(const HttpTarget& target) {
  RequestHeadFields fields;
  fields.target = target.RequestTarget();
  fields.host = target.HostValue();
  std::string head;
  try {
    head = BuildRequestHead(fields);
  } catch (const EIdException&) {
    Check(Has(fields.target, "\r\n") || Has(fields.host, "\r\n"),
          "only a line break refuses a request");
    return;
  }
  Check(!Has(fields.target, "\r\n") && !Has(fields.host, "\r\n"), "line breaks never sent");
  const std::string request_line = "GET " + fields.target + " HTTP/1.1\r\n";
  Check(head.starts_with(request_line), "request line");
  Check(head.ends_with("\r\n\r\n"), "head ends with an empty line");
  // Every line ends in CR LF and no CR or LF stands anywhere else.
  for (size_t i = 0; i < head.size(); ++i) {
    if (head[i] == '\r') Check(i + 1 < head.size() && head[i + 1] == '\n', "lone CR");
    if (head[i] == '\n') Check(i > 0 && head[i - 1] == '\r', "lone LF");
  }
  std::string_view lines = std::string_view(head).substr(request_line.size());
  lines.remove_suffix(2);
  while (!lines.empty()) {
    const size_t end = lines.find("\r\n");
    const std::string_view line = lines.substr(0, end);
    Check(line.starts_with(' ') || line.starts_with("Content-Type: ") ||
              line.starts_with("Host: ") || line.starts_with("Accept: ") ||
              line.starts_with("User-Agent: "),
          "only our own header lines or their continuations");
    lines.remove_prefix(end + 2);
  }
}

void CheckResolved(const HttpTarget& before, const AddressParts& parts, const HttpTarget& after) {
  Check(!after.port.empty() && !after.scheme.empty(), "port and scheme always set");
  if (!parts.port.empty()) Check(after.port == parts.port, "the address's port wins");
  Check(after.host == (parts.host.empty() ? before.host : parts.host), "host kept or replaced");
  Check(after.document == parts.document && after.query == parts.query, "document and query");
  if (!parts.directory.starts_with('/')) {
    if (before.directory.starts_with('/')) {
      Check(after.directory.starts_with('/'), "a joined directory stays absolute");
    }
    if (after.directory.starts_with('/')) {
      Check(after.directory == "/" || after.directory.find("//") == std::string::npos,
            "runs of slashes collapse");
      Check(("/" + after.directory + "/").find("/../") == std::string::npos,
            "no .. segment survives in an absolute directory");
    }
  }
  const bool was_https = EqualsIgnoringAsciiCase(before.scheme, "https");
  if (parts.scheme.empty()) {
    Check(after.scheme == (was_https ? before.scheme : "http"), "a relative address keeps https");
  }
  const bool own_port =
      after.port == "80" || (after.port == "443" && EqualsIgnoringAsciiCase(after.scheme, "https"));
  Check(after.HostValue() == (own_port ? after.host : after.host + ":" + after.port), "host value");
}

}  // namespace
}  // namespace tarn::net

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn::net;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  HttpTarget target;
  for (int count = 0; count < kMaxAddresses && !input.empty(); ++count) {
    const size_t end = input.find('\0');
    const std::string_view address = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);

    const AddressParts parts = SplitAddress(address);
    CheckSplit(address, parts);
    const HttpTarget before = target;
    try {
      target.Resolve(parts);
    } catch (const EIdUnknownProtocol&) {
      continue;
    }
    CheckResolved(before, parts, target);
    CheckHead(target);
  }
  return 0;
}
