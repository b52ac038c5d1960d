// SPDX-License-Identifier: MIT
#include "app/open_in_browser.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace tarn {

void OpenInBrowser(const std::string& address) {
  // The desktop's own opener (xdg-open, or the shell's on Windows), not waited for; a missing
  // one is no error of ours.
  QDesktopServices::openUrl(QUrl(QString::fromUtf8(address)));
}

}  // namespace tarn
