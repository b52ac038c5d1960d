// SPDX-License-Identifier: MIT
#include "app/open_in_browser.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tarn {

void OpenInBrowser(const std::string& address) {
  // Detached: the browser is not waited for, and a missing opener is no error of ours.
  QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{QString::fromUtf8(address)});
}

}  // namespace tarn
