// SPDX-License-Identifier: MIT
#include "net/socket/socket_error_text.h"

#include <string>

#include "net/socket/socket_error_table.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {

std::string_view SocketErrorText(int number) {
  for (const SocketErrorRow& row : kSocketErrors) {
    if (row.number == number) return row.text;
  }
  return "";
}

EIdSocketError::EIdSocketError(int number)
    : EIdException("Socket Error # " + std::to_string(number) + "\r\n" +
                   std::string(SocketErrorText(number))),
      number_(number) {}

}  // namespace tarn::net
