#pragma once
// TGPoint: a point of the map drawn as a symbol character, a small icon or
// both, with an optional name label below it.
#include <memory>
#include <string>

#include "gis/Bitmap.h"
#include "gis/GObj.h"

class TGPoint : public TGObj {
public:
  explicit TGPoint(TGIS* owner);
  ~TGPoint() override;

  void Save(TTagStream& stream) const override;
  void Load(TTagStream& stream) override;
  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  std::string GetKindName() const override;
  double RelativeDistanceTo(double u, double v, double& nearestU, double& nearestV) const override;
  double RelativeHandleDistanceTo(double u, double v, double& nearestU, double& nearestV,
                                  int& handle) const override;

  const std::string& GetSymbol() const { return symbol; }
  void SetSymbol(const std::string& text) { symbol = text; }
  const TFontRecord& GetSymbolFont() const { return symbolFont; }
  void SetSymbolFont(const TFontRecord& font) { symbolFont = font; }
  // 0 the point is the left (top) edge of the symbol or icon, 1 its centre,
  // 2 its right (bottom) edge.
  int GetHorizontalAlignment() const { return horizontalAlignment; }
  void SetHorizontalAlignment(int value) { horizontalAlignment = value; }
  int GetVerticalAlignment() const { return verticalAlignment; }
  void SetVerticalAlignment(int value) { verticalAlignment = value; }

  const TBitmap* GetIcon() const { return icon.get(); }
  const TBitmap* GetIconMask() const { return iconMask.get(); }
  // The mask is drawn first, black where the icon is opaque.
  void SetIcon(std::unique_ptr<TBitmap> picture, std::unique_ptr<TBitmap> mask);
  void DeleteIcon();

protected:
  void SetSymbolDefaults(const std::string& text, const TFontRecord& font);

private:
  std::unique_ptr<TBitmap> icon;
  std::unique_ptr<TBitmap> iconMask;
  std::int32_t horizontalAlignment = 1;
  std::int32_t verticalAlignment = 1;
  std::string symbol;
  TFontRecord symbolFont;
};
