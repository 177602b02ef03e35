#pragma once
// TGObj: the base of every map object of a project. The geometry is kept in
// coordinates relative to the owning GIS (the model's plan is the unit square);
// every world value goes through the owner's linear transform. An object
// without an owner treats world values as relative ones.
#include <cstdint>
#include <string>

#include "MeliscoTypes.h"
#include "data/Quantity.h"
#include "data/TagStream.h"
#include "gis/ObjectTypeCode.h"

class QWidget;
class TEditorFrame;
class TGIS;
class TSLine;

class TGObj : public TQuantity {
public:
  explicit TGObj(TGIS* owner);
  ~TGObj() override;
  TGObj(const TGObj&) = delete;
  TGObj& operator=(const TGObj&) = delete;

  // --- virtual interface, in the order every object class shares ---
  void Save(TTagStream& stream) const override;
  void Load(TTagStream& stream) override;
  virtual void AfterLoad();
  // Rereads position, extent and name only, so that reloading result data moves
  // and renames an object but keeps its font, flags and class data.
  virtual void LoadGeometry(TTagStream& stream);
  // x1, y1, x2, y2: the relative coordinates of the view's left, top, right and
  // bottom edges, which span the whole target bitmap.
  virtual void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) = 0;
  virtual void FreeCache();
  virtual std::string GetKindName() const;
  virtual std::string GetTypeName() const;
  virtual std::string GetTypePluralName() const;
  // The object's tree path, under which the object browser files it and the
  // data menus list it: one text per level.
  virtual int GetTreePathLength() const;
  virtual std::string GetTreePathText(int level) const;
  virtual bool IsTreeLevelSorted(int level) const;
  virtual std::string GetTreeSortKey(int level) const;
  virtual std::string GetDisplayName() const;
  // Opens the object's data editor; true when the user accepted a change.
  virtual bool Edit();
  // Objects without a property frame return null and ignore the frame calls.
  virtual TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner);
  virtual void ApplyEditorFrame(TEditorFrame* frame);
  virtual void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple);
  virtual void SetX(double value);
  virtual void SetY(double value);
  virtual void SetZ(double value);
  virtual void SetXY(double newX, double newY);
  // Moves the origin and keeps the far corner.
  virtual void SetOrigin(double newX, double newY);
  virtual void SetFarCorner(double farX, double farY);
  virtual void SetDX(double value);
  virtual void SetDY(double value);
  virtual void SetDZ(double value);
  // Distances in world units; the nearest point goes out in world coordinates.
  virtual double DistanceTo(double X, double Y, double& nearestX, double& nearestY) const;
  virtual double RelativeDistanceTo(double u, double v, double& nearestU, double& nearestV) const = 0;
  virtual double HandleDistanceTo(double X, double Y, double& nearestX, double& nearestY, int& handle) const;
  virtual double RelativeHandleDistanceTo(double u, double v, double& nearestU, double& nearestV,
                                          int& handle) const = 0;
  virtual double HitDistance(double X, double Y, bool byHandles) const;
  virtual double RelativeHitDistance(double u, double v, bool byHandles) const;
  // Ordered so that X1 <= X2 and Y1 <= Y2.
  virtual void GetWorldBounds(double& X1, double& Y1, double& X2, double& Y2) const;
  virtual void SetRelativeRect(double x1, double y1, double x2, double y2);
  virtual void SetWorldRect(double X1, double Y1, double X2, double Y2);
  virtual void UnionWorldBounds(double& X1, double& Y1, double& X2, double& Y2) const;
  virtual void GetBounds(double& x1, double& y1, double& x2, double& y2) const;
  virtual void UnionBounds(double& x1, double& y1, double& x2, double& y2) const;
  virtual void Move(double shiftX, double shiftY);
  virtual void MoveHandle(int handle, double shiftX, double shiftY);
  virtual void GetOutline(TSLine& outline) const;
  virtual bool ContainsPoint(double u, double v) const;
  virtual bool IsArray() const;
  virtual std::string GetName() const;

  // --- relative geometry ---
  double GetX() const { return x; }
  double GetY() const { return y; }
  double GetZ() const { return z; }
  double GetDX() const { return dx; }
  double GetDY() const { return dy; }
  double GetDZ() const { return dz; }

  // --- world geometry through the owner ---
  double GetWorldX() const;
  double GetWorldY() const;
  void GetWorldXY(double& X, double& Y) const;
  double GetWorldZ() const;
  void GetWorldFarCorner(double& X, double& Y) const;
  double GetWorldWidth() const;
  double GetWorldHeight() const;
  double GetWorldDepth() const;
  double GetScaleX() const;
  double GetScaleY() const;
  double GetScaleZ() const;
  std::string GetUnits() const;
  // The owner's coordinate kind; -1 (not defined) without an owner.
  int GetCoordKind() const;

  void SetWorldX(double X);
  void SetWorldXY(double X, double Y);
  void SetWorldFarCorner(double X, double Y);
  void SetWorldWidth(double width);
  void SetWorldHeight(double height);
  void SetWorldDepth(double depth);

  void RelativeToWorld(double& u, double& v) const;
  void RelativeToWorld(double u, double v, double& X, double& Y) const;
  void WorldToRelative(double& X, double& Y) const;
  void WorldToRelative(double X, double Y, double& u, double& v) const;
  void RelativeToWorldZ(double& w) const;
  void WorldToRelativeZ(double& Z) const;

  // --- identity and appearance ---
  void SetName(const std::string& value) { name = value; }
  bool GetShowName() const { return showName; }
  void SetShowName(bool value) { showName = value; }
  const TFontRecord& GetLabelFont() const { return labelFont; }
  void SetLabelFont(const TFontRecord& font) { labelFont = font; }
  bool IsRemovable() const { return removable; }
  void SetRemovable(bool value) { removable = value; }
  std::int32_t GetId() const { return objectId; }
  void SetId(std::int32_t id) { objectId = id; }
  std::int32_t GetShapeKind() const { return shapeKind; }
  std::int32_t GetTypeCode() const { return typeCode; }
  TGIS* GetOwner() const { return owner; }
  void SetOwner(TGIS* gis) { owner = gis; }

