#pragma once
// TFDimPlot: "Размерность структуры", the length of the discharge structure
// against its size on logarithmic scales (millimetres), with a straight line
// whose slope is the fractal dimension: the engine's fit, or the user's own
// line from the options dialog.

#include "base/ModelView.h"
#include "plots/FormSimplePlot.h"

class TFBitModel;
class TGIS;

class TFDimPlot : public TFSimplePlot, public TModelView {
  Q_OBJECT

public:
  TFDimPlot(TFMain* mainWindow, QWidget* owner, TGIS* gis, TFModel* model);

  TFBitModel* Model = nullptr;
  double LineSlope = 0;
  double LineIntercept = 0; // lengths in millimetres
  bool CustomLine = false;

  // Only a breakdown model has a discharge structure to show.
  void SetModel(TFModel* model) override;

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;

  TPlotXAxis GetXAxis() override;
  bool HasData() override;
  void GetDefaultTitles(QString& title, QString& caption) override;
  TPlotAxisTitles GetAxisTitles() override;
  TPlotSeriesData GetSeriesData() override;
  void BuildDataMenu(QMenu*) override {}
  void ClearDataMenu(QMenu*) override {}
  void SettingsToDialog() override;
  void DialogToSettings() override;
};
