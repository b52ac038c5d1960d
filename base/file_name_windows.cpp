// SPDX-License-Identifier: MIT
#include <array>
#include <string_view>

#include "base/file_name.h"
#include "base/text.h"

namespace tarn {
namespace {

// Names Windows gives to devices in every folder.
constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
constexpr std::string_view kRefused = "<>:\"/\\|?*";
constexpr char kStandIn = '_';

}  // namespace

std::string SystemSafeFileName(std::string name) {
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || kRefused.find(c) != std::string_view::npos) {
      c = kStandIn;
    }
  }
  // Windows drops a trailing dot or space, so the name would not be the one asked for.
  if (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.back() = kStandIn;
  // Windows reads "aux.txt" and "aux .txt" as the device too.
  const size_t base_end = name.find('.');
  const std::string_view base = Trim(std::string_view(name).substr(0, base_end));
  for (const std::string_view device : kDeviceNames) {
    if (EqualsIgnoringAsciiCase(base, device)) {
      name.insert(base_end == std::string::npos ? name.size() : base_end, 1, kStandIn);
      break;
    }
  }
  return name;
}

}  // namespace tarn
