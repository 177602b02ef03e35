#include "gis/GObj.h"

#include "data/FiniteValue.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "data/SLine.h"
#include "data/TextConversion.h"
#include "gis/GIS.h"

namespace {

// Record ids of group 2001.
enum MapObjectId : int32_t {
  RecordTypeCode = 0,
  RecordShapeKind = 1,
  RecordObjectId = 2,
  RecordX = 3,
  RecordY = 4,
  RecordDX = 5,
  RecordDY = 6,
  RecordRemovable = 7,
  RecordName = 8,
  RecordLabelFont = 9,
  RecordShowName = 10,
  RecordZ = 11,
  RecordDZ = 12,
};

TFontRecord DefaultLabelFont()
{
  TFontRecord font;
  font.name = "Arial";
  font.size = 8;
  font.charset = 204;
  return font;
}

void Order(double& a, double& b)
{
  if (a > b)
    std::swap(a, b);
}

} // namespace

TGObj::TGObj(TGIS* gis) : labelFont(DefaultLabelFont()), owner(gis) {}

TGObj::~TGObj() = default;

void TGObj::SetKindNames(const std::string& singular, const std::string& plural)
{
  kindName = singular;
  pluralKindName = plural;
}

void TGObj::MarkOwnerModified() const
{
  if (owner)
    owner->SetModified(true);
}

void TGObj::NotifyOwnerChanged() const
{
  if (owner)
    owner->NotifyChanged();
}

// --- records ---------------------------------------------------------------

void TGObj::Save(TTagStream& stream) const
{
  TQuantity::Save(stream);
  stream.SetGroup(TagGroup::MapObject);
  stream.WriteInt(typeCode);
  stream.WriteInt(shapeKind);
  stream.WriteInt(objectId);
  stream.WriteDouble(x);
  stream.WriteDouble(y);
  stream.WriteDouble(dx);
  stream.WriteDouble(dy);
  stream.WriteBool(removable);
  stream.WriteString(name);
  stream.WriteFont(labelFont);
  stream.WriteBool(showName);
  stream.WriteDouble(z);
  stream.WriteDouble(dz);
}

void TGObj::Load(TTagStream& stream)
{
  TQuantity::Load(stream);
  stream.SetGroup(TagGroup::MapObject);
  stream.Read(typeCode);
  stream.Read(shapeKind);
  stream.Read(objectId);
  stream.Read(x);
  stream.Read(y);
  stream.Read(dx);
  stream.Read(dy);
  stream.Read(removable);
  stream.Read(name);
  stream.ReadFont(labelFont);
  stream.Read(showName);
  stream.Read(z);
  stream.Read(dz);
  RequireFiniteGeometry();
}

void TGObj::RequireFiniteGeometry() const
{
  for (auto [value, field] : {std::pair{x, "x"}, {y, "y"}, {z, "z"}, {dx, "dx"}, {dy, "dy"}, {dz, "dz"}})
    RequireFinite(value, "объект \"" + name + "\": " + field);
}

void TGObj::AfterLoad() {}

void TGObj::LoadGeometry(TTagStream& stream)
{
  stream.SetGroup(TagGroup::MapObject);
  stream.Read(x, RecordX);
  stream.Read(y, RecordY);
  stream.Read(dx, RecordDX);
  stream.Read(dy, RecordDY);
  stream.Read(name, RecordName);
  stream.Read(z, RecordZ);
  stream.Read(dz, RecordDZ);
  RequireFiniteGeometry();
}

void TGObj::FreeCache() {}

// --- names -------------------------------------------------------------------

std::string TGObj::GetKindName() const
{
  return "Объект";
}

std::string TGObj::GetTypeName() const
{
  const std::string registered = owner ? owner->GetTypeName(typeCode) : std::string();
  return registered.empty() ? kindName : registered;
}

std::string TGObj::GetTypePluralName() const
{
  const std::string registered = owner ? owner->GetTypePluralName(typeCode) : std::string();
  return registered.empty() ? pluralKindName : registered;
}

int TGObj::GetTreePathLength() const
{
  return 2;
}

std::string TGObj::GetTreePathText(int level) const
{
  if (level == 0)
    return GetTypePluralName();
  if (level == 1)
    return GetName();
  return {};
}

bool TGObj::IsTreeLevelSorted(int /*level*/) const
{
  return true;
}

std::string TGObj::GetTreeSortKey(int level) const
{
  if (level == 0)
    return std::to_string(typeCode);
  return GetTreePathText(level);
}

