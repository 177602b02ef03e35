#include "plots/FormSimplePlot.h"

#include "plots/ChartPanel.h"
#include "plots/FormSimplePlotLook.h"
#include "plots/FormSimplePlotOptions.h"
#include "plots/ReadOut.h"
#include "plots/SeriesDataView.h"

#include "base/ModalCalls.h"
#include "base/PlaceBeside.h"
#include "data/TextConversion.h"

#include <QAction>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGraphicsLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QString Tr(const char* text)
{
  return QString::fromUtf8(text);
}

QString Number(double value)
{
  return QString::fromStdString(FloatToStrSep(value, ffGeneral, 6, 0));
}

double ReadNumber(const QLineEdit* edit)
{
  return StrToFloatAny(edit->text().toStdString());
}

int32_t ReadInteger(const QLineEdit* edit)
{
  try {
    return StrToIntStrict(edit->text().toStdString());
  } catch (const EConvertError&) {
    return 0;
  }
}

// The data series a read-out lists, by title and axis: when they change, the
// values shown belong to a chart that is gone.
bool SameReadOutSeries(const TChartDescription& a, const TChartDescription& b)
{
  std::vector<std::pair<QString, int>> listed[2];
  const TChartDescription* both[] = {&a, &b};
  for (int k = 0; k < 2; ++k)
    if (both[k]->built)
      for (const TChartSeries& s : both[k]->series)
        if (s.tag == SeriesTagData)
          listed[k].emplace_back(s.title, s.axis);
  return listed[0] == listed[1];
}

} // namespace

TFSimplePlot::TFSimplePlot(TFMain* mainWindow, QWidget* owner) : TFGisView(mainWindow, owner)
{
  SetTag(WindowKindSimplePlot);
  setMinimumSize(120, 100);
  FPanel = new TChartPanel(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FPanel);
  FAdapter = std::make_unique<TChartAdapter>(FPanel);

  TPlotChartView* view = FPanel->View();
  view->onMouseDown = [this](QPoint pos, Qt::MouseButtons buttons) { return ChartMouseDown(pos, buttons); };
  view->onMouseMove = [this](QPoint pos, Qt::MouseButtons buttons) { return ChartMouseMove(pos, buttons); };
  view->onContextMenu = [this](QPoint globalPos) { PMGraphic->popup(globalPos); };
  view->onPan = [this](QPoint from, QPoint to) { ChartPan(from, to); };

  // The popup, in the order the user sees it; "Заголовок окна" comes from the base.
  PMGraphic = PMSimpleView;
  PMGraphic->setObjectName("PMGraphic");
  PMIdata = new QMenu(Tr("Просмотр данных"), PMGraphic);
  PMIdata->setObjectName("PMIdata");
  PMGraphic->insertMenu(PMICaption, PMIdata);
  PMIlook = new QAction(Tr("Инспектор"), PMGraphic);
  PMIlook->setObjectName("PMIlook");
  PMIlook->setCheckable(true);
  PMIOptions = new QAction(Tr("Настройки"), PMGraphic);
  PMIOptions->setObjectName("PMIOptions");
  PMGraphic->insertAction(PMICaption, PMIlook);
  PMGraphic->insertAction(PMICaption, PMIOptions);
  PMIRedraw = PMGraphic->addAction(Tr("Обновить"));
  PMIRedraw->setObjectName("PMIRedraw");
  connect(PMGraphic, &QMenu::aboutToShow, this, &TFSimplePlot::PMGraphicPopup);
  connect(PMIlook, &QAction::triggered, this, [this] { PMIlookClick(PMIlook); });
  connect(PMIOptions, &QAction::triggered, this, &TFSimplePlot::PMIOptionsClick);
  connect(PMIRedraw, &QAction::triggered, this, &TFSimplePlot::PMIRedrawClick);

  OptionsForm = FSimplePlotOptions();
  if (!isMaximized() && !isMinimized())
    resize(400, 250);
  Look = new TFSimplePlotLook(this);
  Look->setWindowTitle(Tr("Инспектор"));
  Look->hide();
  Look->OnClosed = [this] { HideCursorLines(); };
}

TFSimplePlot::~TFSimplePlot() = default;

QChart* TFSimplePlot::Chart() const
{
  return FPanel->Chart();
}

void TFSimplePlot::SaveToStream(TTagStream* stream)
{
  TFGisView::SaveToStream(stream);
  SavePlotSettings(*stream, Settings, UserCaption());
}

void TFSimplePlot::LoadFromStream(TTagStream* stream)
{
  TFGisView::LoadFromStream(stream);
  QString caption = UserCaption();
  LoadPlotSettings(*stream, Settings, caption);
  SetUserCaption(caption);
}

