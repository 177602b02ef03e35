#include "maps/FormExtraIntraOptions.h"

#include "base/ModalCalls.h"
#include "gis/GArray.h"
#include "maps/FormArrayData.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
TFExtraIntraOptions* theForm = nullptr;

QString NumberText(double value)
{
  return QString::number(value, 'g', 15);
}

QPushButton* FlatButton(const QString& caption, QWidget* parent)
{
  auto* button = new QPushButton(caption, parent);
  button->setFlat(true);
  return button;
}
} // namespace

double ReadTypedNumber(const QString& text)
{
  const double value = ParseCellText(text);
  return value == 1e300 && text.trimmed().isEmpty() ? 0 : value;
}

std::vector<double> ReadWeights(const QString& text)
{
  std::vector<double> weights;
  const QStringList parts = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    if (weights.size() == TArrayBuildParams::MaxIdwWeights)
      break;
    bool ok = false;
    const double value = part.toDouble(&ok);
    if (!ok)
      break; // the reading stops at the first text that is no number
    weights.push_back(value);
  }
  if (weights.empty())
    return {1.0};
  if (std::all_of(weights.begin(), weights.end(), [](double w) { return w == 0; }))
    weights.back() = 1.0;
  return weights;
}

TFExtraIntraOptions::TFExtraIntraOptions(QWidget* owner) : TFSized(owner, QStringLiteral("FExtraIntraOptions"))
{
  BuildDesign();
  RestorePlacement();
}

void TFExtraIntraOptions::BuildDesign()
{
  setWindowTitle(QStringLiteral("Параметры эктрополяции"));
  resize(325, 269);
  auto* layout = new QVBoxLayout(this);
  PageControl = new QTabWidget(this);
  layout->addWidget(PageControl);
  const auto page = [this](const QString& caption, const QString& heading) {
    auto* widget = new QWidget(PageControl);
    auto* form = new QFormLayout(widget);
    form->addRow(new QLabel(heading, widget));
    PageControl->addTab(widget, caption);
    return form;
  };
  const auto edit = [](QFormLayout* form, const QString& label) {
    auto* line = new QLineEdit(form->parentWidget());
    form->addRow(label, line);
    return line;
  };
  const auto check = [](QFormLayout* form, const QString& label) {
    auto* box = new QCheckBox(label, form->parentWidget());
    form->addRow(box);
    return box;
  };
  const auto checkWithEdit = [](QFormLayout* form, const QString& label, QCheckBox*& box, QLineEdit*& line) {
    box = new QCheckBox(label, form->parentWidget());
    line = new QLineEdit(form->parentWidget());
    line->setEnabled(false);
    form->addRow(box, line);
  };

  QFormLayout* form = page(QStringLiteral("Лаплас"), QStringLiteral("Метод гармонической функции"));
  Elapzheta = edit(form, QStringLiteral("вес третьей производной"));
  Elapmaxit = edit(form, QStringLiteral("макс. число итераций"));
  Elapepsx = edit(form, QStringLiteral("относительная точность"));
  form = page(QStringLiteral("Гаусс"), QStringLiteral("Метод экспоненциального усреднения"));
  Egsalpha = edit(form, QStringLiteral("a"));
  Egsgamma = edit(form, QStringLiteral("b"));
  page(QStringLiteral("NN 1"), QStringLiteral("Метод естественных соседей 1"));
  form = page(QStringLiteral("NN 2"), QStringLiteral("Метод естественных соседей 2"));
  CBnn2method = new QComboBox(form->parentWidget());
  CBnn2method->addItems({QStringLiteral("линейный"), QStringLiteral("Сибсона"), QStringLiteral("Сахова")});
  form->addRow(QStringLiteral("Метод"), CBnn2method);
  CBnn2trans = new QComboBox(form->parentWidget());
  CBnn2trans->addItems(
      {QStringLiteral("без модификаций"), QStringLiteral("оквадраченный"), QStringLiteral("инвариантный")});
  form->addRow(QStringLiteral("Масштаб"), CBnn2trans);
  form = page(QStringLiteral("МОР"), QStringLiteral("Метод степеней обратных расстояний"));
  Emidweights = edit(form, QStringLiteral("веса в разложении по степеням r  -1,  -2,  -3,  ..."));
  Emidanisotrop = edit(form, QStringLiteral("анизотропия С-Ю"));
  form = page(QStringLiteral("ММК"), QStringLiteral("Метод минимальной кривизны"));
  Emmcmin = edit(form, QStringLiteral("минимальное значение"));
  Emmcmax = edit(form, QStringLiteral("максимальное значение"));
  checkWithEdit(form, QStringLiteral("изменить размер области З-В"), CBmmcnewwidth, Emmcwidth);
  Emmcanisotrop = edit(form, QStringLiteral("анизотропия С-Ю"));
  CBmmcdetrend = check(form, QStringLiteral("нормолизовать значения"));
  CBmmcdetrend->setToolTip(QStringLiteral("вычесть средние и тренд"));
  form = page(QStringLiteral("Кригинг"), QStringLiteral("Метод Крига"));
  Ekrmin = edit(form, QStringLiteral("минимальное значение"));
  Ekrmax = edit(form, QStringLiteral("максимальное значение"));
  checkWithEdit(form, QStringLiteral("изменить размер области З-В"), CBkrnewwidth, Ekrwidth);
  Ekranisotrop = edit(form, QStringLiteral("анизотропия С-Ю"));
  CBkrdetrend = check(form, QStringLiteral("нормолизовать значения"));
  CBkrdetrend->setToolTip(QStringLiteral("вычесть средние и тренд"));
  form->addRow(new QLabel(QStringLiteral("Делители"), form->parentWidget()));
  CBkrautoscale = new QCheckBox(QStringLiteral("авто"), form->parentWidget());
  CBkrautoscale->setChecked(true);
  Ekrpart_blk = new QLineEdit(form->parentWidget());
  form->addRow(CBkrautoscale, Ekrpart_blk);
  Ekrscalex = edit(form, QStringLiteral("З-В"));
  Ekrscaley = edit(form, QStringLiteral("С-Ю"));
  Ekrerror = edit(form, QStringLiteral("относит. ошибка"));

  CBfixboundary = new QCheckBox(QStringLiteral("зафиксировать значения на границах"), this);
  layout->addWidget(CBfixboundary);
  auto* buttons = new QHBoxLayout;
  Bbuild = FlatButton(QStringLiteral("Генерация"), this);
  Bok = FlatButton(QStringLiteral("Ok"), this);
  Bcancel = FlatButton(QStringLiteral("Отмена"), this);
  buttons->addWidget(Bbuild);
  buttons->addWidget(Bok);
  buttons->addWidget(Bcancel);
  layout->addLayout(buttons);

  connect(Bbuild, &QPushButton::clicked, this, &TFExtraIntraOptions::BbuildClick);
  connect(Bok, &QPushButton::clicked, this, &TFExtraIntraOptions::BokClick);
  connect(Bcancel, &QPushButton::clicked, this, &TFExtraIntraOptions::BcancelClick);
  connect(PageControl, &QTabWidget::currentChanged, this, &TFExtraIntraOptions::PageControlChange);
  connect(CBmmcnewwidth, &QCheckBox::toggled, this, &TFExtraIntraOptions::CBmmcnewwidthClick);
  connect(CBkrnewwidth, &QCheckBox::toggled, this, &TFExtraIntraOptions::CBkrnewwidthClick);
  connect(CBkrautoscale, &QCheckBox::toggled, this, &TFExtraIntraOptions::CBkrautoscaleClick);
  CBkrautoscaleClick();
}

