// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <functional>

#include "widgets/click_tracker.h"

namespace tarn {

// A one-line edit box that reports clicks (a left press and release inside it).
class TEdit : public QLineEdit {
  Q_OBJECT

 public:
  using NotifyEvent = std::function<void(QObject* sender)>;

  explicit TEdit(QWidget* parent = nullptr);

  NotifyEvent OnClick;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  ClickTracker clicks_;
};

}  // namespace tarn
