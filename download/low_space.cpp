// SPDX-License-Identifier: MIT
#include "download/low_space.h"

#include "base/cut_text.h"
#include "base/free_space.h"

namespace tarn {

std::optional<std::string> LowSpaceMessage(const std::string& folder, uint64_t minimum) {
  const std::optional<uint64_t> free = FreeSpace(folder);
  if (!free || *free >= minimum) return std::nullopt;
  return "保存路径所在磁盘的剩余空间不足 " + std::to_string(minimum >> 20) + " MB，下载已停止：" +
         CutText(folder);
}

}  // namespace tarn
