// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>

#include "widgets/click_tracker.h"

namespace tarn {

// An image control: paints its picture unscaled from the top left corner, or stretched to its
// size, and reports clicks, presses, releases and moves to handlers set by the window.
class TImage : public QWidget {
  Q_OBJECT

 public:
  using NotifyEvent = std::function<void(QObject* sender)>;
  using MouseEvent = std::function<void(QObject* sender, Qt::MouseButton button)>;

  explicit TImage(QWidget* parent = nullptr);

  const QPixmap& Picture() const { return picture_; }
  void SetPicture(const QPixmap& picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

  NotifyEvent OnClick;
  MouseEvent OnMouseDown;
  MouseEvent OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Press(QMouseEvent* event, bool can_click);

  QPixmap picture_;
  bool stretch_ = false;
  ClickTracker clicks_;
};

}  // namespace tarn
