#include "gis/GIS.h"

#include "data/FiniteValue.h"

#include <algorithm>
#include <cmath>

#include "data/Cp1251.h"
#include "data/Stream.h"
#include "data/TagStream.h"
#include "data/TextConversion.h"
#include "gis/GModelRect.h"
#include "gis/GObj.h"

namespace {

// Header record ids of group 1201.
enum HeaderId : int32_t {
  HeaderX0 = 0,
  HeaderY0 = 1,
  HeaderX1 = 2,
  HeaderY1 = 3,
  HeaderGeoreferenced = 4,
  HeaderObjectCount = 5,
  HeaderUnits = 6,
  HeaderExtentFromModelArea = 7,
  HeaderZ0 = 8,
  HeaderZ1 = 9,
};

// Fitting arrays to a typed area goes through world -> relative -> world, which
// may leave a bound a few ulps outside; this much of the rectangle's size (or of
// its distance from the origin, whichever is larger) still counts as inside.
constexpr double kOutsideTolerance = 1e-9;

const char* const kModelAreaName = "Область моделирования";

// The first characters of a UTF-8 text (registry names keep at most 255).
std::string FirstCharacters(const std::string& text, int limit)
{
  size_t pos = 0;
  for (int n = 0; n < limit && pos < text.size(); ++n)
    DecodeUtf8(text, pos);
  return text.substr(0, pos);
}

double ToRelative(double world, double origin, double unitPoint)
{
  const double scale = unitPoint - origin;
  // A degenerate transform has no inverse; everything lands on the origin.
  return scale != 0 ? (world - origin) / scale : 0.0;
}

double Tolerance(double a, double b)
{
  return kOutsideTolerance * std::max({std::fabs(b - a), std::fabs(a), std::fabs(b)});
}

} // namespace

TGIS::TGIS(TFModel* window) : model(window) {}

TGIS::~TGIS()
{
  Clear();
}

// --- header ---------------------------------------------------------------

void TGIS::SaveHeader(TTagStream& stream) const
{
  stream.SetGroup(TagGroup::GisHeader);
  stream.WriteDouble(x0);
  stream.WriteDouble(y0);
  stream.WriteDouble(x1);
  stream.WriteDouble(y1);
  stream.WriteBool(georeferenced);
  stream.WriteInt(GetObjectCount());
  stream.WriteString(units);
  stream.WriteBool(extentFromModelArea);
  stream.WriteDouble(z0);
  stream.WriteDouble(z1);
}

void TGIS::LoadHeader(TTagStream& stream)
{
  fileObjectCount = 0;
  stream.SetGroup(TagGroup::GisHeader);
  stream.Read(x0);
  stream.Read(y0);
  stream.Read(x1);
  stream.Read(y1);
  stream.Read(georeferenced);
  stream.Read(fileObjectCount);
  stream.Read(units);
  stream.Read(extentFromModelArea);
  stream.Read(z0);
  stream.Read(z1);
  for (auto [value, field] : {std::pair{x0, "x0"}, {y0, "y0"}, {x1, "x1"}, {y1, "y1"}, {z0, "z0"}, {z1, "z1"}})
    RequireFinite(value, std::string("ГИС: ") + field);
}

// --- type registry -----------------------------------------------------------

void TGIS::RegisterObjectType(int32_t code, int32_t image, const std::string& typeName,
                              const std::string& pluralName, COLORREF color, int32_t flags,
                              TGObjFactory factory)
{
  TGObjType type;
  type.code = code;
  type.image = image;
  type.name = FirstCharacters(typeName, TGObjType::NameLimit);
  type.pluralName = FirstCharacters(pluralName, TGObjType::NameLimit);
  type.color = color;
  type.flags = flags;
  type.factory = factory;
  types.push_back(std::move(type));
}

const TGObjType* TGIS::FindType(int32_t code) const
{
  for (const auto& type : types)
    if (type.code == code)
      return &type;
  return nullptr;
}

std::unique_ptr<TGObj> TGIS::CreateObject(int32_t code)
{
  const TGObjType* type = FindType(code);
  if (!type || !type->factory)
    return nullptr;
  return type->factory(this);
}

int TGIS::GetTypeCount() const
{
  return static_cast<int>(types.size());
}

int32_t TGIS::GetTypeCode(int index) const
{
  if (index < 0 || index >= GetTypeCount())
    return 0;
  return types[static_cast<size_t>(index)].code;
}

