#pragma once
// One registered map object type: what the browser shows for it and the factory
// that recreates its objects when a project is read.
#include <cstdint>
#include <memory>
#include <string>

#include "MeliscoTypes.h"

class TGIS;
class TGObj;

// Creates an object of the type, owned by the given GIS once it is added.
using TGObjFactory = std::unique_ptr<TGObj> (*)(TGIS* gis);

struct TGObjType {
  // The type is listed by the GIS's flagged-type queries.
  static constexpr std::int32_t FlagListed = 1;
  // Objects of the type are offered as key objects of reper-value tables.
  static constexpr std::int32_t FlagReperKey = 2;
  // Names keep at most this many characters.
  static constexpr int NameLimit = 255;

  std::int32_t code = 0;
  std::int32_t image = 0;
  std::string name;
  std::string pluralName;
  COLORREF color = 0;
  std::int32_t flags = 0;
  TGObjFactory factory = nullptr;
};
