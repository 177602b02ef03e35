#pragma once
// The splash window's picture fade: a position that grows by 0.04 per step from
// -1. The blend weight is the position held to 0 … 1, so the second picture
// stands alone for 25 steps, cross-fades into the first over the next 25, and
// the fade ends at the step that takes the position to 3.4 (the 110th).

#include <QImage>

class TSplashFade {
public:
  static constexpr double Start = -1.0;
  static constexpr double Increment = 0.04;
  static constexpr double End = 3.4;

  void Reset() { FFade = Start; }
  // Advances the position; false when the fade has ended.
  bool Step();
  double Position() const { return FFade; }
  double Weight() const;

private:
  double FFade = 0;
};

// Both pictures 24-bit of one size (rows padded to 4 bytes): every colour byte
// of the destination becomes round(destination × (1 − w) + source × w).
void BlendPictures(QImage& destination, const QImage& source, double weight);
