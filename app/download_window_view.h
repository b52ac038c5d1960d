// SPDX-License-Identifier: MIT
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <mutex>
#include <string>

#include "download/download_view.h"

namespace tarn {

class TForm1;

// The main window as a download worker sees it. Every change goes to the GUI thread as a
// queued call, dropped if the window is gone; the address and the folder are copies that the
// GUI thread keeps current, so the worker never waits on the window.
class DownloadWindowView : public DownloadView {
 public:
  explicit DownloadWindowView(TForm1* form);  // on the GUI thread
  ~DownloadWindowView() override;             // on the GUI thread

  std::string AlbumAddress() override;
  std::string SaveFolder() override;
  void ScanReported(int total) override;
  void PhotoDone(int done) override;
  void ShowPreview(RgbImage image) override;
  void Finished(const std::string& message) override;

 private:
  template <class Change>
  void Post(Change&& change);

  QPointer<TForm1> form_;
  std::mutex mutex_;
  std::string address_;
  std::string folder_;
  QMetaObject::Connection address_watch_;
  QMetaObject::Connection folder_watch_;
};

}  // namespace tarn
