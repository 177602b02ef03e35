#pragma once
// TCubeView: everything the cube frame knows and does without a window or
// OpenGL: the array as value codes, the axes and their proportions, the global
// rotation, up to nine sections, the tree segments and bodies, the settings
// and their image, the motion steps of the mouse, wheel and keys, and the
// picking of segments and section points. TFmCubuiqe (FrameCubuiqe.h) is this
// class plus its window, its OpenGL picture and its popup menu.
//
// Coordinates: cube coordinates put the array's box at [-1, 1]^3 (x along the
// first index, y the second, z the third). Scaled cube coordinates multiply
// them per axis by the axis scales (each in (0, 1]). View coordinates turn the
// scaled ones by Rotation; the viewer looks along +y, z is up. A section is the
// plane n . p = shift with n = (section matrix) . (0, 0, 1) in scaled cube
// coordinates.
//
// The fields are public so that the view windows, the dialogs and the tests can
// read them; change them through the operations, which keep the derived fields
// (normals, view coordinates, stale textures) in step.
#include "views3d/CubeGeometry.h"
#include "views3d/CubeValueCodes.h"
#include "views3d/CubeViewRecords.h"

#include "MeliscoTypes.h"

#include <array>
#include <cstdint>
#include <vector>

class TStream;

inline constexpr int CubeSectionSlots = 10;
inline constexpr int CubeMaxSections = 9;
inline constexpr int32_t CubeReadyMarker = 718281828;
inline constexpr int CubeResampleCount = 600;

// Keys the frame passes on to KeyDown.
enum class TCubeKey { Left, Right, Up, Down, Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7,
                      Digit8, Digit9, A, Q, S, W, X, Z, Other };

class TCubeView {
public:
  TCubeView();
  virtual ~TCubeView() = default;
  TCubeView(const TCubeView&) = delete;
  TCubeView& operator=(const TCubeView&) = delete;

  // ---- Hooks that the frame fills in ----
  // Draws the picture again after a change (nothing here).
  virtual void Redraw() {}
  // Drops the OpenGL context, so that the next redraw makes one with the current flags.
  virtual void DoneGL() {}
  // Starts and stops the repeating motion step of the continuous mode.
  virtual void SetMotionTimer(bool /*running*/) {}
  // The section positions changed: the "По сечению" menu is rebuilt.
  virtual void SectionPositionsChanged() {}
  // The line under the last mouse press, in view coordinates. Here the
  // orthographic line of the software picture; the OpenGL frame unprojects.
  virtual void PickRay(double origin[3], double direction[3]) const;

  // ---- Data ----
  // Takes a new data set. values: regular arrays nx * ny * nz in storage order (x
  // fastest), irregular arrays (nx = ny = nz = 0) one value per mesh node; the
  // caller keeps them alive. An extent below 0 marks an axis stored backwards.
  // With autoRange the range found is written to rangeMin / rangeMax, else they
  // are read (null range pointers: the range is found and kept to the view).
  // settings is copied with its own copy of the levels (may be null).
  // Does not redraw.
  void SetData(const double* values, int32_t valueParam, int32_t nx, int32_t ny, int32_t nz, double extentX,
               double extentY, double extentZ, bool autoRange, double* rangeMin, double* rangeMax,
               const TArrayDrawSettings* settings, const TCubeMeshSource* meshSource);
  void FreeData();
  // Replace the tree segments / bodies (count 0 clears them). Does not redraw.
  void SetSegments(const CubeViewSegment* records, int32_t count);
  void SetBodies(const CubeViewBody* records, int32_t count);
  void SetSectionPositions(const CubeSectionPosition* records, int32_t count);

  // ---- Axes ----
  void SetAxesScale(double sx, double sy, double sz);
  void GetAxesScale(double* sx, double* sy, double* sz) const;
  // factor 1: real proportions of the half extents, 0: a cube.
  void ApplyAxesProportion(double factor);
  void SetAxesProportion(double factor);
  void UpdateGeometry();

  // ---- Sections ----
  void SetSectionCount(int32_t n);
  int32_t GetSectionCount() const { return SectionCount; }
  void SetCurrentSection(int32_t i);
  void SetHorizon(int32_t h);
  int32_t HorizonCount() const;
  void GetSectionPlane(double matrix[9], double* shift) const;
  void RotateSections(int32_t section, const double r[9], int how);
  void RotateSectionsX(int32_t section, double a, int how);
  void RotateSectionsZ(int32_t section, double a, int how);
  void SetSectionAngles(int32_t section, double theta, double phi);
  void GetSectionAngles(int32_t section, double* theta, double* phi, double* shift) const;
  void SetSectionOrientation(int32_t section, double theta, double phi, double shift);
  // Moves the current section to a predefined position (index into the positions).
  void ApplySectionPosition(int32_t index);
  void SetSectionColour(int32_t section, COLORREF colour);
  // Percent of transparency: 0 opaque .. 100 clear (clamped).
  void SetSectionTransparency(int32_t section, double percent);
  double GetSectionTransparency(int32_t section) const;
  void MarkSectionsStale();

  // ---- Rotation ----
  void RotateX(double a);
  void RotateZ(double a);
  void SetRotationAngles(double theta, double phi);
  void GetRotationAngles(double* theta, double* phi) const;