void TFExtraIntraOptions::Open(TGArray* shown, TFArrayData* window, int page)
{
  array = shown;
  dataWindow = window;
  PageControl->setCurrentIndex(page);
  FormShow();
  if (array)
    ModalCalls().ExecDialog(this);
  array = nullptr;
  dataWindow = nullptr;
}

void TFExtraIntraOptions::FormShow()
{
  if (!array)
    return;
  const TArrayBuildParams& p = array->BuildParams();
  Egsalpha->setText(NumberText(p.gaussA));
  Egsgamma->setText(NumberText(p.gaussB));
  Elapzheta->setText(NumberText(p.laplaceThirdDerivativeWeight));
  Elapmaxit->setText(QString::number(p.laplaceMaxIterations));
  Elapepsx->setText(NumberText(p.laplaceAccuracy));
  CBnn2method->setCurrentIndex(p.nn2Method);
  CBnn2trans->setCurrentIndex(p.nn2Scaling);
  QStringList weights;
  for (int w = 0; w < std::clamp(p.idwWeightCount, 0, TArrayBuildParams::MaxIdwWeights); ++w)
    weights << NumberText(p.idwWeights[w]);
  Emidweights->setText(weights.join(QLatin1Char(' ')));
  Emidanisotrop->setText(NumberText(p.idwAnisotropy));
  Emmcmin->setText(NumberText(p.mcMinimum));
  Emmcmax->setText(NumberText(p.mcMaximum));
  CBmmcnewwidth->setChecked(p.mcNewWidthOn);
  Emmcwidth->setText(NumberText(p.mcWidth));
  Emmcanisotrop->setText(NumberText(p.mcAnisotropy));
  CBmmcdetrend->setChecked(p.mcDetrend);
  Ekrmin->setText(NumberText(p.krigingMinimum));
  Ekrmax->setText(NumberText(p.krigingMaximum));
  CBkrnewwidth->setChecked(p.krigingNewWidthOn);
  Ekrwidth->setText(NumberText(p.krigingWidth));
  Ekranisotrop->setText(NumberText(p.krigingAnisotropy));
  CBkrdetrend->setChecked(p.krigingDetrend);
  Ekrpart_blk->setText(NumberText(p.krigingRangeFactor));
  CBkrautoscale->setChecked(p.krigingAutomaticRanges);
  Ekrscalex->setText(NumberText(p.krigingRangeX));
  Ekrscaley->setText(NumberText(p.krigingRangeY));
  Ekrerror->setText(NumberText(p.krigingNugget));
  CBfixboundary->setChecked(p.fixedBoundary);
  CBmmcnewwidthClick();
  CBkrnewwidthClick();
  CBkrautoscaleClick();
}

