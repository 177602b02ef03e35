#pragma once
// TFArray3DPlot: vertical profiles through the three-dimensional arrays of the
// GIS at chosen point objects, from a start to an end level (world z) that the
// user types for each of them. Plane arrays chosen here are still profiled
// along the object's diagonal, which a point object does not have: their
// series stay empty.

#include "plots/FormArrayPlot.h"

class TFArray3DPlot : public TFArrayPlot {
  Q_OBJECT

public:
  static constexpr double NotAsked = 1e300;

  TFArray3DPlot(TFMain* mainWindow, QWidget* owner, TGIS* gis);

  // The levels proposed for the next path; NotAsked until the window first asks.
  double StartLevel = NotAsked;
  double EndLevel = NotAsked;
  // The levels last typed in any 3D profile window of the run: a new window
  // proposes them.
  static inline double LastStartLevel = 0;
  static inline double LastEndLevel = NotAsked;

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  void BuildSectionMenu() override;
  void GetSectionProfile(std::vector<double>& values, std::vector<double>& positions, int section,
                         const TGArray& array) const override;
  // Asks the levels of the object's path, also again for the only chosen path;
  // a chosen path among several is removed without asking.
  void SectionItemClick(int32_t objectId) override;
  // The prompt of both level inputs: depth or height by the sign of the z
  // scale, and the z range of the GIS's first volume array.
  QString LevelPrompt() const;

protected:
  int SectionRecordSize() const override { return sizeof(int32_t) + 2 * sizeof(double); }

private:
  double AskLevel(const QString& caption, const QString& prompt, double proposed);
};