int TGIS::GetTypeImage(int32_t code) const
{
  const TGObjType* type = FindType(code);
  return type ? type->image : 0;
}

std::string TGIS::GetTypeName(int32_t code) const
{
  const TGObjType* type = FindType(code);
  return type ? type->name : std::string();
}

std::string TGIS::GetTypePluralName(int32_t code) const
{
  const TGObjType* type = FindType(code);
  return type ? type->pluralName : std::string();
}

COLORREF TGIS::GetTypeColor(int32_t code) const
{
  const TGObjType* type = FindType(code);
  return type ? type->color : 0xFFFFFF;
}

int TGIS::GetFlaggedTypeCount() const
{
  return static_cast<int>(std::count_if(types.begin(), types.end(), [](const TGObjType& type) {
    return (type.flags & TGObjType::FlagListed) != 0;
  }));
}

void TGIS::GetFlaggedType(int index, int32_t& code, std::string& typeName) const
{
  code = 0;
  typeName.clear();
  int n = 0;
  for (const auto& type : types) {
    if ((type.flags & TGObjType::FlagListed) == 0)
      continue;
    if (n++ == index) {
      code = type.code;
      typeName = GetTypeName(type.code);
      return;
    }
  }
}

bool TGIS::TypeFlagBit1(int32_t code) const
{
  const TGObjType* type = FindType(code);
  return type && (type->flags & TGObjType::FlagReperKey) != 0;
}

// --- queries -------------------------------------------------------------------

TGObj* TGIS::FindArrayByCode(int quantityCode) const
{
  for (const auto& object : objects)
    if (object->IsArray() && object->GetCode() == quantityCode)
      return object.get();
  return nullptr;
}

TGObj* TGIS::FindArrayAt(int quantityCode, double X, double Y) const
{
  for (const auto& object : objects) {
    if (object->GetTypeCode() == ObjectTypeArray && object->IsArray() && object->GetCode() == quantityCode &&
        object->HitDistance(X, Y, false) == 0.0)
      return object.get();
  }
  return nullptr;
}

TGObj* TGIS::GetObject(int index) const
{
  if (index < 0 || index >= GetObjectCount())
    return nullptr;
  return objects[static_cast<size_t>(index)].get();
}

bool TGIS::ContainsObject(const TGObj* object) const
{
  return std::any_of(objects.begin(), objects.end(), [object](const auto& o) { return o.get() == object; });
}

TGObj* TGIS::FindObjectById(int32_t id) const
{
  for (const auto& object : objects)
    if (object->GetId() == id)
      return object.get();
  return nullptr;
}

TGObj* TGIS::FindObjectByIdAndType(int32_t id, int32_t code) const
{
  TGObj* object = FindObjectById(id);
  return object && object->GetTypeCode() == code ? object : nullptr;
}

TGObj* TGIS::GetObjectOfType(int n, int32_t code) const
{
  int seen = 0;
  for (const auto& object : objects) {
    if (object->GetTypeCode() != code)
      continue;
    if (seen++ == n)
      return object.get();
  }
  return nullptr;
}

int TGIS::CountObjectsOfType(int32_t code) const
{
  return static_cast<int>(std::count_if(objects.begin(), objects.end(),
                                        [code](const auto& o) { return o->GetTypeCode() == code; }));
}

TGObj* TGIS::FindObjectByName(const std::string& objectName, int32_t code) const
{
  if (objectName.empty())
    return nullptr;
  for (const auto& object : objects)
    if (object->GetName() == objectName && object->GetTypeCode() == code)
      return object.get();
  return nullptr;
}

// --- adding and deleting ---------------------------------------------------------

void TGIS::InsertAt(std::unique_ptr<TGObj> object, int insertIndex)
{
  object->SetOwner(this);
  if (insertIndex < 0 || insertIndex >= GetObjectCount())
    objects.push_back(std::move(object));
  else
    objects.insert(objects.begin() + insertIndex, std::move(object));
}

int32_t TGIS::AddObject(void* sender, std::unique_ptr<TGObj> object, bool removable, int insertIndex)
{
  modified = true;
  const int32_t id = ++lastId;
  object->SetId(id);
  object->SetRemovable(removable);
  InsertAt(std::move(object), insertIndex);
  if (OnObjectAdded)
    OnObjectAdded(sender, id);
  return id;
}

