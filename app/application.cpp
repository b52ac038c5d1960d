// SPDX-License-Identifier: MIT
#include "app/application.h"

#include "app/message_boxes.h"
#include "widgets/artwork.h"

namespace tarn {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The name only: a display name would be added to every window title.
  setApplicationName(QString::fromUtf8(kAppTitle));
  // The desktop finds the installed menu entry, and so the icon, for the window by this name.
  setDesktopFileName(QStringLiteral(TARN_APP_ID));
  setWindowIcon(AppIcon());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportError(error);
    return true;
  }
}

}  // namespace tarn