void TFExtraIntraOptions::StoreParameters()
{
  if (!array)
    return;
  TArrayBuildParams& p = array->BuildParams();
  p.gaussA = ReadTypedNumber(Egsalpha->text());
  p.gaussB = ReadTypedNumber(Egsgamma->text());
  p.laplaceThirdDerivativeWeight = std::clamp(ReadTypedNumber(Elapzheta->text()), 0.0, 1.0);
  p.laplaceMaxIterations = static_cast<std::int32_t>(std::lround(ReadTypedNumber(Elapmaxit->text())));
  p.laplaceAccuracy = ReadTypedNumber(Elapepsx->text());
  p.nn2Method = CBnn2method->currentIndex();
  p.nn2Scaling = CBnn2trans->currentIndex();
  const std::vector<double> weights = ReadWeights(Emidweights->text());
  p.idwWeightCount = static_cast<std::int32_t>(weights.size());
  std::copy(weights.begin(), weights.end(), p.idwWeights);
  QStringList shown;
  for (double w : weights)
    shown << NumberText(w);
  Emidweights->setText(shown.join(QLatin1Char(' ')));
  p.idwAnisotropy = ReadTypedNumber(Emidanisotrop->text());
  p.mcMinimum = ReadTypedNumber(Emmcmin->text());
  p.mcMaximum = ReadTypedNumber(Emmcmax->text());
  p.mcNewWidthOn = CBmmcnewwidth->isChecked();
  p.mcWidth = ReadTypedNumber(Emmcwidth->text());
  p.mcAnisotropy = ReadTypedNumber(Emmcanisotrop->text());
  p.mcDetrend = CBmmcdetrend->isChecked();
  p.krigingMinimum = ReadTypedNumber(Ekrmin->text());
  p.krigingMaximum = ReadTypedNumber(Ekrmax->text());
  p.krigingNewWidthOn = CBkrnewwidth->isChecked();
  p.krigingWidth = ReadTypedNumber(Ekrwidth->text());
  p.krigingAnisotropy = ReadTypedNumber(Ekranisotrop->text());
  p.krigingDetrend = CBkrdetrend->isChecked();
  p.krigingRangeFactor = ReadTypedNumber(Ekrpart_blk->text());
  p.krigingAutomaticRanges = CBkrautoscale->isChecked();
  p.krigingRangeX = ReadTypedNumber(Ekrscalex->text());
  p.krigingRangeY = ReadTypedNumber(Ekrscaley->text());
  p.krigingNugget = ReadTypedNumber(Ekrerror->text());
  p.fixedBoundary = CBfixboundary->isChecked();
}

void TFExtraIntraOptions::BokClick()
{
  StoreParameters();
  done(1);
}

void TFExtraIntraOptions::BbuildClick()
{
  StoreParameters();
  if (dataWindow)
    dataWindow->Bbuild->click();
}

void TFExtraIntraOptions::PageControlChange()
{
  if (dataWindow)
    dataWindow->CBipType->setCurrentIndex(PageControl->currentIndex());
}

void TFExtraIntraOptions::CBmmcnewwidthClick()
{
  Emmcwidth->setEnabled(CBmmcnewwidth->isChecked());
}

void TFExtraIntraOptions::CBkrnewwidthClick()
{
  Ekrwidth->setEnabled(CBkrnewwidth->isChecked());
}

void TFExtraIntraOptions::CBkrautoscaleClick()
{
  const bool automatic = CBkrautoscale->isChecked();
  Ekrscalex->setEnabled(!automatic);
  Ekrscaley->setEnabled(!automatic);
  Ekrpart_blk->setEnabled(automatic);
}

TFExtraIntraOptions* ExtraIntraOptionsForm()
{
  if (!theForm)
    theForm = new TFExtraIntraOptions();
  return theForm;
}

void DestroyExtraIntraOptions()
{
  delete theForm;
  theForm = nullptr;
}
