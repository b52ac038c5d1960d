// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>

#include "download/download_events.h"

namespace tarn {

class TForm1;

// Carries a worker's reports to the main window's thread as queued calls, dropped if the
// window is gone; the window decides how they look (form1_download.cpp).
class WindowDownloadEvents : public DownloadEvents {
 public:
  explicit WindowDownloadEvents(TForm1* form) : form_(form) {}

  void ScanReported(int total) override;
  void PhotoDone(int done, const std::string& saved_path, bool fetched) override;
  void Waiting(std::chrono::seconds how_long, const std::string& why) override;
  void PreviewReady(RgbImage image) override;
  void Finished(const RunResult& result) override;

 private:
  template <class Call>
  void Post(Call&& call);

  QPointer<TForm1> form_;
};

}  // namespace tarn
