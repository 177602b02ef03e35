#pragma once
// A window's placement in the layout the project file and the settings store:
// eleven int32 values, the first being the record's length (44).

#include <QRect>

#include <cstdint>
#include <vector>

class QWidget;

enum TShowCommand : int32_t {
  ShowHide = 0,
  ShowNormal = 1,
  ShowMinimized = 2,
  ShowMaximized = 3,
};

struct TWindowPlacement {
  static constexpr int32_t Size = 44;

  int32_t length = Size;
  int32_t flags = 0;
  int32_t showCmd = ShowNormal;
  int32_t minX = -1;
  int32_t minY = -1;
  int32_t maxX = -1;
  int32_t maxY = -1;
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  QRect NormalRect() const { return QRect(left, top, right - left, bottom - top); }
  void SetNormalRect(const QRect& r);

  // 44 bytes, little-endian, in the field order above.
  std::vector<uint8_t> ToBytes() const;
  // False (and nothing changed) when fewer than 44 bytes are given.
  bool FromBytes(const std::vector<uint8_t>& bytes);

  bool operator==(const TWindowPlacement&) const = default;
};

// The show command that gives a window the state.
int32_t ShowCommandOf(Qt::WindowStates state);

// The widget that is placed for a view: its MDI sub-window when it has one.
QWidget* PlacedWidget(QWidget* widget);
// Starts remembering the normal rectangle of the widget's window (its MDI
// sub-window), so that a later placement of a maximised window still knows it.
void TrackWindowPlacement(QWidget* widget);
// The placement of the widget's window (its MDI sub-window, or itself), with the
// normal rectangle it returns to from the minimised or maximised state.
TWindowPlacement GetWindowPlacement(QWidget* widget);
// Places the window at the normal rectangle and applies the show command.
void SetWindowPlacement(QWidget* widget, const TWindowPlacement& placement);
