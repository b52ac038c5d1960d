// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>

namespace tarn {

// The application object: an error that escapes any event goes to the error report, and the
// event loop goes on.
class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace tarn
