#include "gis/GMap.h"

#include <algorithm>
#include <cmath>

#include "gis/BitmapCanvas.h"
#include "gis/EditorFrames.h"

namespace {

// Far outside any bitmap, but still a valid pixel coordinate.
constexpr double kPixelLimit = 1 << 30;

int Pixel(double value)
{
  return static_cast<int>(std::trunc(std::clamp(value, -kPixelLimit, kPixelLimit)));
}

// One axis of a stretched copy, cut to the target before stretching so that a
// zoomed-in view never stretches the whole picture far beyond the bitmap: the
// source loses whole pixels, the destination the matching share. Returns false
// when nothing of the picture is left. Mirrored (negative) destinations are
// left to the copy itself.
bool ClipAxis(double& position, double& length, int& source, int& sourceLength, int limit)
{
  if (length <= 0)
    return sourceLength > 0;
  if (position < 0) {
    const double r = sourceLength / length;
    const double cut = std::trunc(-position * r);
    if (cut >= sourceLength)
      return false;
    source = static_cast<int>(cut);
    sourceLength -= source;
    position += cut / r;
    length -= cut / r;
  }
  if (position + length > limit) {
    const double r = sourceLength / length;
    const double over = std::floor((position + length - limit) * r);
    if (over >= sourceLength)
      return false;
    sourceLength -= static_cast<int>(over);
    length -= over / r;
  }
  return sourceLength > 0;
}

} // namespace

TGMap::TGMap(TGIS* owner) : TGMap(owner, 0, 0, 0, 0, nullptr) {}

TGMap::TGMap(TGIS* owner, double originX, double originY, double extentX, double extentY,
             std::unique_ptr<TBitmap> picture)
    : TGRect(owner), bitmap(std::move(picture))
{
  SetTypeCode(ObjectTypeMap);
  SetKindNames("Карта", "Карты");
  x = originX;
  y = originY;
  dx = extentX;
  dy = extentY;
}

TGMap::~TGMap() = default;

void TGMap::SetBitmap(std::unique_ptr<TBitmap> picture)
{
  metafile.reset();
  bitmap = std::move(picture);
}

void TGMap::Save(TTagStream& stream) const
{
  TGRect::Save(stream);
  stream.SetGroup(TagGroup::MapPicture);
  stream.WriteBitmap(bitmap.get());
  stream.WriteMetafile(metafile.get());
}

void TGMap::Load(TTagStream& stream)
{
  TGRect::Load(stream);
  stream.SetGroup(TagGroup::MapPicture);
  stream.ReadBitmap(bitmap);
  stream.ReadMetafile(metafile);
}

void TGMap::Draw(double x1, double y1, double x2, double y2, TMemBitmap* target)
{
  TBitmapCanvas canvas(target);
  if (!canvas.IsValid() || !bitmap || bitmap->IsEmpty())
    return;
  const int width = canvas.Width(), height = canvas.Height();
  double px = (x - x1) / (x2 - x1) * width;
  double py = (y - y1) / (y2 - y1) * height;
  double pw = dx / (x2 - x1) * width;
  double ph = dy / (y2 - y1) * height;
  int sx = 0, sy = 0;
  int sw = bitmap->Width(), sh = bitmap->Height();
  if (!ClipAxis(px, pw, sx, sw, width) || !ClipAxis(py, ph, sy, sh, height))
    return;
  canvas.StretchBlt(Pixel(px), Pixel(py), Pixel(pw), Pixel(ph), bitmap->Image(), sx, sy, sw, sh);
  // A metafile is kept and saved with the map, but this platform has no player
  // for enhanced metafiles, so only the bitmap shows.
}

TEditorFrame* TGMap::CreateEditorFrame(bool /*fromKeptValues*/, bool multiple, QWidget* owner)
{
  TEditorFrameFactory* factory = GetEditorFrameFactory();
  return factory ? factory->CreateMapFrame(*this, multiple, owner) : nullptr;
}

void TGMap::ApplyEditorFrame(TEditorFrame* frame)
{
  ApplyOwnFrame<TMapFrame>(frame, *this);
}

void TGMap::FillEditorFrame(TEditorFrame* frame, bool /*fromKeptValues*/, bool multiple)
{
  FillOwnFrame<TMapFrame>(frame, *this, multiple);
}
