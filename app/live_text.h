// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <QMetaObject>
#include <memory>
#include <mutex>
#include <string>

namespace tarn {

// A line edit's trimmed text, readable from any thread: a copy the GUI thread keeps current,
// so a worker that reads it never waits on the window.
class LiveText {
 public:
  // On the GUI thread. The result may outlive the edit; it then keeps the last text.
  static std::shared_ptr<LiveText> Follow(QLineEdit* edit);
  ~LiveText();

  std::string Get() const;

 private:
  LiveText() = default;
  void Set(const QString& text);

  mutable std::mutex mutex_;
  std::string text_;
  QMetaObject::Connection watch_;
};

}  // namespace tarn
