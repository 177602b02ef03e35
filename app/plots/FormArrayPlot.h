#pragma once
// TFArrayPlot: "Профиль", the values of plane arrays of the GIS along the
// diagonal of chosen section objects. Every chosen array is profiled along
// every chosen section; the arrays are spread over two Y axes by the unit of
// the model quantity they show (AxisAssignment.h). The window has no model of
// its own: it reaches the model window through the GIS.

#include "plots/AxisAssignment.h"
#include "plots/FormSimplePlot.h"

#include <QString>

class QAction;
class QMenu;
class TGArray;
class TGIS;
class TGObj;
class TMemoryStream;

class TFArrayPlot : public TFSimplePlot {
  Q_OBJECT

public:
  static constexpr int32_t SectionTypeCode = 201;
  enum TSmoothing : int32_t { SmoothNone = 0, SmoothPoint = 1, SmoothBilinear = 2 };

  // A chosen path object; the levels bound the vertical paths of the 3D
  // profile window and are not used by the plane one.
  struct TSection {
    int32_t objectId = 0;
    double startLevel = 0;
    double endLevel = 0;
  };

  TFArrayPlot(TFMain* mainWindow, QWidget* owner, TGIS* gis);
  ~TFArrayPlot() override;

  int32_t Smoothing = SmoothBilinear;
  std::vector<TSection> Sections;
  TAxisLists<int32_t> SelectedArrays;
  QMenu* PMIArrays = nullptr; // "Массивы"
  QMenu* PMISections = nullptr; // "Сечения"

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void ObjectDeleted(void* sender, int32_t objectId) override;

  TPlotXAxis GetXAxis() override;
  bool HasData() override;
  void GetDefaultTitles(QString& title, QString& caption) override;
  TPlotAxisTitles GetAxisTitles() override;
  TPlotSeriesData GetSeriesData() override;
  void BuildDataMenu(QMenu* menu) override;
  void ClearDataMenu(QMenu* menu) override;
  void SettingsToDialog() override;
  void DialogToSettings() override;

  void BuildArrayMenu();
  virtual void BuildSectionMenu();
  int FindSection(int32_t objectId) const;
  void DropMissingSections();
  // The profile of the array along the section: positions (distances along the
  // path) and values; empty for a path of no length.
  virtual void GetSectionProfile(std::vector<double>& values, std::vector<double>& positions, int section,
                                 const TGArray& array) const;
  // The nested image of the section records in the project record.
  void SaveSections(TMemoryStream* stream) const;
  void LoadSections(TMemoryStream* stream);
  // The number of steps along a path: the window's width, at least one.
  int ProfileSteps() const;

  // The unit code of the model quantity the array object shows; 0 for none.
  int32_t ArrayAxisCode(int32_t objectId) const;
  bool IsArraySelected(int32_t objectId) const;
  void SelectArray(int32_t objectId);
  void DeselectArray(int32_t objectId);
  void ValidateArrays();
  void ArrayItemClick(int32_t objectId);
  virtual void SectionItemClick(int32_t objectId);

protected:
  // Bytes of one stored section record: the object id, in the 3D window
  // followed by the two levels.
  virtual int SectionRecordSize() const { return sizeof(int32_t); }
  QAction* MakeSectionItem(QAction* item, int32_t objectId);

private:
  TGArray* FindArray(int32_t objectId) const;
};
