// SPDX-License-Identifier: MIT
#include "app/window_download_events.h"

#include <QMetaObject>
#include <memory>

#include "app/form1.h"
#include "widgets/artwork.h"

namespace tarn {

template <class Call>
void WindowDownloadEvents::Post(Call&& call) {
  QPointer<TForm1> form = form_;
  if (form.isNull()) return;
  QMetaObject::invokeMethod(
      form.data(),
      [form, call = std::forward<Call>(call)]() mutable {
        if (!form.isNull()) call(*form);
      },
      Qt::QueuedConnection);
}

void WindowDownloadEvents::ScanReported(int total) {
  Post([total](TForm1& form) { form.DownloadScanReported(total); });
}

void WindowDownloadEvents::PhotoDone(int done, const std::string&, bool) {
  Post([done](TForm1& form) { form.DownloadPhotoDone(done); });
}

void WindowDownloadEvents::Waiting(std::chrono::seconds how_long, const std::string& why) {
  Post([seconds = how_long.count(), why](TForm1& form) { form.DownloadWaiting(seconds, why); });
}

void WindowDownloadEvents::PreviewReady(RgbImage image) {
  // Converted here, on the decoder's thread, so the window only swaps the picture in.
  auto picture = std::make_shared<QImage>(ToQImage(image));
  Post([picture](TForm1& form) { form.DownloadPreviewReady(*picture); });
}

void WindowDownloadEvents::Finished(const RunResult& result) {
  Post([message = result.message](TForm1& form) { form.DownloadFinished(message); });
}

}  // namespace tarn
