// SPDX-License-Identifier: MIT
#include "widgets/t_edit.h"

#include <QMouseEvent>

namespace tarn {

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

void TEdit::mousePressEvent(QMouseEvent* event) {
  clicks_.Press(event);
  QLineEdit::mousePressEvent(event);
}

void TEdit::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (clicks_.Release(event, rect()) && OnClick) OnClick(this);
}

}  // namespace tarn
