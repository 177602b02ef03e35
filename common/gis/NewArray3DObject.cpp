#include "gis/BitGIS.h"
#include "gis/GArray3D.h"

std::unique_ptr<TGObj> NewArray3DObject(TGIS* gis)
{
  return std::make_unique<TGArray3D>(gis);
}
