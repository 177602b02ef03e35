#include "base/CaptionWidth.h"

#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// The icon and the buttons of a title bar: four squares as high as the bar.
constexpr int TitleBarSquares = 4;
constexpr int SmallestTitleBar = 24;

} // namespace

int CaptionWidth(const QWidget& window)
{
  QFont font = window.font();
  font.setBold(true);
  const int bar = std::max(SmallestTitleBar, window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window));
  return QFontMetrics(font).horizontalAdvance(window.windowTitle()) + TitleBarSquares * bar;
}

void FitWidthToCaption(QWidget& window)
{
  const QSize size = window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint();
  const int width = std::max(size.width(), CaptionWidth(window));
  if (width != window.width() || !window.testAttribute(Qt::WA_Resized))
    window.resize(width, size.height());
}
