#pragma once
// TFSimplePlot: the base of every chart window. It owns the chart, the settings
// that all plot kinds share, the popup menu, the inspector with its read-out
// window and the project record (group 1108). It never draws data of its own: a
// plot kind derives from it and answers the questions below; every Refresh asks
// them afresh, builds the chart description (BuildChart) and shows it.
//
// Writing a plot kind:
//  - the constructor sets the kind (SetTag), may replace OptionsForm by the
//    kind's own dialog, and calls MarkReady() as its last step: until then every
//    build leaves the chart empty, so resizes during construction draw nothing;
//  - GetXAxis, HasData, GetAxisTitles and GetSeriesData describe the data: the
//    series of the left (0) and right (1) Y axis in data units, each with its
//    SeriesStyle; the kind decides which axis a curve goes to (by unit code, with
//    the functions of AxisAssignment.h: a curve of a new unit takes the left
//    axis and pushes the left axis' curves to the right one, dropping what was
//    there). The series are returned by value, so nothing needs freeing; 1e300
//    marks a missing value;
//  - BuildDataMenu adds the kind's data-choice items to the popup menu each
//    time it opens, ClearDataMenu removes them; after a change of choice the
//    kind calls Refresh;
//  - SettingsToDialog / DialogToSettings handle the kind's own controls and call
//    the base versions for the shared ones;
//  - SaveToStream / LoadFromStream call the base first and then select the
//    kind's own record group (1109 time plot, 1110 profile, 1110 and then 1111
//    3D profile, 1210 dimension, 1309 tree plot), which follows group 1108.

#include "base/FormGisView.h"
#include "plots/ChartAdapter.h"
#include "plots/ChartBuilder.h"
#include "plots/PlotData.h"
#include "plots/PlotSettings.h"

#include <memory>

class QAction;
class QChart;
class QMenu;
class TChartPanel;
class TFSimplePlotLook;
class TFSimplePlotOptions;

class TFSimplePlot : public TFGisView {
  Q_OBJECT

public:
  TFSimplePlot(TFMain* mainWindow, QWidget* owner);
  ~TFSimplePlot() override;

  TPlotSettings Settings;
  TPlotAxisState AxisState; // left by the last build
  bool LookOn = false;
  int32_t ReadyMarker = 0;
  TFSimplePlotLook* Look = nullptr; // owned through the Qt parent
  TFSimplePlotOptions* OptionsForm = nullptr; // shared, not owned

  // The popup menu (the base view's menu) and its items.
  QMenu* PMGraphic = nullptr;
  QMenu* PMIdata = nullptr; // "Просмотр данных"
  QAction* PMIlook = nullptr;
  QAction* PMIOptions = nullptr;
  QAction* PMIRedraw = nullptr;

  TChartPanel* ChartPanel() const { return FPanel; }
  QChart* Chart() const;
  TChartAdapter& Adapter() { return *FAdapter; }
  const TChartDescription& LastBuild() const { return FLast; }

  void SaveToStream(TTagStream* stream) override;
  void LoadFromStream(TTagStream* stream) override;
  // The chart builder: asks the plot kind, builds, shows, then the caption rule.
  void Refresh() override;
  void CopyToClipboard() override;
  void SaveBitmap(const QString& fileName) override;
  QImage Picture() override;
  QImage PrintPicture(QSize clientSize, int scale) override;
  void ObjectAdded(void*, int32_t) override {}
  void ObjectDeleted(void*, int32_t) override {}

  // The plot kind's answers.
  virtual TPlotXAxis GetXAxis() = 0;
  virtual bool HasData() = 0;
  virtual void GetDefaultTitles(QString& title, QString& caption);
  virtual TPlotAxisTitles GetAxisTitles() = 0;
  virtual TPlotSeriesData GetSeriesData() = 0;
  virtual void BuildDataMenu(QMenu* menu) = 0;
  virtual void ClearDataMenu(QMenu* menu) = 0;
  // Fill "Просмотр данных" with the data series of the last build.
  virtual void BuildDataViewMenu();
  virtual void ClearDataViewMenu();
  virtual void SettingsToDialog();
  virtual void DialogToSettings();

  void PMGraphicPopup();
  void PMIOptionsClick();
  void PMIRedrawClick() { Refresh(); }
  // The inspector toggle; sender null for the temporary inspector of the Shift key.
  void PMIlookClick(QObject* sender);
  // The series data view of the item's tag: a series position, or -1 for all.
  void PMIdataClick(int tag);
  // Read-out at a position of the chart view; true when taken.
  bool ChartMouseDown(QPoint pos, Qt::MouseButtons buttons);
  bool ChartMouseMove(QPoint pos, Qt::MouseButtons buttons);
  // A step of a drag that pans the chart (view pixels): every axis moves by the
  // values the distance spans, so the data under the mouse follow it.
  void ChartPan(QPoint from, QPoint to);

protected:
  // The plot kind's constructor calls this last.
  void MarkReady() { ReadyMarker = PlotReadyMarker; }
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  bool ReadOut(QPoint pos, bool activate);
  void PlaceLook();
  bool PanBy(double dx, std::array<double, 2> dy);
  void HideCursorLines();
  void SettleLayout();
  // The chart as shown, drawn scale times finer.
  QImage ChartImage(int scale);

  TChartPanel* FPanel = nullptr;
  std::unique_ptr<TChartAdapter> FAdapter;
  TChartDescription FLast;
};

// The settings a dialog shows and their way back, shared by every chart window.
void PlotSettingsToDialog(const TPlotSettings& settings, TFSimplePlotOptions& dialog);
void DialogToPlotSettings(const TFSimplePlotOptions& dialog, TPlotSettings& settings);
