// The drawn tool-bar icons: the two zoom buttons differ by the upright of the "+".
#include "shell/ToolIcons.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

QImage Picture(const QIcon& icon)
{
  return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ToolIcons, ZoomInHasTheUprightBarOfItsPlusAndZoomOutNot)
{
  if (QIcon::hasThemeIcon("zoom-in"))
    GTEST_SKIP() << "the desktop theme draws these icons";
  const QImage in = Picture(ZoomToolIcon(true));
  const QImage out = Picture(ZoomToolIcon(false));
  ASSERT_FALSE(in.isNull());
  // Above the minus bar, on the plus' upright.
  EXPECT_NE(in.pixel(6, 4), out.pixel(6, 4));
  // The minus bar is in both.
  EXPECT_EQ(in.pixel(4, 6), out.pixel(4, 6));
  EXPECT_NE(out.pixel(4, 6), out.pixel(4, 4));
}

// The mean opacity of a state's picture.
double Opacity(const QIcon& icon, QIcon::Mode mode)
{
  const QImage image = icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
  double sum = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      sum += qAlpha(image.pixel(x, y));
  return sum / (image.width() * image.height());
}

TEST(ToolIcons, DisabledButtonsArePlainlyFainter)
{
  QPixmap solid(16, 16);
  solid.fill(QColor(0x00, 0x80, 0x00));
  const QIcon icon = WithFaintDisabledState(QIcon(solid));
  EXPECT_LT(Opacity(icon, QIcon::Disabled), Opacity(icon, QIcon::Normal) / 2);
  const QImage faint = icon.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
  EXPECT_EQ(qRed(faint.pixel(8, 8)), qGreen(faint.pixel(8, 8))) << "grey";
}

} // namespace