std::string TGObj::GetDisplayName() const
{
  return CapitalizeFirst(GetTypeName()) + ": " + name;
}

std::string TGObj::GetName() const
{
  return name;
}

bool TGObj::Edit()
{
  return false;
}

TEditorFrame* TGObj::CreateEditorFrame(bool /*fromKeptValues*/, bool /*multiple*/, QWidget* /*owner*/)
{
  return nullptr;
}

void TGObj::ApplyEditorFrame(TEditorFrame* /*frame*/) {}

void TGObj::FillEditorFrame(TEditorFrame* /*frame*/, bool /*fromKeptValues*/, bool /*multiple*/) {}

// --- relative setters ------------------------------------------------------------

void TGObj::SetX(double value)
{
  x = value;
}

void TGObj::SetY(double value)
{
  y = value;
}

void TGObj::SetZ(double value)
{
  z = value;
}

void TGObj::SetXY(double newX, double newY)
{
  x = newX;
  y = newY;
}

void TGObj::SetOrigin(double newX, double newY)
{
  dx = x + dx - newX;
  dy = y + dy - newY;
  x = newX;
  y = newY;
}

void TGObj::SetFarCorner(double farX, double farY)
{
  dx = farX - x;
  dy = farY - y;
}

void TGObj::SetDX(double value)
{
  dx = value;
}

void TGObj::SetDY(double value)
{
  dy = value;
}

void TGObj::SetDZ(double value)
{
  dz = value;
}

// --- distances -------------------------------------------------------------------

double TGObj::DistanceTo(double X, double Y, double& nearestX, double& nearestY) const
{
  double u, v, nu, nv;
  WorldToRelative(X, Y, u, v);
  RelativeDistanceTo(u, v, nu, nv);
  RelativeToWorld(nu, nv, nearestX, nearestY);
  return std::hypot(X - nearestX, Y - nearestY);
}

double TGObj::HandleDistanceTo(double X, double Y, double& nearestX, double& nearestY, int& handle) const
{
  double u, v, nu, nv;
  WorldToRelative(X, Y, u, v);
  RelativeHandleDistanceTo(u, v, nu, nv, handle);
  RelativeToWorld(nu, nv, nearestX, nearestY);
  return std::hypot(X - nearestX, Y - nearestY);
}

double TGObj::HitDistance(double X, double Y, bool byHandles) const
{
  double nx, ny;
  int handle;
  return byHandles ? HandleDistanceTo(X, Y, nx, ny, handle) : DistanceTo(X, Y, nx, ny);
}

double TGObj::RelativeHitDistance(double u, double v, bool byHandles) const
{
  double nu, nv;
  int handle;
  return byHandles ? RelativeHandleDistanceTo(u, v, nu, nv, handle) : RelativeDistanceTo(u, v, nu, nv);
}

// --- bounds ------------------------------------------------------------------------

void TGObj::GetWorldBounds(double& X1, double& Y1, double& X2, double& Y2) const
{
  GetBounds(X1, Y1, X2, Y2);
  RelativeToWorld(X1, Y1);
  RelativeToWorld(X2, Y2);
  Order(X1, X2);
  Order(Y1, Y2);
}

void TGObj::SetRelativeRect(double x1, double y1, double x2, double y2)
{
  x = x1;
  y = y1;
  dx = x2 - x1;
  dy = y2 - y1;
}

void TGObj::SetWorldRect(double X1, double Y1, double X2, double Y2)
{
  SetWorldXY(X1, Y1);
  SetWorldWidth(X2 - X1);
  SetWorldHeight(Y2 - Y1);
}

void TGObj::UnionWorldBounds(double& X1, double& Y1, double& X2, double& Y2) const
{
  WorldToRelative(X1, Y1);
  WorldToRelative(X2, Y2);
  UnionBounds(X1, Y1, X2, Y2);
  RelativeToWorld(X1, Y1);
  RelativeToWorld(X2, Y2);
  Order(X1, X2);
  Order(Y1, Y2);
}

void TGObj::GetBounds(double& x1, double& y1, double& x2, double& y2) const
{
  x1 = x;
  y1 = y;
  x2 = x + dx;
  y2 = y + dy;
  Order(x1, x2);
  Order(y1, y2);
}

void TGObj::UnionBounds(double& x1, double& y1, double& x2, double& y2) const
{
  Order(x1, x2);
  Order(y1, y2);
  double bx1, by1, bx2, by2;
  GetBounds(bx1, by1, bx2, by2);
  x1 = std::min(x1, bx1);
  y1 = std::min(y1, by1);
  x2 = std::max(x2, bx2);
  y2 = std::max(y2, by2);
}

