// SPDX-License-Identifier: MIT
#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "base/file_path.h"

namespace tarn::testing {

TempDir::TempDir() {
#ifdef _WIN32
  // No mkdtemp: a random name, taken only if nothing stands there.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("tarn-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) path_ = candidate;
  }
  if (path_.empty()) throw std::runtime_error("no temporary folder");
#else
  std::string pattern = (std::filesystem::temp_directory_path() / "tarn-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
#endif
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Give back write permission that a test took away, so everything can go.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream file(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  file << data;
}

}  // namespace tarn::testing
