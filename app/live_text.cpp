// SPDX-License-Identifier: MIT
#include "app/live_text.h"

#include "base/text.h"

namespace tarn {

std::shared_ptr<LiveText> LiveText::Follow(QLineEdit* edit) {
  std::shared_ptr<LiveText> live(new LiveText);
  live->Set(edit->text());
  std::weak_ptr<LiveText> weak = live;
  live->watch_ = QObject::connect(edit, &QLineEdit::textChanged, edit, [weak](const QString& text) {
    if (const auto alive = weak.lock()) alive->Set(text);
  });
  return live;
}

LiveText::~LiveText() { QObject::disconnect(watch_); }

std::string LiveText::Get() const {
  std::lock_guard lock(mutex_);
  return text_;
}

void LiveText::Set(const QString& text) {
  std::string trimmed(Trim(text.toStdString()));
  std::lock_guard lock(mutex_);
  text_ = std::move(trimmed);
}

}  // namespace tarn
