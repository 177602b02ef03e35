#pragma once
// Type codes of the map objects: written first in every object's record, they
// choose the factory that recreates the object when a project is read.
#include <cstdint>

enum ObjectTypeCode : std::int32_t {
  ObjectTypePoint = 100,
  ObjectTypeReper = 101,
  ObjectTypeMark = 103,
  ObjectTypeRect = 400,
  ObjectTypeArray = 402,
  ObjectTypeArray3D = 403,
  ObjectTypeModelRect = 405,
  ObjectTypeArrayI = 406,
  ObjectTypeArrayI3D = 407,
  ObjectTypeMap = 411,
  ObjectTypeMeshSource = 700,
};

// Shape kinds: how the browser and the editors treat an object's geometry.
enum ObjectShapeKind : std::int32_t {
  ShapeNone = 0,
  ShapePoint = 1,
  ShapeRect = 4,
};
