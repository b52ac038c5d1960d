// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace tarn::net {

// One header of an answer head: the name as sent, the value trimmed and with continuation
// lines already joined.
struct HttpHeader {
  std::string name;
  std::string value;
};

using HttpHeaders = std::vector<HttpHeader>;

}  // namespace tarn::net
