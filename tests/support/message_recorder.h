// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include "app/message_boxes.h"

namespace tarn::testing {

// Records message boxes instead of showing them; installed for its lifetime.
class MessageRecorder : public MessageBoxes {
 public:
  MessageRecorder() { SetMessages(this); }
  ~MessageRecorder() override { SetMessages(nullptr); }

  void Show(QWidget*, const QString& text) override { plain << text; }
  void ShowError(QWidget*, const QString& text) override { errors << text; }

  QStringList plain;
  QStringList errors;
};

}  // namespace tarn::testing
