// SPDX-License-Identifier: MIT
#include "widgets/t_label.h"

#include <QMouseEvent>

namespace tarn {

TLabel::TLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setMouseTracking(true);  // moves are reported without a button held
}

void TLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) click_armed_ = true;
  QLabel::mousePressEvent(event);
}

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const bool click = click_armed_ && rect().contains(event->position().toPoint());
    click_armed_ = false;
    if (click && OnClick) OnClick(this);
  }
  QLabel::mouseReleaseEvent(event);
}

void TLabel::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(this);
  QLabel::mouseMoveEvent(event);
}

void TLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (OnMouseLeave) OnMouseLeave(this);
}

}  // namespace tarn
