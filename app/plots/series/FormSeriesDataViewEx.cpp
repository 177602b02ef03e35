#include "plots/series/FormSeriesDataViewEx.h"

#include "base/ModalCalls.h"
#include "data/TimeSerie.h"
#include "model/FormModel.h"
#include "plots/series/FrameEditTimeSeries.h"

#include <QPushButton>

TFSeriesDataViewEx* FSeriesDataViewEx = nullptr;

TFSeriesDataViewEx::TFSeriesDataViewEx(QWidget* owner) : TFSized(owner, QStringLiteral("FSeriesDataViewEx"))
{
  setObjectName("FSeriesDataViewEx");
  setWindowTitle("Просмотр данных");
  setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setMinimumSize(200, 300);
  resize(294, 320);
  Viewer = new TFmEditTimeSeries(this);
  Viewer->setObjectName("Viewer");
  Viewer->SetEditable(false);
  Viewer->SetHeaderSeparator("\n");
  Bok = new QPushButton("Ok", this);
  Bok->setObjectName("Bok");
  Bok->setFlat(true);
  QFont bold = Bok->font();
  bold.setBold(true);
  Bok->setFont(bold);
  Bok->resize(75, 25);
  connect(Bok, &QPushButton::clicked, this, [this] { done(1); });
  FormResize();
  RestorePlacement();
}

void TFSeriesDataViewEx::ShowSeries(const TTimeSerie* const* series, int count, int timeCode, const QString& title)
{
  Viewer->SetSeries(series, count, timeCode, title);
}

bool TFSeriesDataViewEx::ShowModelSeries(const TFModel& model, const std::vector<TSeriesKey>& keys, int timeCode,
                                         const QString& title)
{
  std::vector<const TTimeSerie*> series;
  for (const TSeriesKey& key : keys)
    if (const TTimeSerie* found = model.FindSeries(key.quantityId, key.objectId))
      series.push_back(found);
  if (series.empty())
    return false;
  ShowSeries(series.data(), static_cast<int>(series.size()), timeCode, title);
  ModalCalls().ExecDialog(this);
  return true;
}

void TFSeriesDataViewEx::resizeEvent(QResizeEvent* event)
{
  TFSized::resizeEvent(event);
  FormResize();
}

void TFSeriesDataViewEx::FormResize()
{
  Viewer->setGeometry(0, 0, width(), height() - 35);
  Bok->move((width() - Bok->width()) / 2, height() - 30);
}
