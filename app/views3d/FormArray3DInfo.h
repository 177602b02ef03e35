#pragma once
// TFArray3DInfo: the small window that lists, for the three-dimensional arrays
// of the project, the cell picked by a click into a 3D view and its value.
// The 3D view hands it the picked points in the GIS's relative coordinates.
#include "base/FormGisView.h"

#include <array>
#include <vector>

class QTableWidget;

class TFArray3DInfo : public TFGisView {
  Q_OBJECT

public:
  using TPoint = std::array<double, 3>;

  TFArray3DInfo(TFMain* mainWindow, QWidget* owner);

  // Lists the array (once) and replaces the picked points.
  void SetPoints(int32_t arrayId, std::vector<TPoint> points);
  const std::vector<int32_t>& ArrayIds() const { return FArrayIds; }
  const std::vector<TPoint>& Points() const { return FPoints; }

  void Refresh() override;
  // The list is no picture.
  void CopyToClipboard() override {}
  void SaveBitmap(const QString&) override {}
  // The listed ids are looked up on every refresh; a lost one gives an empty row.
  void ObjectAdded(void*, int32_t) override {}
  void ObjectDeleted(void*, int32_t) override {}
  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;

  // A double click: the arrays to list are chosen in "Массивы".
  void SGdataClick();

  QTableWidget* SGdata = nullptr;

protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  void FitColumns();

  std::vector<int32_t> FArrayIds;
  std::vector<TPoint> FPoints;
};