int32_t TGIS::AddObjectAt(void* sender, std::unique_ptr<TGObj> object, double X, double Y, bool removable,
                          int insertIndex)
{
  // The origin is converted through this GIS, whoever made the object.
  object->SetOwner(this);
  object->SetWorldXY(X, Y);
  return AddObject(sender, std::move(object), removable, insertIndex);
}

void TGIS::InsertLoadedObject(std::unique_ptr<TGObj> object, int insertIndex)
{
  modified = true;
  lastId = std::max(lastId, object->GetId());
  InsertAt(std::move(object), insertIndex);
}

void TGIS::DestroyAt(size_t index, void* sender)
{
  const int32_t id = objects[index]->GetId();
  std::unique_ptr<TGObj> doomed = std::move(objects[index]);
  objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(index));
  doomed.reset();
  modified = true;
  if (OnObjectDeleted)
    OnObjectDeleted(sender, id);
}

bool TGIS::DeleteObject(void* sender, TGObj* object, bool force)
{
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i].get() != object)
      continue;
    if (!force && !object->IsRemovable())
      return false;
    DestroyAt(i, sender);
    return true;
  }
  return false;
}

bool TGIS::DeleteObjectById(void* sender, int32_t id, bool force)
{
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i]->GetId() != id)
      continue;
    if (!force && !objects[i]->IsRemovable())
      return false;
    DestroyAt(i, sender);
    return true;
  }
  return false;
}

void TGIS::Clear()
{
  // Front to back, each object gone before the next one goes.
  while (!objects.empty())
    objects.erase(objects.begin());
  modified = true;
  if (OnChange)
    OnChange(nullptr);
  lastId = 0;
}

void TGIS::DeleteObjectsOutside(double ax, double ay, double bx, double by)
{
  const double left = std::min(ax, bx), right = std::max(ax, bx);
  const double bottom = std::min(ay, by), top = std::max(ay, by);
  const double tolX = Tolerance(left, right);
  const double tolY = Tolerance(bottom, top);
  for (size_t i = objects.size(); i-- > 0;) {
    if (i >= objects.size())
      continue; // a handler deleted objects behind us
    TGObj& object = *objects[i];
    // Objects the program keeps itself (model arrays, the model area, the map)
    // are fitted to the area, never deleted with it.
    if (!object.IsRemovable())
      continue;
    double bx1, by1, bx2, by2;
    object.GetWorldBounds(bx1, by1, bx2, by2);
    if (bx1 < left - tolX || by1 < bottom - tolY || bx2 > right + tolX || by2 > top + tolY)
      DestroyAt(i, nullptr);
  }
}

// --- persistence -------------------------------------------------------------------

bool TGIS::SaveObjects(TStream& stream)
{
  bool complete;
  {
    TTagStream header(&stream, TagStreamWrite);
    SaveHeader(header);
    complete = header.Commit();
  }
  for (const auto& object : objects) {
    TTagStream image(&stream, TagStreamWrite);
    object->Save(image);
    complete = image.Commit() && complete;
  }
  if (complete)
    modified = false;
  return complete;
}

std::unique_ptr<TGObj> TGIS::ReadObjectImage(TStream& stream)
{
  TTagStream image(&stream, TagStreamRead);
  image.SetGroup(TagGroup::MapObject);
  const int32_t code = image.ReadInt(0);
  std::unique_ptr<TGObj> object = CreateObject(code);
  if (object)
    object->Load(image);
  return object;
}

void TGIS::LoadObjects(TStream& stream)
{
  Clear();
  {
    TTagStream header(&stream, TagStreamRead);
    LoadHeader(header);
  }
  lastId = 0;
  // A damaged count must not spin over an exhausted stream, nor over a tail
  // too short to hold an image (a read that takes no bytes ends the list).
  for (int32_t n = 0; n < fileObjectCount && stream.Remaining() > 0; ++n) {
    const int64_t before = stream.GetPosition();
    std::unique_ptr<TGObj> object = ReadObjectImage(stream);
    if (stream.GetPosition() == before)
      break;
    if (object)
      InsertLoadedObject(std::move(object), -1);
  }
  for (const auto& object : objects)
    object->AfterLoad();
  if (OnChange)
    OnChange(nullptr);
  modified = false;
}