  // ---- Settings ----
  void SetMotionMode(int32_t m) { MotionMode = m; }
  int32_t GetMotionMode() const { return MotionMode; }
  void SetMouseAction(int32_t a) { MouseAction = a; }
  int32_t GetMouseAction() const { return MouseAction; }
  void SetContinuous(bool on) { Continuous = on; }
  bool GetContinuous() const { return Continuous; }
  void SetColourScale(int32_t scale);
  int32_t GetColourScale() const { return ColourScale; }
  void SetColours(COLORREF min, COLORREF max);
  void GetColours(COLORREF* min, COLORREF* max) const;
  void SetFillMode(int32_t mode);
  int32_t GetFillMode() const { return FillMode; }
  void SetFillOpacity(double a);
  double GetFillOpacity() const { return FillOpacity / 65536.0; }
  void SetInterpolation(int32_t i);
  int32_t GetInterpolation() const { return Interpolation; }
  void SetZoom(double z);
  void SetCameraDistance(double r);

  // ---- Settings image ----
  void Save(TStream* stream) const;
  void Load(TStream* stream);

  // ---- Motion ----
  void FrameMouseDown(int x, int y);
  // leftButton: the left button is held.
  void FrameMouseMove(bool leftButton, int x, int y);
  void FrameMouseUp();
  void MotionTimerStep();
  void FrameMouseWheel(int delta);
  void WheelStep(double d);
  void KeyDown(TCubeKey key, bool shiftHeld);
  void Motion(double dx, double dy);
  void Rotate(double dx, double dy);
  void MoveOrZoom(double dx, double dy);
  // The picture's scale for a bitmap of this size (done before every frame).
  void UpdateViewScale(int width, int height);

  // ---- Picking (from the last mouse press) ----
  int32_t PickSegment() const;
  std::vector<std::array<double, 3>> PickSectionPoints() const;

  // ---- Fields ----
  int32_t Marker = 0;

  std::vector<int32_t> ValueCodes;
  const double* Values = nullptr;
  int32_t ValueParam = 0;
  double ValueMin = 0, ValueMax = 0;
  int32_t Nx = 0, Ny = 0, Nz = 0;
  std::vector<TCubeResample> ResampleX, ResampleY, ResampleZ;
  int32_t ResampleCountX = CubeResampleCount, ResampleCountY = CubeResampleCount,
          ResampleCountZ = CubeResampleCount;
  int32_t AxisDirX = 1, AxisDirY = 1, AxisDirZ = 1;
  const TCubeMeshSource* MeshSource = nullptr;
  TArrayDrawSettings DrawSettings{};
  std::vector<TContourLevel> DrawLevels; // DrawSettings.levels points here

  int32_t LastMouseX = 0, LastMouseY = 0, CurMouseX = 0, CurMouseY = 0;
  int32_t MotionMode = 0;
  bool MousePressed = false;

  double Zoom = 1.0;
  double PixelSize = 1;
  double ViewScale = 1;
  double NegViewScale = -1;
  int32_t CentreX = 0, CentreY = 0;
  double ShiftX = 0, ShiftY = 0;
  double HalfExtentX = 1, HalfExtentY = 1, HalfExtentZ = 1;
  double AxisScaleX = 1, AxisScaleY = 1, AxisScaleZ = 1;
  double ProportionFactor = 0;
  double Rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

  double SectionPlanesLocal[CubeSectionSlots][4] = {};
  double SectionPlanes[CubeSectionSlots][4] = {};
  double SectionMatrices[CubeSectionSlots][9] = {};
  int32_t SectionOpacity[CubeSectionSlots] = {};
  COLORREF SectionColour[CubeSectionSlots] = {};
  bool SectionStale[CubeSectionSlots] = {};
  int32_t SectionCount = 1;
  int32_t CurrentSection = 0;
  std::vector<CubeSectionPosition> SectionPositions;

  double BoxCornersView[8][3] = {};
  double BoxCornersScaled[8][3] = {};

  // Segments as handed in (cube coordinates, 6 per segment), the same points
  // multiplied by the axis scales, and turned into view coordinates. Picking
  // and both renderers read the scaled and view points, so they agree whatever
  // the renderer.
  std::vector<double> SegmentsCube;
  std::vector<double> SegmentsScaled;
  std::vector<double> SegmentsView;
  std::vector<CubeSegmentStyle> SegmentStyles;
  int32_t SegmentCount = 0;
  std::vector<double> BodyCoords;       // cube coordinates, 6 per body
  std::vector<double> BodyCoordsScaled; // times the axis scales
  std::vector<CubeBodyStyle> BodyStyles;
  int32_t BodyCount = 0;

  bool UseGL = true;
  bool GLIntoBitmap = true;
  double FovY = 0, NearPlane = 0, FarPlane = 0;
  double CameraDistance = 5;
  double CameraUp[3] = {0, 0, 1};
  COLORREF ColourMin = 0xFF0000, ColourMax = 0x0000FF;
  int32_t ColourScale = 1;
  int32_t FillMode = 1;
  bool DiscreteFill = false;
  int32_t Interpolation = 0;
  int32_t FillOpacity = 0x8000;
  int32_t MouseAction = 0;
  bool Continuous = false;
  bool OutlinePieces = true;
  std::vector<CubeIsoLevel> IsoLevels;
  bool ShowIsosurfaces = false;
  uint32_t DataGeneration = 0; // counts SetData calls: the isosurfaces follow the data
  int32_t GridMode = 4;
  int32_t Horizon = -1;
  bool Lighting = true;
  int32_t TwoSidedLight = 1;
  double AmbientLight = 0.3, DiffuseLight = 1.0, SpecularLight = 0.8, Shininess = 35;
  double LightPosition[4] = {1, -1, 5, 1};
  bool LightMovesWithObject = true;
  bool Smoothing = false;

protected:
  bool SectionInUse(int32_t section) const { return section >= 0 && section < SectionCount; }
  void UpdateSectionNormals(int32_t section);
  void UpdateScaledPoints();
  template <class Fn> void ForSections(int32_t section, Fn fn);
};
