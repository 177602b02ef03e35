#include "gis/BitGIS.h"

#include "gis/ObjectTypeCode.h"

TBitGIS::TBitGIS(TFModel* model) : TGIS(model)
{
  SetCoordKind(CoordRectangular);
  RegisterObjectType(ObjectTypeArray3D, 4, "Массив 3D", "Массивы 3D", 0xFFDCFF, 0, NewArray3DObject);
}
