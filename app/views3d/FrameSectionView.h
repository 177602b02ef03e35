#pragma once
// TFmSectionView: one plane section of a three-dimensional array as a flat
// picture, drawn by the drawing library into the frame's off-screen bitmap.
// The window that holds it hands in the plane (SetSectionPlane), the box's
// half extents (SetAxesScale) and the array (SetData for a regular volume,
// SetDataIrregular for a layered irregular one), then calls Redraw. The values
// and the mesh are not copied: the window hands them in again on every refresh.
//
// The user zooms (0.2 .. 5) and drags the picture, changes the label step and
// copies the picture through the frame's popup menu.
#include "MeliscoTypes.h"

#include <QImage>
#include <QWidget>

#include <vector>

class QAction;
class QMenu;
class TTagStream;

class TFmSectionView : public QWidget {
  Q_OBJECT
public:
  static constexpr double MinZoom = 0.2;
  static constexpr double MaxZoom = 5;
  // Pixels per unit of the box at zoom 1.
  static constexpr double PixelsPerUnit = 140;

  explicit TFmSectionView(QWidget* parent = nullptr);
  ~TFmSectionView() override;

  void SetData(int nx, int ny, int nz, int signX, int signY, int signZ, const double* values,
               const TArrayDrawSettings& settings);
  void SetDataIrregular(const double* values, int perElement, TIrregularMesh* mesh, int signX, int signY, int signZ,
                        const TArrayDrawSettings& settings);
  // The frame lets go of the values and the mesh (their array is going away).
  void FreeData();
  // Half extents that are not finite and positive on every axis are refused.
  void SetAxesScale(double sx, double sy, double sz);
  // A plane whose matrix is not finite and invertible, or whose shift is not
  // finite, is refused.
  void SetSectionPlane(const double matrix[9], double shift);
  // Zooms outside 0.2 .. 5 (and NaN) are ignored.
  void SetZoom(double zoom);
  void Redraw();

  virtual void CopyToClipboard();
  // False when the file could not be written.
  virtual bool SaveBitmap(const QString& fileName);
  virtual void Save(TTagStream* stream) const;
  virtual void Load(TTagStream* stream);

  double Zoom() const { return FZoom; }
  int OffsetX() const { return FOffsetX; }
  int OffsetY() const { return FOffsetY; }
  int LabelSpacing() const { return FSettings.labelSpacing; }
  const double* SectionMatrix() const { return FMatrix; }
  double SectionDepth() const { return FDepth; }
  void GetAxesScale(double* sx, double* sy, double* sz) const;
  const TMemBitmap& Picture() const { return FBitmap; }
  // The picture as a top-down image; null before the first redraw.
  QImage PictureImage() const;
  QMenu* PopupMenu() const { return PMOptions; }

  QMenu* PMOptions = nullptr;
  QMenu* PMIScale = nullptr;
  QAction* PMIZoom200 = nullptr;
  QAction* PMIZoom50 = nullptr;
  QAction* PMIZoomManual = nullptr;
  QAction* PMILabelDist = nullptr;
  QAction* PMICopy = nullptr;

public slots:
  void PMIZoom200Click() { SetZoom(FZoom * 2); }
  void PMIZoom50Click() { SetZoom(FZoom * 0.5); }
  void PMIZoomManualClick();
  void PMILabelDistClick();
  void PMICopyClick() { CopyToClipboard(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void BuildMenu();
  void RedrawSection();
  void CopySettings(const TArrayDrawSettings& settings);
  void SetOffset(double x, double y);

  TMemBitmap FBitmap{};
  TWindowSurface FSurface{};
  double FMatrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  double FDepth = 0;
  double FHalf[3] = {1, 1, 1};
  int FOffsetX = 0;
  int FOffsetY = 0;
  double FZoom = 1;
  int FLastMouseX = 0;
  int FLastMouseY = 0;
  int FNx = 0, FNy = 0, FNz = 0;
  int FSigns[3] = {0, 0, 0};
  const double* FValues = nullptr;
  int FPerElement = 0;
  TIrregularMesh* FMesh = nullptr;
  TArrayDrawSettings FSettings{};
  std::vector<TContourLevel> FLevels;
};
