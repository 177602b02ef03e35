#include "base/PlaceBeside.h"

#include <algorithm>

QPoint KeptOnScreen(const QPoint& topLeft, const QSize& size, const QRect& screen)
{
  const auto clamped = [](int value, int low, int high) { return std::max(low, std::min(value, high)); };
  return {clamped(topLeft.x(), screen.left(), screen.right() + 1 - size.width()),
          clamped(topLeft.y(), screen.top(), screen.bottom() + 1 - size.height())};
}

QPoint PlaceBeside(const QRect& owner, const QSize& size, const QRect& screen)
{
  int x = owner.right() + 1;
  if (x + size.width() - 1 > screen.right()) {
    const int left = owner.left() - size.width();
    x = left >= screen.left() ? left : owner.right() + 1 - size.width();
  }
  return KeptOnScreen({x, owner.top()}, size, screen);
}
