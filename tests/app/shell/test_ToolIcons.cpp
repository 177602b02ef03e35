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

} // namespace
