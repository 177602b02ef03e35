#pragma once
// TGIS: the container of a project's map objects. It owns the objects in list
// order (the order of drawing and browsing), knows the object types it can
// recreate from a project file, and converts between the relative coordinates
// in which objects keep their geometry and the world coordinates of the user
// and the model: X = x0 + (x1 - x0) u, likewise for Y and Z.
//
// Its owner learns of changes through plain callbacks, so the core runs
// without an event loop.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gis/GObjType.h"

class TFModel;
class TGObj;
class TStream;
class TTagStream;

// Coordinate kinds; any other value means that the kind is not defined.
enum TCoordKind : std::int32_t {
  CoordGeographic = 0,
  CoordRectangular = 1,
};

class TGIS {
public:
  using TNotify = std::function<void(void* sender)>;
  using TObjectNotify = std::function<void(void* sender, std::int32_t id)>;

  explicit TGIS(TFModel* model = nullptr);
  // Clears the GIS, so OnChange runs once more while it is being destroyed:
  // whatever a handler uses must outlive the GIS.
  virtual ~TGIS();
  TGIS(const TGIS&) = delete;
  TGIS& operator=(const TGIS&) = delete;

  // --- virtual operations ---
  virtual void SaveHeader(TTagStream& stream) const;
  virtual void LoadHeader(TTagStream& stream);
  // Null when the code is not registered.
  virtual std::unique_ptr<TGObj> CreateObject(std::int32_t code);
  virtual int GetTypeCount() const;
  virtual std::int32_t GetTypeCode(int index) const;
  virtual int GetTypeImage(std::int32_t code) const;
  virtual std::string GetTypeName(std::int32_t code) const;
  virtual std::string GetTypePluralName(std::int32_t code) const;
  virtual COLORREF GetTypeColor(std::int32_t code) const;
  virtual int GetFlaggedTypeCount() const;
  virtual void GetFlaggedType(int index, std::int32_t& code, std::string& typeName) const;
  virtual TGObj* FindArrayByCode(int quantityCode) const;
  virtual TGObj* FindArrayAt(int quantityCode, double X, double Y) const;

  // --- type registry ---
  void RegisterObjectType(std::int32_t code, std::int32_t image, const std::string& typeName,
                          const std::string& pluralName, COLORREF color, std::int32_t flags,
                          TGObjFactory factory);
  bool TypeFlagBit1(std::int32_t code) const;

  // --- object list ---
  int GetObjectCount() const { return static_cast<int>(objects.size()); }
  TGObj* GetObject(int index) const;
  bool ContainsObject(const TGObj* object) const;
  TGObj* FindObjectById(std::int32_t id) const;
  TGObj* FindObjectByIdAndType(std::int32_t id, std::int32_t code) const;
  TGObj* GetObjectOfType(int n, std::int32_t code) const;
  int CountObjectsOfType(std::int32_t code) const;
  TGObj* FindObjectByName(const std::string& objectName, std::int32_t code) const;

  // Gives the object the next id, takes ownership and inserts it (-1 appends).
  std::int32_t AddObject(void* sender, std::unique_ptr<TGObj> object, bool removable, int insertIndex = -1);
  std::int32_t AddObjectAt(void* sender, std::unique_ptr<TGObj> object, double X, double Y, bool removable,
                           int insertIndex = -1);
  // Adds an object that already carries its id; fires nothing.
  void InsertLoadedObject(std::unique_ptr<TGObj> object, int insertIndex = -1);

  bool DeleteObject(void* sender, TGObj* object, bool force);
  bool DeleteObjectById(void* sender, std::int32_t id, bool force);
  void Clear();
  // Deletes the removable objects that reach outside the world rectangle by
  // more than rounding can explain.
  void DeleteObjectsOutside(double x1, double y1, double x2, double y2);

  // --- persistence: the header image, then one image per object ---
  // False when the stream refused bytes; the GIS then stays modified.
  bool SaveObjects(TStream& stream);
  void LoadObjects(TStream& stream);
  void UpdateObjects(TStream& stream);