void TGIS::UpdateObjects(TStream& stream)
{
  fileObjectCount = 0;
  {
    TTagStream header(&stream, TagStreamRead);
    header.SetGroup(TagGroup::GisHeader);
    header.Read(fileObjectCount, HeaderObjectCount);
  }
  for (int32_t n = 0; n < fileObjectCount && stream.Remaining() > 0; ++n) {
    const int64_t before = stream.GetPosition();
    TTagStream image(&stream, TagStreamRead);
    if (stream.GetPosition() == before)
      break;
    image.SetGroup(TagGroup::MapObject);
    std::unique_ptr<TGObj> object = CreateObject(image.ReadInt(0));
    if (!object)
      continue;
    object->Load(image);
    TGObj* existing = FindObjectById(object->GetId());
    if (!existing) {
      InsertLoadedObject(std::move(object), -1);
      continue;
    }
    if (existing->GetTypeCode() == object->GetTypeCode())
      existing->LoadGeometry(image);
  }
  for (const auto& object : objects)
    object->AfterLoad();
  modified = false;
}

// --- coordinates ---------------------------------------------------------------------

bool TGIS::SetGeoReference(double ua, double va, double Xa, double Ya, double ub, double vb, double Xb,
                           double Yb, int32_t kind)
{
  const double d = ub - ua;
  const double e = vb - va;
  if (d == 0 || e == 0)
    return false;
  coordKind = kind;
  x0 = (Xa * ub - Xb * ua) / d;
  x1 = ((1 - ua) * Xb - (1 - ub) * Xa) / d;
  y0 = (Ya * vb - Yb * va) / e;
  y1 = ((1 - va) * Yb - (1 - vb) * Ya) / e;
  georeferenced = true;
  if (OnGeoChange)
    OnGeoChange(nullptr);
  modified = true;
  return true;
}

void TGIS::SetTransform(double worldX0, double worldY0, double worldX1, double worldY1, double worldZ0,
                        double worldZ1)
{
  x0 = worldX0;
  y0 = worldY0;
  x1 = worldX1;
  y1 = worldY1;
  z0 = worldZ0;
  z1 = worldZ1;
  modified = true;
}

void TGIS::RelativeToWorld(double u, double v, double& X, double& Y) const
{
  X = x0 + (x1 - x0) * u;
  Y = y0 + (y1 - y0) * v;
}

void TGIS::RelativeToWorld(double& u, double& v) const
{
  RelativeToWorld(u, v, u, v);
}

void TGIS::WorldToRelative(double X, double Y, double& u, double& v) const
{
  u = ToRelative(X, x0, x1);
  v = ToRelative(Y, y0, y1);
}

void TGIS::WorldToRelative(double& X, double& Y) const
{
  WorldToRelative(X, Y, X, Y);
}

void TGIS::RelativeToWorldZ(double& w) const
{
  w = z0 + (z1 - z0) * w;
}

void TGIS::WorldToRelativeZ(double& Z) const
{
  Z = ToRelative(Z, z0, z1);
}

std::string TGIS::CoordinateText(double u, double v) const
{
  double X, Y;
  RelativeToWorld(u, v, X, Y);
  if (coordKind == CoordGeographic) {
    const char* eastWest = X > 0 ? "в" : "з";
    const char* northSouth = Y > 0 ? "с" : "ю";
    return FloatToStrSep(std::fabs(Y), ffFixed, 6, 1) + northSouth + " : " +
           FloatToStrSep(std::fabs(X), ffFixed, 6, 1) + eastWest;
  }
  if (coordKind == CoordRectangular)
    return FloatToStrSep(X, ffFixed, 9, 1) + ":" + FloatToStrSep(Y, ffFixed, 9, 1);
  return "не определены";
}

// --- world geometry of one object ------------------------------------------------------

double TGIS::GetObjectWorldX(const TGObj& object) const
{
  return x0 + (x1 - x0) * object.GetX();
}

double TGIS::GetObjectWorldY(const TGObj& object) const
{
  return y0 + (y1 - y0) * object.GetY();
}

void TGIS::GetObjectWorldXY(const TGObj& object, double& X, double& Y) const
{
  RelativeToWorld(object.GetX(), object.GetY(), X, Y);
}

double TGIS::GetObjectWorldZ(const TGObj& object) const
{
  return z0 + (z1 - z0) * object.GetZ();
}

