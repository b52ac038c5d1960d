// SPDX-License-Identifier: MIT
#include "net/http/http_address.h"

#include <algorithm>
#include <vector>

#include "base/str_to_int.h"
#include "base/text.h"
#include "net/http/http_errors.h"

namespace tarn::net {
namespace {

constexpr std::string_view kSchemeMark = "://";
constexpr std::string_view kDefaultPort = "80";

// Where the query starts: at the first "?", else at the first "=", else nowhere.
size_t QueryStart(std::string_view text) {
  size_t start = text.find('?');
  if (start == std::string_view::npos) start = text.find('=');
  return start;
}

// Cuts `path` into directory (through the last "/" before the query), document and query.
void CutPath(std::string_view path, AddressParts& parts) {
  const size_t query_start = QueryStart(path);
  const std::string_view before_query = path.substr(0, query_start);
  const size_t last_slash = before_query.rfind('/');
  const size_t document_start = last_slash == std::string_view::npos ? 0 : last_slash + 1;
  parts.directory += before_query.substr(0, document_start);
  parts.document = std::string(before_query.substr(document_start));
  parts.query = query_start == std::string_view::npos ? "" : std::string(path.substr(query_start));
}

int32_t PortNumberOrZero(std::string_view port) {
  try {
    return StrToInt(port);
  } catch (const EConvertError&) {
    return 0;
  }
}

void DropFragment(std::string& text) {
  const size_t mark = text.find('#');
  if (mark != std::string::npos) text.erase(mark);
}

}  // namespace

AddressParts SplitAddress(std::string_view address) {
  // The 8-bit code page is UTF-8, whose multi-byte characters never contain a backslash, so
  // every backslash is a path separator.
  std::string text(address);
  std::replace(text.begin(), text.end(), '\\', '/');

  AddressParts parts;
  const size_t scheme_end = text.find(kSchemeMark);
  if (scheme_end == std::string::npos) {
    CutPath(text, parts);
    DropFragment(parts.query);
    return parts;
  }
  parts.scheme = text.substr(0, scheme_end);
  const std::string_view rest = std::string_view(text).substr(scheme_end + kSchemeMark.size());
  const size_t authority_end = rest.find('/');
  std::string_view authority = rest.substr(0, authority_end);
  const std::string_view remainder =
      authority_end == std::string_view::npos ? "" : rest.substr(authority_end + 1);

  const size_t at = authority.find('@');
  if (at != std::string_view::npos) {
    const std::string_view user_info = authority.substr(0, at);
    const size_t colon = user_info.find(':');
    parts.user = std::string(user_info.substr(0, colon));
    if (colon != std::string_view::npos && !parts.user.empty()) {
      parts.password = std::string(user_info.substr(colon + 1));
    }
    authority = authority.substr(at + 1);
  }
  const size_t colon = authority.find(':');
  parts.host = std::string(authority.substr(0, colon));
  if (colon != std::string_view::npos) parts.port = std::string(authority.substr(colon + 1));

  parts.directory.assign(1, '/');  // not `= "/"`: GCC 12 warns -Wrestrict there wrongly
  CutPath(remainder, parts);
  const size_t mark = parts.document.find('#');
  if (mark != std::string::npos) {
    parts.document.erase(mark);
  } else {
    DropFragment(parts.query);
  }
  return parts;
}

std::string JoinDirectory(std::string_view remembered, std::string_view relative) {
  std::string joined(remembered);
  if (!joined.empty() && joined.back() != '/') joined += '/';
  joined += relative;

  const bool leading_slash = !joined.empty() && joined.front() == '/';
  bool trailing_slash = !joined.empty() && joined.back() == '/';
  std::vector<std::string_view> segments;
  std::string_view rest(joined);
  bool first = true;
  while (!rest.empty() || first) {
    const size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? "" : rest.substr(slash + 1);
    const bool after_slash = leading_slash || !first;
    first = false;
    if (segment.empty()) continue;  // runs of "/" collapse
    if (segment == ".." && after_slash) {
      if (!segments.empty() && segments.back() != "..") {
        segments.pop_back();
      } else if (segments.empty() && !leading_slash) {
        segments.push_back(segment);
      }
      // The ".." stood for a directory, so what is left of the text is one too.
      if (rest.empty()) trailing_slash = true;
      continue;
    }
    segments.push_back(segment);
  }

  std::string result = leading_slash ? "/" : "";
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i > 0) result += '/';
    result += segments[i];
  }
  const bool keep_trailing = relative.empty() || relative.back() == '/';
  if (trailing_slash && keep_trailing && !segments.empty()) result += '/';
  return result;
}

void HttpTarget::Resolve(const AddressParts& address) {
  if (!address.user.empty()) {
    user = address.user;
    password = address.password;
  }
  if (!address.directory.empty() && address.directory.front() == '/') {
    directory = address.directory;
  } else {
    directory = JoinDirectory(directory, address.directory);
  }
  document = address.document;
  query = address.query;
  if (!address.host.empty()) host = address.host;
  if (!address.scheme.empty()) {
    scheme = address.scheme;
  } else if (!EqualsIgnoringAsciiCase(scheme, "https")) {
    // A relative address after an https one stays on https: never a silent plain request.
    scheme = "http";
  }
  if (!address.port.empty()) {
    port = address.port;
    return;
  }
  const int32_t remembered = PortNumberOrZero(port);
  if (remembered == 0 || remembered == 80 || remembered == 443) {
    if (EqualsIgnoringAsciiCase(scheme, "http")) {
      port = kDefaultPort;
    } else if (EqualsIgnoringAsciiCase(scheme, "https")) {
      port = "443";
    } else {
      throw EIdUnknownProtocol();
    }
  }
}

std::string HttpTarget::HostValue() const {
  // An https address on its own port names the host alone, as every browser sends it.
  if (port == kDefaultPort || (port == "443" && EqualsIgnoringAsciiCase(scheme, "https"))) {
    return host;
  }
  return host + ":" + port;
}

std::string SiteOf(std::string_view address) {
  const size_t host = address.find("://");
  return std::string(
      address.substr(0, address.find('/', host == std::string_view::npos ? 0 : host + 3)));
}

}  // namespace tarn::net
