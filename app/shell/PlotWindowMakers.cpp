#include "shell/PlotWindowMakers.h"

#include "shell/FormMain.h"
#include "shell/ViewFactory.h"

#include "base/ModalCalls.h"
#include "base/WindowKind.h"
#include "plots/FormArray3DPlot.h"
#include "plots/FormArrayPlot.h"
#include "plots/FormDimPlot.h"
#include "plots/FormTimePlot.h"
#include "plots/FormTreePlot.h"
#include "plots/SeriesDataView.h"
#include "plots/series/FormSeriesDataViewEx.h"

#include <vector>

void RegisterPlotWindows(TViewFactory& views)
{
  views.Register(WindowKindTimePlot, [](TFMain& main, TFModel* model) -> TFSimpleView* {
    return new TFTimePlot(&main, nullptr, main.Gis(), model);
  });
  views.Register(WindowKindDimPlot, [](TFMain& main, TFModel* model) -> TFSimpleView* {
    return new TFDimPlot(&main, nullptr, main.Gis(), model);
  });
  views.Register(WindowKindTreePlot, [](TFMain& main, TFModel* model) -> TFSimpleView* {
    return new TFTreePlot(&main, nullptr, main.Gis(), model);
  });
  // The profile window reaches the model through the GIS, not through the maker.
  views.Register(WindowKindArrayPlot, [](TFMain& main, TFModel*) -> TFSimpleView* {
    return new TFArrayPlot(&main, nullptr, main.Gis());
  });
  views.Register(WindowKindArray3DPlot, [](TFMain& main, TFModel*) -> TFSimpleView* {
    return new TFArray3DPlot(&main, nullptr, main.Gis());
  });
}

void InstallSeriesDataViewer(TFSeriesDataViewEx* table)
{
  if (!table) {
    SetSeriesDataViewer(nullptr);
    return;
  }
  SetSeriesDataViewer([table](QWidget*, TSeriesDataRequest& request) {
    std::vector<const TTimeSerie*> series;
    for (const auto& serie : request.series)
      series.push_back(serie.get());
    table->setWindowTitle(request.caption);
    table->ShowSeries(series.data(), static_cast<int>(series.size()), request.timeFormat, request.timeTitle);
    ModalCalls().ExecDialog(table);
  });
}
