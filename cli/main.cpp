// SPDX-License-Identifier: MIT
// tarn-get: the album downloader without a window.
#include <cstdio>
#include <stop_token>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "cli/album_batch.h"
#include "cli/console.h"
#include "cli/options.h"
#include "settings/app_paths.h"
#include "settings/user_settings.h"

int main(int argc, char** argv) {
  tarn::cli::PrepareConsole();

  // The service keys the user keeps for the window count here too; the options override them.
  const tarn::ConfigEnvironment environment = tarn::ReadConfigEnvironment();
  const std::string kept = tarn::UserSettingsPath(environment.config_home, environment.home);
  std::vector<std::string> arguments = tarn::cli::Utf8Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  tarn::ServiceSettings service;
  service.proxy = tarn::net::ProxyRulesFromEnvironment(tarn::net::ProcessEnvironment);
  if (!kept.empty()) service = tarn::LoadServiceSettings(kept, tarn::net::ProcessEnvironment);
  auto parsed =
      tarn::cli::ParseOptions(static_cast<int>(arguments.size()), pointers.data(), service);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const auto& options = std::get<tarn::cli::Options>(parsed);

  const auto style = options.quiet                   ? tarn::cli::ProgressStyle::kQuiet
                     : tarn::cli::OutputIsTerminal() ? tarn::cli::ProgressStyle::kTerminal
                                                     : tarn::cli::ProgressStyle::kLines;
  std::stop_source batch;
  const std::jthread watcher = tarn::cli::WatchStopRequests(batch);
  return tarn::cli::RunAlbums(options, style, batch.get_token(), stdout, stderr);
}