void TGIS::GetObjectWorldFarCorner(const TGObj& object, double& X, double& Y) const
{
  RelativeToWorld(object.GetX() + object.GetDX(), object.GetY() + object.GetDY(), X, Y);
}

double TGIS::GetObjectWorldWidth(const TGObj& object) const
{
  double farX, farY;
  GetObjectWorldFarCorner(object, farX, farY);
  return farX - GetObjectWorldX(object);
}

double TGIS::GetObjectWorldHeight(const TGObj& object) const
{
  double farX, farY;
  GetObjectWorldFarCorner(object, farX, farY);
  return farY - GetObjectWorldY(object);
}

double TGIS::GetObjectWorldDepth(const TGObj& object) const
{
  return object.GetDZ() * (z1 - z0);
}

void TGIS::SetObjectWorldXY(TGObj& object, double X, double Y)
{
  double u, v;
  WorldToRelative(X, Y, u, v);
  object.SetXY(u, v);
  modified = true;
}

void TGIS::SetObjectWorldX(TGObj& object, double X)
{
  SetObjectWorldXY(object, X, GetObjectWorldY(object));
}

void TGIS::SetObjectWorldFarCorner(TGObj& object, double X, double Y)
{
  double u, v;
  WorldToRelative(X, Y, u, v);
  object.SetFarCorner(u, v);
  modified = true;
}

void TGIS::SetObjectWorldWidth(TGObj& object, double width)
{
  double X, Y;
  GetObjectWorldXY(object, X, Y);
  SetObjectWorldFarCorner(object, X + width, Y + GetObjectWorldHeight(object));
}

void TGIS::SetObjectWorldHeight(TGObj& object, double height)
{
  double X, Y;
  GetObjectWorldXY(object, X, Y);
  SetObjectWorldFarCorner(object, X + GetObjectWorldWidth(object), Y + height);
}

void TGIS::SetObjectWorldDepth(TGObj& object, double depth)
{
  const double scale = z1 - z0;
  object.SetDZ(scale != 0 ? depth / scale : 0.0);
  modified = true;
}

// --- extent and model area ----------------------------------------------------------------

void TGIS::GetRelativeExtent(double& ex1, double& ey1, double& ex2, double& ey2)
{
  if (extentFromModelArea) {
    TGObj* area = GetObjectOfType(0, ObjectTypeModelRect);
    if (!area)
      area = EnsureModelArea();
    if (area) {
      area->GetBounds(ex1, ey1, ex2, ey2);
      return;
    }
  } else if (!objects.empty()) {
    objects.front()->GetBounds(ex1, ey1, ex2, ey2);
    for (size_t i = 1; i < objects.size(); ++i)
      objects[i]->UnionBounds(ex1, ey1, ex2, ey2);
    return;
  }
  ex1 = 0;
  ey1 = 0;
  ex2 = 1;
  ey2 = 1;
}

void TGIS::GetWorldExtent(double& ex1, double& ey1, double& ex2, double& ey2)
{
  GetRelativeExtent(ex1, ey1, ex2, ey2);
  RelativeToWorld(ex1, ey1);
  RelativeToWorld(ex2, ey2);
}

TGObj* TGIS::EnsureModelArea()
{
  if (TGObj* area = GetObjectOfType(0, ObjectTypeModelRect))
    return area;
  TGObj* array = GetObjectOfType(0, ObjectTypeArray);
  if (!array)
    array = GetObjectOfType(0, ObjectTypeArray3D);
  if (!array)
    return nullptr;
  auto area = std::make_unique<TGModelRect>(this);
  area->SetZ(array->GetZ());
  area->SetDX(array->GetDX());
  area->SetDY(array->GetDY());
  area->SetDZ(array->GetDZ());
  area->SetName(kModelAreaName);
  double X, Y;
  array->GetWorldXY(X, Y);
  TGObj* added = area.get();
  AddObjectAt(nullptr, std::move(area), X, Y, false, -1);
  added->SetId(-1);
  return added;
}

void TGIS::FitArraysToRect(double X1, double Y1, double X2, double Y2)
{
  for (size_t i = objects.size(); i-- > 0;) {
    TGObj& object = *objects[i];
    if (object.IsArray() || object.GetTypeCode() == ObjectTypeMap)
      object.SetWorldRect(X1, Y1, X2, Y2);
  }
}

void TGIS::NotifyChanged()
{
  if (OnChange)
    OnChange(nullptr);
}
