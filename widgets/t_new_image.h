// SPDX-License-Identifier: MIT
#pragma once

#include "widgets/t_image.h"

namespace tarn {

// An image control that also reports the pointer coming onto it and leaving it, and shows the
// hand cursor while the pointer is over it.
class TNewImage : public TImage {
  Q_OBJECT

 public:
  explicit TNewImage(QWidget* parent = nullptr);

  NotifyEvent OnMouseEnter;
  NotifyEvent OnMouseLeave;

  void HandleMouseEnterMessage();
  void HandleMouseLeaveMessage();

 protected:
  virtual void MouseEnter();
  virtual void MouseLeave();

  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
};

}  // namespace tarn
