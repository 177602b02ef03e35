#pragma once
// TGMap: a raster or vector picture stretched over its rectangle, laid under
// the model's arrays. The main window makes one for every new project.
#include <memory>

#include "gis/Bitmap.h"
#include "gis/GRect.h"
#include "gis/Metafile.h"

class TGMap : public TGRect {
public:
  explicit TGMap(TGIS* owner);
  // The map takes the bitmap.
  TGMap(TGIS* owner, double originX, double originY, double extentX, double extentY,
        std::unique_ptr<TBitmap> picture);
  ~TGMap() override;

  void Save(TTagStream& stream) const override;
  void Load(TTagStream& stream) override;
  void Draw(double x1, double y1, double x2, double y2, TMemBitmap* target) override;
  TEditorFrame* CreateEditorFrame(bool fromKeptValues, bool multiple, QWidget* owner) override;
  void ApplyEditorFrame(TEditorFrame* frame) override;
  void FillEditorFrame(TEditorFrame* frame, bool fromKeptValues, bool multiple) override;

  // Replaces both pictures by the bitmap.
  void SetBitmap(std::unique_ptr<TBitmap> picture);
  const TBitmap* GetBitmap() const { return bitmap.get(); }
  const TMetafile* GetMetafile() const { return metafile.get(); }

private:
  std::unique_ptr<TBitmap> bitmap;
  std::unique_ptr<TMetafile> metafile;
};
