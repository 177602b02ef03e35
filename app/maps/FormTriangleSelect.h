#pragma once
// TFTriangleSelect: the mesh drawn with zoom and pan, where a click picks the
// plan triangle under the pointer.
#include "base/FormSized.h"

#include <QImage>
#include <QPoint>

class QPushButton;
class QSpinBox;
class TGMeshSource;

class TFTriangleSelect : public TFSized {
  Q_OBJECT

public:
  explicit TFTriangleSelect(QWidget* owner = nullptr);

  // The mesh region shown over the image: x1, y1 at the top-left pixel.
  struct TWindow {
    double x1, y1, x2, y2;
  };
  TWindow VisibleWindow() const;

  // Takes the mesh source's bounds; called when the window is shown.
  void FormActivate();
  void Redraw();
  int ShowModal();

  TGMeshSource* Source = nullptr;
  int Selected = -1;
  QSpinBox* SpinEdit = nullptr; // follows a click when set
  double Zoom = 1.0;
  double PanX = 0;
  double PanY = 0;

  QWidget* Image = nullptr;
  QPushButton* Bzoomin = nullptr;
  QPushButton* Bzoomout = nullptr;
  QPushButton* Bleft = nullptr;
  QPushButton* Bright = nullptr;
  QPushButton* Bup = nullptr;
  QPushButton* Bdn = nullptr;
  QImage Picture;

public slots:
  void BzoominClick();
  void BzoomoutClick();
  void BleftClick() { Pan(-Zoom / 2, 0); }
  void BrightClick() { Pan(Zoom / 2, 0); }
  void BupClick() { Pan(0, -Zoom / 2); }
  void BdnClick() { Pan(0, Zoom / 2); }

  void ImageMouseDown(QPoint at);
  void ImageMouseMove(QPoint at);
  void ImageMouseUp(QPoint at);

private:
  void Pan(double dx, double dy);

  double x1 = 0, y1 = 0, x2 = 1000, y2 = 1000;
  QPoint downAt;
  double downPanX = 0, downPanY = 0;
  bool dragging = false;
};

// The window of the run, created when first asked for.
TFTriangleSelect* TriangleSelectForm();
void DestroyTriangleSelect();
