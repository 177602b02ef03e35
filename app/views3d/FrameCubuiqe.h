#pragma once
// TFmCubuiqe: the cube viewer that the 3D view windows place inside themselves.
// It shows one three-dimensional array as a box in perspective with up to nine
// plane sections, the discharge tree as coloured segments and solid bodies, and
// the grid of an irregular array's mesh; it draws with OpenGL into its own
// off-screen bitmap (the default) or straight onto its window.
//
// What a view window does with it:
// - SetData (the array; an irregular array passes nx = ny = nz = 0, its node
//   values and a TCubeMeshSource over its mesh), SetSegments / SetBodies (tree
//   and bodies), SetSectionPositions (predefined sections), then Redraw(); the
//   records are copied, the values and the mesh source are not.
// - The tree view sets SetMouseAction(3) for its structure inspector.
// - Save / Load (TCubeView) store the settings image in the window's record.
// - Mouse, wheel, keys and the popup menu are handled by the frame itself. For
//   the inspector actions (MouseAction 2 and 3) the window installs
//   SetMouseHandlers and, on a press, calls PickSectionPoints (cube
//   coordinates in [-1, 1], nearest first) or PickSegment (index or -1).
// - CopyToClipboard / SaveBitmap export the picture; Picture() reads it.
// - The sections show the array drawn by the drawing library; SetSectionPainter
//   gives them other pictures.
// Every operation of TCubeView is the frame's too; the accessors marked
// "redraws" there redraw the frame.
#include "views3d/CubeGLRenderer.h"
#include "views3d/CubeMeliscoPainter.h"
#include "views3d/CubeOffscreenGL.h"
#include "views3d/CubeView.h"

#include "MeliscoTypes.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QMouseEvent;
class TCubeGLWindow;

class TFmCubuiqe : public QWidget, public TCubeView {
  Q_OBJECT
public:
  explicit TFmCubuiqe(QWidget* parent = nullptr);
  ~TFmCubuiqe() override;

  // ---- Drawing ----
  void Redraw() override;
  void DoneGL() override;
  bool HasGLContext() const;
  // The picture as the frame keeps it: a 24-bit bitmap, bottom-up while OpenGL
  // draws into it.
  const TMemBitmap& Picture() const { return Bitmap; }
  // The picture as a top-down image (the window's picture when OpenGL draws on it).
  QImage PictureImage();
  void SetSectionPainter(TCubeSectionPainter* painter) { renderer_.SetSectionPainter(painter); }
  const TCubeGLRenderer& Renderer() const { return renderer_; }

  // ---- Export: mode 0 the clipboard, 1 a BMP file; false when the file could not be written ----
  bool ExportPicture(int mode, const QString& fileName);
  void CopyToClipboard() { ExportPicture(0, QString()); }
  bool SaveBitmap(const QString& fileName) { return ExportPicture(1, fileName); }

  // ---- Drawing without OpenGL ----
  // Draws the sections and the tree with the software renderer (the box edges
  // are drawn around it); without a data set the tree and the plainly
  // coloured sections only.
  virtual void RenderSoft();

  // ---- Menu ----
  QMenu* PopupMenu() const { return PMOptions; }
  // A menu item by its name ("PMIadd", "PMIZoomIn", ...).
  QAction* MenuItem(const QString& name) const;
  void UpdatePopupState();
  void RebuildSectionsMenu();
  void RebuildHorizonsMenu();

  // Called after the frame handled a mouse event itself.
  using TMouseHandler = std::function<void(QMouseEvent* event)>;
  void SetMouseHandlers(TMouseHandler down, TMouseHandler move, TMouseHandler up);

  void PickRay(double origin[3], double direction[3]) const override;

public slots:
  void RotateCubeSecsMode();
  void RotateSecsMode();
  void RotateCubeMode();
  void ScaleMode();
  void ShiftSecMode();
  void ShiftCubeMode();
  void PMIInspectorClick();
  void ContinuousMotion();
  void AddSec();
  void DeleteSec();
  void OrientVertical();
  void OrientFrontal();
  void OrientHorizontal();
  void PMISecColorClick();
  void PMISecAlphaClick();
  void PMIisosurfshowClick();
  void PMIisosurfoptionsClick();
  void Orientation();
  void SolidMode();
  void TransMode();
  void RGBFill();
  void HSVFill();
  void HSVRFill();
  void ColorMin();
  void ColorMax();
  void AlphaValue();
  void SetIPolNone();
  void SetIPolBilinear();
  void AxesScaleReal();
  void AxesScale75();
  void AxesScale50();
  void AxesScale25();
  void AxesScaleCube();
  void Zoom200();
  void Zoom50();
  void ZoomManual();
  void PMIfillingDlgClick();
  void PMIopenGLClick();
  void PMICubeStatementClick();

protected:
  void SetMotionTimer(bool running) override;
  void SectionPositionsChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

private:
  void CheckPicture();
  void Render();
  void InitGL();
  void RenderGL();
  void DrawSoftware();
  // visiblePass: the visible edges solid, else the hidden ones dotted grey.
  void DrawBoxEdgesSoft(bool visiblePass);
  void ReportGLError(const QString& reason);
  bool DrawsOnWindow() const { return UseGL && !GLIntoBitmap; }
  void CopyWindowIntoBitmap();
  void BuildMenu();
  QAction* AddItem(QMenu* menu, const char* name, const QString& caption, void (TFmCubuiqe::*handler)() = nullptr,
                   bool checkable = false);
  QMenu* AddSubmenu(QMenu* menu, const char* name, const QString& caption);
  // A checkable item that calls choose(tag); checked when tag is the chosen one.
  void AddChoiceItem(QMenu* menu, const QString& caption, int tag, int chosen, void (TCubeView::*choose)(int32_t));
  void SetModePair(int action, int mode);
  void ChooseColour(COLORREF* colour);
  std::optional<double> AskNumber(const QString& caption, double shown);
  void GridDrawType(int mode);

  TMemBitmap Bitmap{};
  TWindowSurface surface_{};
  TCubeMeliscoPainter sectionPainter_;
  TCubeGLRenderer renderer_;
  std::unique_ptr<TCubeOffscreenGL> offscreen_;
  TCubeGLWindow* glWindow_ = nullptr;
  bool windowContext_ = false;
  QTimer Timer1;
  QMenu* PMOptions = nullptr;
  QMenu* PMIselected = nullptr;
  QMenu* PMIOrientSection = nullptr;
  QMenu* PMIgrid_horisons = nullptr;
  std::map<QString, QAction*> items_;
  std::vector<double> SegmentScratchA, SegmentScratchB;
  TMouseHandler onMouseDown_, onMouseMove_, onMouseUp_;
};
