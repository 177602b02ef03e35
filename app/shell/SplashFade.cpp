#include "shell/SplashFade.h"

#include <algorithm>
#include <cmath>

bool TSplashFade::Step()
{
  FFade += Increment;
  return FFade < End;
}

double TSplashFade::Weight() const
{
  return std::clamp(FFade, 0.0, 1.0);
}

void BlendPictures(QImage& destination, const QImage& source, double weight)
{
  const int rows = std::min(destination.height(), source.height());
  const int bytes = std::min(destination.width(), source.width()) * 3;
  for (int y = 0; y < rows; ++y) {
    uchar* d = destination.scanLine(y);
    const uchar* s = source.constScanLine(y);
    for (int i = 0; i < bytes; ++i)
      d[i] = static_cast<uchar>(std::lround(d[i] * (1.0 - weight) + s[i] * weight));
  }
}