void TFSimplePlot::GetDefaultTitles(QString& title, QString& caption)
{
  title = Tr("Нажмите правую кнопку мыши для выбора данных");
  caption = Tr("График");
}

void TFSimplePlot::Refresh()
{
  if (!FAdapter)
    return;
  TPlotInput input;
  input.ready = ReadyMarker == PlotReadyMarker;
  input.hasData = input.ready && HasData();
  if (input.hasData) {
    GetDefaultTitles(input.defaultTitle, input.defaultCaption);
    input.xAxis = GetXAxis();
    input.axisTitles = GetAxisTitles();
    input.series = GetSeriesData();
  }
  TChartDescription built = BuildChart(Settings, std::move(input), {width(), height()});
  if (Look && !SameReadOutSeries(FLast, built))
    Look->Clear();
  FLast = std::move(built);
  if (FLast.built) {
    Settings = FLast.settings;
    AxisState = FLast.axisState;
  }
  FAdapter->Apply(FLast);
  if (FLast.built) {
    SetAutoCaption(FLast.autoCaption);
    TFSimpleView::Refresh();
  }
}

void TFSimplePlot::SettleLayout()
{
  // Qt Charts places the legend and the axes on a layout request it posts to
  // itself after a rebuild: a picture taken before shows neither.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

QImage TFSimplePlot::ChartImage(int scale)
{
  SettleLayout();
  QImage image(FPanel->size() * scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  FPanel->render(&image);
  image.setDevicePixelRatio(1);
  return image.convertToFormat(QImage::Format_RGB888);
}

QImage TFSimplePlot::Picture()
{
  return ChartImage(1);
}

QImage TFSimplePlot::PrintPicture(QSize clientSize, int scale)
{
  // Laid out as at that size (the builder spaces the markers by the width),
  // then drawn finer: text and lines keep their share of the picture.
  TTemporarySize laidOut(this, clientSize);
  return ChartImage(scale);
}

void TFSimplePlot::CopyToClipboard()
{
  ModalCalls().SetClipboardImage(ChartImage(1));
}

void TFSimplePlot::SaveBitmap(const QString& fileName)
{
  ChartImage(1).save(fileName, "BMP");
}

void TFSimplePlot::BuildDataViewMenu()
{
  const bool viewer = static_cast<bool>(SeriesDataViewer());
  int added = 0;
  for (size_t i = 0; i < FLast.series.size(); ++i) {
    const TChartSeries& s = FLast.series[i];
    if (s.tag != SeriesTagData)
      continue;
    QAction* item = PMIdata->addAction(s.title);
    item->setData(static_cast<int>(i));
    item->setEnabled(viewer);
    connect(item, &QAction::triggered, this, [this, i] { PMIdataClick(static_cast<int>(i)); });
    ++added;
  }
  if (added >= 2) {
    QAction* all = PMIdata->addAction(Tr("все ..."));
    all->setData(-1);
    all->setEnabled(viewer);
    connect(all, &QAction::triggered, this, [this] { PMIdataClick(-1); });
  }
}

void TFSimplePlot::ClearDataViewMenu()
{
  PMIdata->clear();
}

void TFSimplePlot::PMGraphicPopup()
{
  ClearDataViewMenu();
  ClearDataMenu(PMGraphic);
  BuildDataMenu(PMGraphic);
  BuildDataViewMenu();
  PMIlook->setChecked(LookOn);
}

void TFSimplePlot::PMIdataClick(int tag)
{
  if (!SeriesDataViewer())
    return;
  std::vector<int> indices;
  for (QAction* item : PMIdata->actions()) {
    int t = item->data().toInt();
    if (t != -1 && (tag == -1 || t == tag))
      indices.push_back(t);
  }
  TSeriesDataRequest request = MakeSeriesDataRequest(FLast, indices, FLast.bottom.title);
  SeriesDataViewer()(this, request);
}

void TFSimplePlot::SettingsToDialog()
{
  PlotSettingsToDialog(Settings, *OptionsForm);
}

void TFSimplePlot::DialogToSettings()
{
  DialogToPlotSettings(*OptionsForm, Settings);
}

void TFSimplePlot::PMIOptionsClick()
{
  SettingsToDialog();
  if (ModalCalls().ExecDialog(OptionsForm) == QDialog::Accepted) {
    DialogToSettings();
    Refresh();
  }
}

void TFSimplePlot::PMIlookClick(QObject* sender)
{
  LookOn = !LookOn;
  PMIlook->setChecked(LookOn);
  FPanel->View()->SetPanningAllowed(!LookOn);
  if (LookOn) {
    FPanel->View()->setRubberBand(QChartView::NoRubberBand);
    return;
  }
  if (sender) {
    if (Look)
      Look->hide();
    HideCursorLines();
  }
  FPanel->View()->setRubberBand(QChartView::RectangleRubberBand);
}

void TFSimplePlot::HideCursorLines()
{
  FAdapter->CursorLine(0)->setVisible(false);
  FAdapter->CursorLine(1)->setVisible(false);
}

bool TFSimplePlot::ReadOut(QPoint pos, bool activate)
{
  if (!Look || !LookOn || FAdapter->Series().empty())
    return false;
  QChart* chart = Chart();
  const QPointF at = chart->mapFromScene(FPanel->View()->mapToScene(pos));
  TReadOutPoint mouse;
  for (int k = 0; k < 2; ++k) {
    QPointF value = chart->mapToValue(at, FAdapter->Probe(k));
    if (k == 0)
      mouse.x = value.x();
    mouse.y[k] = value.y();
  }
  Look->ShowValues(ReadOutRows(FLast.series, mouse, FLast.bottom.title, {FLast.y[0].title, FLast.y[1].title},
                               AxisState));
  FAdapter->PlaceCursorLines(mouse.x, mouse.y[0]);
  if (Look->isHidden()) {
    PlaceLook();
    Look->show();
    if (activate)
      activateWindow();
  }
  return true;
}

void TFSimplePlot::PlaceLook()
{
  // Beside the sub-window with its frame, so the title bar stays free too.
  QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
  const QRect chart(frame->mapToGlobal(QPoint(0, 0)), frame->size());
  Look->move(PlaceBeside(chart, Look->frameGeometry().size(), frame->screen()->availableGeometry()));
}

bool TFSimplePlot::ChartMouseDown(QPoint pos, Qt::MouseButtons buttons)
{
  return buttons.testFlag(Qt::LeftButton) && ReadOut(pos, false);
}

bool TFSimplePlot::ChartMouseMove(QPoint pos, Qt::MouseButtons buttons)
{
  return buttons.testFlag(Qt::LeftButton) && ReadOut(pos, true);
}

bool TFSimplePlot::PanBy(double dx, std::array<double, 2> dy)
{
  const QRectF area = Chart()->plotArea();
  if (!FLast.built || area.width() <= 0 || area.height() <= 0)
    return false;
  FAdapter->ReadAxisRanges(FLast);
  std::array<double, 2> valueDy{};
  for (int k = 0; k < 2; ++k)
    valueDy[k] = dy[k] * (FLast.y[k].max - FLast.y[k].min) / area.height();
  PanChart(FLast, -dx * (FLast.bottom.max - FLast.bottom.min) / area.width(), valueDy, {width(), height()});
  FAdapter->ApplyAxes(FLast);
  // Labels of another width move the plot area at once, not at the next event.
  Chart()->layout()->activate();
  return true;
}

void TFSimplePlot::ChartPan(QPoint from, QPoint to)
{
  QChart* chart = Chart();
  chart->layout()->activate();
  TPlotChartView* view = FPanel->View();
  const QPointF start = chart->mapFromScene(view->mapToScene(from));
  const QPointF target = chart->mapFromScene(view->mapToScene(to));
  std::array<QPointF, 2> held;
  for (int k = 0; k < 2; ++k)
    held[k] = chart->mapToValue(start, FAdapter->Probe(k));
  QPointF step = target - start;
  std::array<double, 2> dy{step.y(), step.y()};
  // When the new labels moved the plot area, a second step puts the values
  // back under the mouse.
  for (int pass = 0; pass < 2 && PanBy(step.x(), dy); ++pass) {
    step.rx() = target.x() - chart->mapToPosition(held[0], FAdapter->Probe(0)).x();
    for (int k = 0; k < 2; ++k)
      dy[k] = target.y() - chart->mapToPosition(held[k], FAdapter->Probe(k)).y();
    if (std::abs(step.x()) < 0.25 && std::abs(dy[0]) < 0.25 && std::abs(dy[1]) < 0.25)
      break;
  }
}

void TFSimplePlot::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
  TFGisView::FormKeyDown(key, modifiers);
  if (modifiers.testFlag(Qt::ControlModifier) && (key == Qt::Key_C || key == Qt::Key_Insert)) {
    CopyToClipboard();
  } else if (key == Qt::Key_Shift) {
    LookOn = false;
    PMIlookClick(nullptr);
  }
}

void TFSimplePlot::keyReleaseEvent(QKeyEvent* event)
{
  if (event->key() == Qt::Key_Shift && !event->isAutoRepeat()) {
    LookOn = true;
    PMIlookClick(nullptr);
  }
  TFGisView::keyReleaseEvent(event);
}

void TFSimplePlot::resizeEvent(QResizeEvent* event)
{
  TFGisView::resizeEvent(event);
  Refresh();
}

void PlotSettingsToDialog(const TPlotSettings& s, TFSimplePlotOptions& d)
{
  d.CBlegendpos->setCurrentIndex(s.ShowLegend ? s.LegendAlignment + 1 : 0);
  d.CBbmonochrome->setChecked(s.Monochrome);
  d.Etitle->setText(s.ChartTitle);
  d.CBgradstyle->setCurrentIndex(s.Gradient ? s.GradientDirection + 1 : 0);
  TFSimplePlotOptions::SetShapeColour(d.Sgradcol1, s.GradientStart);
  TFSimplePlotOptions::SetShapeColour(d.Sgradcol2, s.GradientEnd);
  d.CBtitleUpDown->setCurrentIndex(s.ShowTitle ? s.TitlePosition + 1 : 0);
  d.CBtitleAlign->setCurrentIndex(s.TitleAlignment);
  d.HeldFonts = {s.TitleFont, s.LegendFont, s.AxisTitleFont, s.AxisLabelFont};

  d.Etitlex->setText(s.XTitle);
  d.CBbgridx->setChecked(s.XGrid);
  QRadioButton* shift[] = {d.Bshiftxno, d.Bshiftxfirst, d.Bshiftxvalue};
  shift[std::clamp(s.XShiftMode, 0, 2)]->setChecked(true);
  d.Eshiftx->setText(Number(s.XShift));
  d.CBautoscalexmin->setChecked(s.AutoXMin);
  d.CBautoscalexmax->setChecked(s.AutoXMax);
  d.Eminx->setText(Number(s.XMin));
  d.Emaxx->setText(Number(s.XMax));

  for (int k = 0; k < 2; ++k) {
    d.Etitley[k]->setText(s.YTitle[k]);
    d.CBbgridy[k]->setChecked(s.YGrid[k]);
    d.CBautoscaley[k]->setChecked(s.AutoY[k]);
    d.Eminy[k]->setText(Number(s.YMin[k]));
    d.Emaxy[k]->setText(Number(s.YMax[k]));
    d.CBblogy[k]->setChecked(s.LogY[k]);
    d.Emargin[k]->setText(QString::number(s.YLabelsSize[k]));
  }
  d.UpdateEnabled();
}

void DialogToPlotSettings(const TFSimplePlotOptions& d, TPlotSettings& s)
{
  const int title = d.CBtitleUpDown->currentIndex();
  s.ShowTitle = title != 0;
  s.TitlePosition = title - 1;
  s.TitleAlignment = d.CBtitleAlign->currentIndex();
  s.Monochrome = d.CBbmonochrome->isChecked();
  const int legend = d.CBlegendpos->currentIndex();
  s.ShowLegend = legend != 0;
  if (s.ShowLegend)
    s.LegendAlignment = legend - 1;
  s.ChartTitle = d.Etitle->text();
  const int gradient = d.CBgradstyle->currentIndex();
  s.Gradient = gradient != 0;
  if (s.Gradient)
    s.GradientDirection = gradient - 1;
  s.GradientStart = TFSimplePlotOptions::ShapeColour(d.Sgradcol1);
  s.GradientEnd = TFSimplePlotOptions::ShapeColour(d.Sgradcol2);
  s.TitleFont = d.HeldFonts[TFSimplePlotOptions::TitleFontIndex];
  s.LegendFont = d.HeldFonts[TFSimplePlotOptions::LegendFontIndex];
  s.AxisTitleFont = d.HeldFonts[TFSimplePlotOptions::AxisTitleFontIndex];
  s.AxisLabelFont = d.HeldFonts[TFSimplePlotOptions::AxisLabelFontIndex];

  s.XTitle = d.Etitlex->text();
  s.XGrid = d.CBbgridx->isChecked();
  s.AutoXMin = d.CBautoscalexmin->isChecked();
  s.AutoXMax = d.CBautoscalexmax->isChecked();
  s.XMin = ReadNumber(d.Eminx);
  s.XMax = ReadNumber(d.Emaxx);
  s.XShift = ReadNumber(d.Eshiftx);
  s.XShiftMode = 0;
  if (d.Bshiftxfirst->isChecked())
    s.XShiftMode = 1;
  if (d.Bshiftxvalue->isChecked())
    s.XShiftMode = 2;

  for (int k = 0; k < 2; ++k) {
    s.YTitle[k] = d.Etitley[k]->text();
    s.YGrid[k] = d.CBbgridy[k]->isChecked();
    s.LogY[k] = d.CBblogy[k]->isChecked();
    s.AutoY[k] = d.CBautoscaley[k]->isChecked();
    s.YMin[k] = ReadNumber(d.Eminy[k]);
    s.YMax[k] = ReadNumber(d.Emaxy[k]);
    s.YLabelsSize[k] = ReadInteger(d.Emargin[k]);
  }
}
