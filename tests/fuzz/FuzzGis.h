#pragma once
// The GIS of the fuzz targets with every object type the program registers.
#include <memory>

#include "gis/GArray.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI.h"
#include "gis/GArrayI3D.h"
#include "gis/GIS.h"
#include "gis/GMap.h"
#include "gis/GMark.h"
#include "gis/GModelRect.h"
#include "gis/GPoint.h"
#include "gis/GRect.h"
#include "gis/GReper.h"

namespace fuzz {

template <class T>
std::unique_ptr<TGObj> Make(TGIS* gis)
{
  return std::make_unique<T>(gis);
}

inline void RegisterEveryType(TGIS& gis)
{
  gis.RegisterObjectType(ObjectTypePoint, 0, "Точка", "Точки", 0x0000FF, 1, Make<TGPoint>);
  gis.RegisterObjectType(ObjectTypeReper, 1, "Репер", "Реперы", 0x00FF00, 3, Make<TGReper>);
  gis.RegisterObjectType(ObjectTypeMark, 2, "Метка", "Метки", 0xFF0000, 0, Make<TGMark>);
  gis.RegisterObjectType(ObjectTypeRect, 3, "Прямоугольник", "Прямоугольники", 0x808080, 1, Make<TGRect>);
  gis.RegisterObjectType(ObjectTypeModelRect, 5, "Область", "Области", 0x00FFFF, 0, Make<TGModelRect>);
  gis.RegisterObjectType(ObjectTypeMap, 6, "Карта", "Карты", 0xFFFF00, 0, Make<TGMap>);
  gis.RegisterObjectType(ObjectTypeArray, 7, "Массив", "Массивы", 0, 0, Make<TGArray>);
  gis.RegisterObjectType(ObjectTypeArray3D, 8, "Массив 3D", "Массивы 3D", 0, 0, Make<TGArray3D>);
  gis.RegisterObjectType(ObjectTypeArrayI, 9, "Массив", "Массивы", 0, 0, Make<TGArrayI>);
  gis.RegisterObjectType(ObjectTypeArrayI3D, 10, "Массив 3D", "Массивы 3D", 0, 0, Make<TGArrayI3D>);
}

} // namespace fuzz
