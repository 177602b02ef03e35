#include "base/PlaceBeside.h"

#include <algorithm>

namespace {

int Clamped(int value, int low, int high)
{
  // A window larger than the screen keeps its top or left edge on it.
  return std::max(low, std::min(value, high));
}

} // namespace

QPoint PlaceBeside(const QRect& owner, const QSize& size, const QRect& screen)
{
  int x = owner.right() + 1;
  if (x + size.width() - 1 > screen.right()) {
    const int left = owner.left() - size.width();
    x = left >= screen.left() ? left : owner.right() + 1 - size.width();
  }
  x = Clamped(x, screen.left(), screen.right() + 1 - size.width());
  const int y = Clamped(owner.top(), screen.top(), screen.bottom() + 1 - size.height());
  return {x, y};
}
