#include "base/SizedPlacement.h"

#include <cstdio>

int ParseSizedNumbers(const QString& text, int numbers[11])
{
  QByteArray bytes = text.toLatin1();
  int n = std::sscanf(bytes.constData(), "%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i", &numbers[0], &numbers[1],
                      &numbers[2], &numbers[3], &numbers[4], &numbers[5], &numbers[6], &numbers[7], &numbers[8],
                      &numbers[9], &numbers[10]);
  return n < 0 ? 0 : n;
}

TSizedPlacement ComputeSizedPlacement(const QString& stored, const TSizedDefaults& defaults,
                                      const TSizedDesign& design)
{
  int v[11] = {};
  int n = stored.isEmpty() ? 0 : ParseSizedNumbers(stored, v);
  TSizedPlacement result;
  TWindowPlacement& p = result.placement;

  p.left = n >= 1 ? v[0] : defaults.left != TSizedDefaults::DesignPosition ? defaults.left : design.geometry.x();
  p.top = n >= 2 ? v[1] : defaults.top != TSizedDefaults::DesignPosition ? defaults.top : design.geometry.y();
  if (design.sizeable) {
    p.right = n >= 3 ? v[2] : p.left + (defaults.width >= 0 ? defaults.width : design.geometry.width());
    p.bottom = n >= 4 ? v[3] : p.top + (defaults.height >= 0 ? defaults.height : design.geometry.height());
  } else {
    p.right = p.left + design.geometry.width();
    p.bottom = p.top + design.geometry.height();
  }
  result.shown = n >= 5 ? v[4] != 0 : defaults.show != 0 && design.visible;

  const int show = defaults.show >= 0 ? defaults.show : ShowCommandOf(design.state);
  p.showCmd = n >= 6 ? v[5] : show;
  if (n >= 7)
    p.minX = v[6];
  if (n >= 8)
    p.minY = v[7];
  if (n >= 9)
    p.maxX = v[8];
  if (n >= 10)
    p.maxY = v[9];
  if (n >= 11)
    p.flags = v[10];
  return result;
}

QString SizedPlacementText(const TWindowPlacement& p, bool shown)
{
  return QString::asprintf("%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i", p.left, p.top, p.right, p.bottom, shown ? 1 : 0,
                           p.showCmd, p.minX, p.minY, p.maxX, p.maxY, p.flags);
}
