// SPDX-License-Identifier: MIT
#include <filesystem>

#include "base/free_space.h"

namespace tarn {

std::optional<uint64_t> FreeSpace(const std::string& folder) {
  std::error_code error;
  const std::filesystem::space_info space = std::filesystem::space(folder, error);
  if (error) return std::nullopt;
  return static_cast<uint64_t>(space.available);
}

}  // namespace tarn