  // --- geo-reference and coordinates ---
  // Two relative points and their world images; false (nothing changes) when
  // the points share a u or a v, which leaves the transform undefined.
  bool SetGeoReference(double ua, double va, double Xa, double Ya, double ub, double vb, double Xb, double Yb,
                       std::int32_t kind);
  void RelativeToWorld(double u, double v, double& X, double& Y) const;
  void RelativeToWorld(double& u, double& v) const;
  void WorldToRelative(double X, double Y, double& u, double& v) const;
  void WorldToRelative(double& X, double& Y) const;
  void RelativeToWorldZ(double& w) const;
  void WorldToRelativeZ(double& Z) const;
  double GetScaleX() const { return x1 - x0; }
  double GetScaleY() const { return y1 - y0; }
  double GetScaleZ() const { return z1 - z0; }
  std::string GetUnits() const { return units; }
  void SetUnits(const std::string& text) { units = text; }
  std::int32_t GetCoordKind() const { return coordKind; }
  void SetCoordKind(std::int32_t kind) { coordKind = kind; }
  std::string CoordinateText(double u, double v) const;
  // Sets the transform directly: relative (0, 0, 0) and (1, 1, 1) map to these.
  void SetTransform(double worldX0, double worldY0, double worldX1, double worldY1, double worldZ0 = 0,
                    double worldZ1 = 1);
  double GetX0() const { return x0; }
  double GetY0() const { return y0; }
  double GetX1() const { return x1; }
  double GetY1() const { return y1; }
  double GetZ0() const { return z0; }
  double GetZ1() const { return z1; }

  // --- world geometry of one object ---
  double GetObjectWorldX(const TGObj& object) const;
  double GetObjectWorldY(const TGObj& object) const;
  void GetObjectWorldXY(const TGObj& object, double& X, double& Y) const;
  double GetObjectWorldZ(const TGObj& object) const;
  void GetObjectWorldFarCorner(const TGObj& object, double& X, double& Y) const;
  double GetObjectWorldWidth(const TGObj& object) const;
  double GetObjectWorldHeight(const TGObj& object) const;
  double GetObjectWorldDepth(const TGObj& object) const;
  void SetObjectWorldXY(TGObj& object, double X, double Y);
  void SetObjectWorldX(TGObj& object, double X);
  void SetObjectWorldFarCorner(TGObj& object, double X, double Y);
  void SetObjectWorldWidth(TGObj& object, double width);
  void SetObjectWorldHeight(TGObj& object, double height);
  void SetObjectWorldDepth(TGObj& object, double depth);

  // --- extent and model area ---
  void GetRelativeExtent(double& ex1, double& ey1, double& ex2, double& ey2);
  void GetWorldExtent(double& ex1, double& ey1, double& ex2, double& ey2);
  // The model area, made from the first array when there is none yet.
  TGObj* EnsureModelArea();
  void FitArraysToRect(double X1, double Y1, double X2, double Y2);
  bool GetExtentFromModelArea() const { return extentFromModelArea; }
  void SetExtentFromModelArea(bool value) { extentFromModelArea = value; }

  // --- owner hooks and state ---
  void SetModel(TFModel* window) { model = window; }
  TFModel* GetModel() const { return model; }
  void NotifyChanged();
  bool IsModified() const { return modified; }
  void SetModified(bool value) { modified = value; }
  bool IsGeoreferenced() const { return georeferenced; }
  std::int32_t GetLastId() const { return lastId; }
  std::int32_t GetFileObjectCount() const { return fileObjectCount; }

  TNotify OnGeoChange;
  TNotify OnChange;
  TObjectNotify OnObjectAdded;
  TObjectNotify OnObjectDeleted;

private:
  const TGObjType* FindType(std::int32_t code) const;
  void InsertAt(std::unique_ptr<TGObj> object, int insertIndex);
  void DestroyAt(size_t index, void* sender);
  std::unique_ptr<TGObj> ReadObjectImage(TStream& stream);

  std::vector<std::unique_ptr<TGObj>> objects;
  std::int32_t lastId = 0;
  double x0 = 0, y0 = 0;
  double x1 = 1, y1 = 1;
  double z0 = 0, z1 = 1;
  std::int32_t coordKind = CoordGeographic;
  std::string units = "м";
  std::vector<TGObjType> types;
  std::int32_t fileObjectCount = 0;
  TFModel* model = nullptr;
  bool georeferenced = false;
  bool modified = false;
  bool extentFromModelArea = true;
};
