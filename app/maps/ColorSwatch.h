#pragma once
// A small rectangle in one colour that reports presses: the colour swatches of
// the array frame and the level list of the drawing dialog.
#include "MeliscoTypes.h"
#include "base/ColorRef.h"

#include <QColor>
#include <QFrame>

class TColorSwatch : public QFrame {
  Q_OBJECT

public:
  explicit TColorSwatch(QWidget* owner = nullptr);

  void SetColor(COLORREF color);
  COLORREF Color() const { return color; }

signals:
  void Pressed(TColorSwatch* swatch);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  COLORREF color = 0;
};