protected:
  // A stored position or extent that is no number is a damaged file.
  void RequireFiniteGeometry() const;
  void SetKindNames(const std::string& singular, const std::string& plural);
  void SetTypeCode(std::int32_t code) { typeCode = code; }
  void SetShapeKind(std::int32_t kind) { shapeKind = kind; }
  // Tells the owner that the project changed (property frames applied).
  void MarkOwnerModified() const;
  // Tells the owner's views that the object's data changed (data editor closed with OK).
  void NotifyOwnerChanged() const;

  // The property-frame calls for an object whose frame kind is Frame: a frame
  // of another kind is left alone. An applied frame marks the project modified.
  template <class Frame, class Object>
  void ApplyOwnFrame(TEditorFrame* frame, Object& self)
  {
    if (auto* own = dynamic_cast<Frame*>(frame)) {
      own->ApplyTo(self);
      MarkOwnerModified();
    }
  }
  template <class Frame, class Object, class... Options>
  static void FillOwnFrame(TEditorFrame* frame, Object& self, Options... options)
  {
    if (auto* own = dynamic_cast<Frame*>(frame))
      own->FillFrom(self, options...);
  }

  double x = 0, y = 0, z = 0;
  double dx = 0, dy = 0, dz = 0;
  std::string name;

private:
  std::string kindName = "Объект";
  std::string pluralKindName = "Объекты";
  bool showName = false;
  TFontRecord labelFont;
  bool removable = true;
  std::int32_t objectId = 0;
  std::int32_t shapeKind = ShapeNone;
  std::int32_t typeCode = 0;
  TGIS* owner = nullptr;
};