void TGObj::Move(double shiftX, double shiftY)
{
  x += shiftX;
  y += shiftY;
}

void TGObj::MoveHandle(int /*handle*/, double shiftX, double shiftY)
{
  Move(shiftX, shiftY);
}

void TGObj::GetOutline(TSLine& outline) const
{
  outline.SetCount(1);
  *outline.Item(0) = TSPoint{x, y, 0.0};
}

bool TGObj::ContainsPoint(double /*u*/, double /*v*/) const
{
  return false;
}

bool TGObj::IsArray() const
{
  return false;
}

// --- world geometry ------------------------------------------------------------------

double TGObj::GetWorldX() const
{
  return owner ? owner->GetObjectWorldX(*this) : x;
}

double TGObj::GetWorldY() const
{
  return owner ? owner->GetObjectWorldY(*this) : y;
}

void TGObj::GetWorldXY(double& X, double& Y) const
{
  if (owner) {
    owner->GetObjectWorldXY(*this, X, Y);
  } else {
    X = x;
    Y = y;
  }
}

double TGObj::GetWorldZ() const
{
  return owner ? owner->GetObjectWorldZ(*this) : z;
}

void TGObj::GetWorldFarCorner(double& X, double& Y) const
{
  if (owner) {
    owner->GetObjectWorldFarCorner(*this, X, Y);
  } else {
    X = x + dx;
    Y = y + dy;
  }
}

double TGObj::GetWorldWidth() const
{
  return owner ? owner->GetObjectWorldWidth(*this) : dx;
}

double TGObj::GetWorldHeight() const
{
  return owner ? owner->GetObjectWorldHeight(*this) : dy;
}

double TGObj::GetWorldDepth() const
{
  return owner ? owner->GetObjectWorldDepth(*this) : dz;
}

double TGObj::GetScaleX() const
{
  return owner ? owner->GetScaleX() : 1.0;
}

double TGObj::GetScaleY() const
{
  return owner ? owner->GetScaleY() : 1.0;
}

double TGObj::GetScaleZ() const
{
  return owner ? owner->GetScaleZ() : 1.0;
}

std::string TGObj::GetUnits() const
{
  return owner ? owner->GetUnits() : std::string();
}

int TGObj::GetCoordKind() const
{
  return owner ? owner->GetCoordKind() : -1;
}

void TGObj::SetWorldX(double X)
{
  if (owner)
    owner->SetObjectWorldX(*this, X);
  else
    SetX(X);
}

void TGObj::SetWorldXY(double X, double Y)
{
  if (owner)
    owner->SetObjectWorldXY(*this, X, Y);
  else
    SetXY(X, Y);
}

void TGObj::SetWorldFarCorner(double X, double Y)
{
  if (owner)
    owner->SetObjectWorldFarCorner(*this, X, Y);
  else
    SetFarCorner(X, Y);
}

void TGObj::SetWorldWidth(double width)
{
  if (owner)
    owner->SetObjectWorldWidth(*this, width);
  else
    SetDX(width);
}

void TGObj::SetWorldHeight(double height)
{
  if (owner)
    owner->SetObjectWorldHeight(*this, height);
  else
    SetDY(height);
}

void TGObj::SetWorldDepth(double depth)
{
  if (owner)
    owner->SetObjectWorldDepth(*this, depth);
  else
    SetDZ(depth);
}

// --- conversions -----------------------------------------------------------------------

void TGObj::RelativeToWorld(double& u, double& v) const
{
  if (owner)
    owner->RelativeToWorld(u, v);
}

void TGObj::RelativeToWorld(double u, double v, double& X, double& Y) const
{
  if (owner) {
    owner->RelativeToWorld(u, v, X, Y);
  } else {
    X = u;
    Y = v;
  }
}

void TGObj::WorldToRelative(double& X, double& Y) const
{
  if (owner)
    owner->WorldToRelative(X, Y);
}

void TGObj::WorldToRelative(double X, double Y, double& u, double& v) const
{
  if (owner) {
    owner->WorldToRelative(X, Y, u, v);
  } else {
    u = X;
    v = Y;
  }
}

void TGObj::RelativeToWorldZ(double& w) const
{
  if (owner)
    owner->RelativeToWorldZ(w);
}

void TGObj::WorldToRelativeZ(double& Z) const
{
  if (owner)
    owner->WorldToRelativeZ(Z);
}
