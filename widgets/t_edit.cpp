// SPDX-License-Identifier: MIT
#include "widgets/t_edit.h"

#include <QMouseEvent>

namespace tarn {

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

void TEdit::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) click_armed_ = true;
  QLineEdit::mousePressEvent(event);
}

void TEdit::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const bool click = click_armed_ && rect().contains(event->position().toPoint());
  click_armed_ = false;
  if (click && OnClick) OnClick(this);
}

}  // namespace tarn
