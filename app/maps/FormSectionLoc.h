#pragma once
// TFSectionLoc, "Положение": a section line drawn on a plane, its start set by
// a left click and its end by a right click; no command of the program opens it yet.
#include <QDialog>

#include <cstdint>
#include <functional>

class QFrame;
class QToolButton;

class TFSectionLoc : public QDialog {
  Q_OBJECT

public:
  using TChange = std::function<void(QObject* sender)>;

  explicit TFSectionLoc(QWidget* owner = nullptr);

  void SetOnChange(TChange change) { onChange = std::move(change); }
  // In plane coordinates.
  QPoint Start() const { return start; }
  QPoint End() const { return end; }

  // A click on the plane at a point in its coordinates.
  void PlaneMouseDown(Qt::MouseButton button, const QPoint& at);

  QToolButton* Bok = nullptr;
  QFrame* Plane = nullptr;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  TChange onChange;
  QPoint start;
  QPoint end;
};

extern TFSectionLoc* FSectionLoc;
