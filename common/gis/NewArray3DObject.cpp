#include "gis/BitGIS.h"
#include "gis/GObj.h"

// Until the three-dimensional array class is part of this library, images of
// type 403 cannot be recreated and are dropped on load like any unknown type.
std::unique_ptr<TGObj> NewArray3DObject(TGIS* /*gis*/)
{
  return nullptr;
}
