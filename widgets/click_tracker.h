// SPDX-License-Identifier: MIT
#pragma once

#include <QMouseEvent>
#include <QRect>

namespace tarn {

// Tells clicks apart from presses: a left press, then a left release with the pointer still
// over the control. A release elsewhere (the press captured the mouse) is no click.
class ClickTracker {
 public:
  void Press(const QMouseEvent* event, bool can_click = true) {
    if (event->button() == Qt::LeftButton) armed_ = can_click;
  }

  // True when this release completes a click.
  bool Release(const QMouseEvent* event, const QRect& control) {
    if (event->button() != Qt::LeftButton) return false;
    const bool click = armed_ && control.contains(event->position().toPoint());
    armed_ = false;
    return click;
  }

 private:
  bool armed_ = false;
};

}  // namespace tarn
