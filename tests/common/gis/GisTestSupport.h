#pragma once
// Helpers of the GIS tests: a GIS that knows every map object type, a stand-in
// array, a small regular array, object records as stored, and an off-screen
// bitmap with pixel access.
#include <cstring>
#include <memory>
#include <vector>

#include "data/Stream.h"
#include "data/TagStream.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "gis/GMap.h"
#include "gis/GMark.h"
#include "gis/GModelRect.h"
#include "gis/GRect.h"
#include "gis/GReper.h"
#include "melisco.h"

namespace gistest {

// An area object that counts as an array, for the GIS's array queries.
class TTestArray : public TGRect {
public:
  TTestArray(TGIS* owner, int32_t typeCode = ObjectTypeArray) : TGRect(owner) { SetTypeCode(typeCode); }
  bool IsArray() const override { return true; }
};

template <class T>
std::unique_ptr<TGObj> Make(TGIS* gis)
{
  return std::make_unique<T>(gis);
}

inline std::unique_ptr<TGObj> MakeArray2D(TGIS* gis)
{
  return std::make_unique<TTestArray>(gis, ObjectTypeArray);
}

inline std::unique_ptr<TGObj> MakeArray3D(TGIS* gis)
{
  return std::make_unique<TTestArray>(gis, ObjectTypeArray3D);
}

// Registers the point, rectangle and map types, and the stand-in arrays.
inline void RegisterAllTypes(TGIS& gis)
{
  gis.RegisterObjectType(ObjectTypePoint, 0, "Точка", "Точки", 0x0000FF, 1, Make<TGPoint>);
  gis.RegisterObjectType(ObjectTypeReper, 1, "Репер", "Реперы", 0x00FF00, 3, Make<TGReper>);
  gis.RegisterObjectType(ObjectTypeMark, 2, "Метка", "Метки", 0xFF0000, 0, Make<TGMark>);
  gis.RegisterObjectType(ObjectTypeRect, 3, "Прямоугольник", "Прямоугольники", 0x808080, 1, Make<TGRect>);
  gis.RegisterObjectType(ObjectTypeModelRect, 5, "Область", "Области", 0x00FFFF, 0, Make<TGModelRect>);
  gis.RegisterObjectType(ObjectTypeMap, 6, "Карта", "Карты", 0xFFFF00, 0, Make<TGMap>);
  gis.RegisterObjectType(ObjectTypeArray, 7, "Массив", "Массивы", 0, 0, MakeArray2D);
  gis.RegisterObjectType(ObjectTypeArray3D, 8, "Массив 3D", "Массивы 3D", 0, 0, MakeArray3D);
}

inline std::vector<uint8_t> SaveImage(TGIS& gis)
{
  TMemoryStream stream;
  gis.SaveObjects(stream);
  return stream.Bytes();
}

inline void LoadImage(TGIS& gis, const std::vector<uint8_t>& bytes)
{
  TMemoryStream stream(bytes);
  gis.LoadObjects(stream);
}

// An array over the unit square (relative) with the given values, row 0 first.
inline std::unique_ptr<TGArray> UnitArray(TGIS* gis, int nx, int ny, const std::vector<double>& data)
{
  auto array = std::make_unique<TGArray>(gis, nx, ny, 0);
  array->SetFarCorner(1, 1);
  array->SetData(data.data());
  return array;
}

// An object's record as a project file stores it, and back.
inline std::vector<uint8_t> ImageOf(const TGObj& object)
{
  TMemoryStream stream;
  TTagStream tags(&stream, TagStreamWrite);
  object.Save(tags);
  tags.Commit();
  return stream.Bytes();
}

inline void LoadFrom(TGObj& object, const std::vector<uint8_t>& image)
{
  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  object.Load(tags);
}

// An off-screen 24- or 32-bit bitmap, white when made.
class TTestBitmap {
public:
  TTestBitmap(int width, int height, bool bottomUp = false, int bitCount = 24)
  {
    InitBitmap(&bm);
    CheckBitmapEx(width, height, bottomUp, &bm, nullptr, bitCount, BI_RGB, DIB_RGB_COLORS);
    Fill(0xFFFFFF);
  }
  ~TTestBitmap() { DeleteBitmap(&bm); }
  TTestBitmap(const TTestBitmap&) = delete;
  TTestBitmap& operator=(const TTestBitmap&) = delete;

  TMemBitmap* get() { return &bm; }
  int Width() const { return bm.width; }
  int Height() const { return bm.height; }

  // Picture row 0 is the top whatever the memory order.
  uint8_t* At(int x, int y)
  {
    const int bytes = bm.info.bmiHeader.biBitCount / 8;
    const int stride = bm.width * bytes + bm.rowPadding;
    const int row = bm.bottomUp ? bm.height - 1 - y : y;
    return static_cast<uint8_t*>(bm.bits) + row * stride + x * bytes;
  }
  COLORREF Pixel(int x, int y)
  {
    const uint8_t* p = At(x, y);
    return static_cast<COLORREF>(p[2]) | (static_cast<COLORREF>(p[1]) << 8) | (static_cast<COLORREF>(p[0]) << 16);
  }
  void SetPixel(int x, int y, COLORREF c)
  {
    uint8_t* p = At(x, y);
    p[0] = static_cast<uint8_t>(c >> 16);
    p[1] = static_cast<uint8_t>(c >> 8);
    p[2] = static_cast<uint8_t>(c);
  }
  void Fill(COLORREF c)
  {
    for (int y = 0; y < bm.height; ++y)
      for (int x = 0; x < bm.width; ++x)
        SetPixel(x, y, c);
  }
  // Bounding box of the pixels of one colour; false when there are none.
  bool BoundsOf(COLORREF c, int& left, int& top, int& right, int& bottom)
  {
    left = top = 1 << 30;
    right = bottom = -1;
    for (int y = 0; y < bm.height; ++y)
      for (int x = 0; x < bm.width; ++x)
        if (Pixel(x, y) == c) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return right >= 0;
  }

private:
  TMemBitmap bm{};
};

} // namespace gistest
