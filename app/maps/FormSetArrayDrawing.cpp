#include "maps/FormSetArrayDrawing.h"

#include "base/ModalCalls.h"
#include "data/TextConversion.h"
#include "gis/BitmapCanvas.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "maps/ColorSwatch.h"
#include "maps/SignFont.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

TFSetArrayDrawing* theForm = nullptr;

const char* const kRowProperty = "tag";

QString GeneralText(double value, int digits)
{
  return QString::fromStdString(FloatToStrSep(value, ffGeneral, digits, 0));
}

QString DefaultText(double value)
{
  return QString::fromStdString(FloatToStrGeneral(value));
}

double NumberOf(const QLineEdit* edit)
{
  return StrToFloatAny(edit->text().toStdString());
}

QSpinBox* SpinBox(QWidget* parent, int minimum, int maximum, const char* hint, int step = 1)
{
  auto* spin = new QSpinBox(parent);
  spin->setRange(minimum, maximum);
  spin->setSingleStep(step);
  spin->setToolTip(QString::fromUtf8(hint));
  return spin;
}

QLineEdit* LineEdit(QWidget* parent, const char* hint)
{
  auto* edit = new QLineEdit(parent);
  edit->setToolTip(QString::fromUtf8(hint));
  return edit;
}

QRadioButton* Radio(QWidget* parent, const char* caption, const char* hint)
{
  auto* radio = new QRadioButton(QString::fromUtf8(caption), parent);
  radio->setToolTip(QString::fromUtf8(hint));
  return radio;
}

QComboBox* MixCombo(QWidget* parent)
{
  auto* combo = new QComboBox(parent);
  combo->addItems({"RGB", "HSV", "HSV-"});
  return combo;
}

int RowOf(const QObject* control)
{
  return control->property(kRowProperty).toInt();
}

} // namespace

TFSetArrayDrawing::TFSetArrayDrawing(QWidget* owner) : TFSized(owner, "FSetArrayDrawing")
{
  // Placed when first shown: a modal window never shows itself.
  BuildDesign();
}

void TFSetArrayDrawing::BuildDesign()
{
  setWindowTitle(QString::fromUtf8("Отрисовка массива"));
  setWindowFlag(Qt::Tool);
  resize(415, 399);
  auto* layout = new QHBoxLayout(this);
  auto* left = new QVBoxLayout();
  left->addWidget(new QLabel(QString::fromUtf8("Цвета заливок, цвета и уровни изолиний"), this));
  SB = new QScrollArea(this);
  auto* panel = new QWidget();
  panel->setMinimumSize(180, 20);
  SB->setWidget(panel);
  left->addWidget(SB, 1);
  layout->addLayout(left, 1);

  auto* right = new QVBoxLayout();
  auto* levels = new QGroupBox(QString::fromUtf8("Уровни изолиний"), this);
  auto* levelsLayout = new QGridLayout(levels);
  RBnumber = Radio(levels, "число", "указанное число уровней");
  Enumber = SpinBox(levels, 1, 100, "число изолиний");
  RBrange = Radio(levels, "с шагом", "уровни через указанные интервалы");
  Ebmesh = LineEdit(levels, "интервал жирных изолиний");
  Esmesh = LineEdit(levels, "интервал тонких изолиний");
  RB10mesh = Radio(levels, "дес. шаг", "уровни по десятичным интервалам");
  Ebmeshn = SpinBox(levels, 0, 50, "ориентировочное число жирных изолиний");
  Esmeshn = SpinBox(levels, 0, 9, "число тонких изолиний");
  RBlogmesh = Radio(levels, "лог. шаг", "уровни по логарифмической шкале");
  Ebmeshlog = SpinBox(levels, 1, 10, "степень 10 для множителя шага жирных изолиний");
  Ebmeshlog->setValue(1);
  Esmeshlog = SpinBox(levels, 0, 30, "число промежуточных тонких изолиний");
  levelsLayout->addWidget(RBnumber, 0, 0);
  levelsLayout->addWidget(Enumber, 0, 1);
  levelsLayout->addWidget(RBrange, 1, 0);
  levelsLayout->addWidget(Ebmesh, 1, 1);
  levelsLayout->addWidget(Esmesh, 1, 2);
  levelsLayout->addWidget(RB10mesh, 2, 0);
  levelsLayout->addWidget(Ebmeshn, 2, 1);
  levelsLayout->addWidget(Esmeshn, 2, 2);
  levelsLayout->addWidget(RBlogmesh, 3, 0);
  levelsLayout->addWidget(Ebmeshlog, 3, 1);
  levelsLayout->addWidget(Esmeshlog, 3, 2);
  right->addWidget(levels);

  auto* scale = new QGroupBox(QString::fromUtf8("Масштаб"), this);
  auto* scaleLayout = new QGridLayout(scale);
  CBautolevel = new QCheckBox(QString::fromUtf8("автоматически"), scale);
  CBautolevel->setToolTip(QString::fromUtf8("автоматическое изменение маштаба и уровней изолиний"));
  Lmax = new QLabel(QString::fromUtf8("максимум"), scale);
  Edrawmax = new QLineEdit(scale);
  Lmin = new QLabel(QString::fromUtf8("минимум"), scale);
  Edrawmin = new QLineEdit(scale);
  scaleLayout->addWidget(CBautolevel, 0, 0, 1, 2);
  scaleLayout->addWidget(Lmax, 1, 0);
  scaleLayout->addWidget(Edrawmax, 1, 1);
  scaleLayout->addWidget(Lmin, 2, 0);
  scaleLayout->addWidget(Edrawmin, 2, 1);
  right->addWidget(scale);

  auto* mix = new QGroupBox(QString::fromUtf8("Цветовые переходы"), this);
  auto* mixLayout = new QGridLayout(mix);
  CBfillmixtype = MixCombo(mix);
  CBcontmixtype = MixCombo(mix);
  mixLayout->addWidget(new QLabel(QString::fromUtf8("заливки"), mix), 0, 0);
  mixLayout->addWidget(CBfillmixtype, 0, 1);
  mixLayout->addWidget(new QLabel(QString::fromUtf8("изолиний"), mix), 1, 0);
  mixLayout->addWidget(CBcontmixtype, 1, 1);
  right->addWidget(mix);

  auto* labels = new QGroupBox(QString::fromUtf8("Надписи"), this);
  auto* labelsLayout = new QGridLayout(labels);
  Econtlabelsdist = SpinBox(labels, 10, 50000, "Растояние между надписями изолиний", 10);
  Econtlabelsdst0 = SpinBox(labels, 0, 50000, "Растояние между надписями изолиний", 10);
  SpeedButton1 = new QPushButton(QString::fromUtf8("Шрифт ..."), labels);
  CBslim = new QCheckBox(QString::fromUtf8("тонкие"), labels);
  CBbolt = new QCheckBox(QString::fromUtf8("жирные"), labels);
  Econtlabelsft = new QLineEdit(labels);
  Econtlabelscl = new QLineEdit(labels);
  labelsLayout->addWidget(Econtlabelsdist, 0, 0);
  labelsLayout->addWidget(Econtlabelsdst0, 0, 1);
  labelsLayout->addWidget(SpeedButton1, 0, 2);
  labelsLayout->addWidget(CBslim, 1, 0);
  labelsLayout->addWidget(CBbolt, 1, 1);
  labelsLayout->addWidget(new QLabel(QString::fromUtf8("выч."), labels), 2, 0);
  labelsLayout->addWidget(Econtlabelsft, 2, 1);
  labelsLayout->addWidget(new QLabel(QString::fromUtf8("множ."), labels), 3, 0);
  labelsLayout->addWidget(Econtlabelscl, 3, 1);
  right->addWidget(labels);

  auto* buttons = new QHBoxLayout();
  SBok = new QPushButton(QString::fromUtf8("Ok"), this);
  Bcancel = new QPushButton(QString::fromUtf8("Отмена"), this);
  Bapplay = new QPushButton(QString::fromUtf8("Применить"), this);
  for (QPushButton* button : {SBok, Bcancel, Bapplay}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  right->addLayout(buttons);
  layout->addLayout(right);

  for (QRadioButton* radio : {RBnumber, RBrange, RB10mesh, RBlogmesh})
    connect(radio, &QRadioButton::clicked, this, &TFSetArrayDrawing::SchemeRadioClick);
  connect(Enumber, &QSpinBox::valueChanged, this, &TFSetArrayDrawing::EnumberChange);
  for (QLineEdit* edit : {Ebmesh, Esmesh})
    connect(edit, &QLineEdit::textChanged, this, &TFSetArrayDrawing::StepEditChange);
  for (QSpinBox* spin : {Ebmeshn, Esmeshn})
    connect(spin, &QSpinBox::valueChanged, this, &TFSetArrayDrawing::DecimalCountChange);
  for (QSpinBox* spin : {Ebmeshlog, Esmeshlog})
    connect(spin, &QSpinBox::valueChanged, this, &TFSetArrayDrawing::LogCountChange);
  for (QLineEdit* edit : {Edrawmin, Edrawmax})
    connect(edit, &QLineEdit::textChanged, this, &TFSetArrayDrawing::RangeEditChange);
  connect(CBautolevel, &QCheckBox::toggled, this, &TFSetArrayDrawing::CBautolevelClick);
  for (QComboBox* combo : {CBfillmixtype, CBcontmixtype})
    connect(combo, &QComboBox::currentIndexChanged, this, &TFSetArrayDrawing::MixTypeChange);
  for (QSpinBox* spin : {Econtlabelsdist, Econtlabelsdst0})
    connect(spin, &QSpinBox::valueChanged, this, &TFSetArrayDrawing::EcontlabelsdistChange);
  for (QCheckBox* box : {CBslim, CBbolt})
    connect(box, &QCheckBox::toggled, this, &TFSetArrayDrawing::LabelFlagClick);
  connect(SpeedButton1, &QPushButton::clicked, this, &TFSetArrayDrawing::SpeedButton1Click);
  connect(SBok, &QPushButton::clicked, this, &TFSetArrayDrawing::SBokClick);
  connect(Bcancel, &QPushButton::clicked, this, &TFSetArrayDrawing::BcancelClick);
  connect(Bapplay, &QPushButton::clicked, this, &TFSetArrayDrawing::BapplayClick);
}

void TFSetArrayDrawing::SetArray(TGArray* newArray)
{
  if (newArray)
    array = newArray;
  if (!array)
    return;
  const TLevelScheme& scheme = array->GetLevelScheme();
  const TArrayDrawSettings& settings = array->GetDrawSettings();
  BuildLevelList();
  Enumber->setValue(array->GetLevelCount() - 1);
  CBautolevel->setChecked(scheme.automaticRange);
  Edrawmax->setText(GeneralText(settings.rangeMax, 6));
  Edrawmin->setText(GeneralText(settings.rangeMin, 6));
  Ebmesh->setText(DefaultText(scheme.boldStep));
  Esmesh->setText(DefaultText(scheme.thinStep));
  Ebmeshn->setValue(static_cast<int>(scheme.decimalBoldCount));
  Esmeshn->setValue(static_cast<int>(scheme.decimalThinCount));
  Ebmeshlog->setValue(static_cast<int>(scheme.logPower));
  Esmeshlog->setValue(static_cast<int>(scheme.logThinCount));
  CBfillmixtype->setCurrentIndex(settings.fillMix);
  CBcontmixtype->setCurrentIndex(settings.contourMix);
  Econtlabelsdist->setValue(settings.labelSpacing);
  Econtlabelsdst0->setValue(settings.labelStart);
  Econtlabelscl->setText(DefaultText(settings.labelFactor));
  Econtlabelsft->setText(DefaultText(settings.labelSubtrahend));
  labelFont = array->GetLabelFont();
  CBslim->setChecked(settings.labelThin != 0);
  CBbolt->setChecked(settings.labelBold != 0);
  ShowSchemeFromArray();
  Bapplay->setEnabled(false);
  applied = schemeChanged = tableEdited = false;
}

void TFSetArrayDrawing::BuildLevelList()
{
  QWidget* panel = SB->widget();
  const int existing = (static_cast<int>(levelControls.size()) + 2) / 3;
  const int top0 = 18 - SB->verticalScrollBar()->value();
  int n = array->GetLevelCount();
  if (n > MaxListedLevels) {
    ModalCalls().Message(this, QMessageBox::Warning, QString::fromUtf8("Предупреждение"),
                         QString::fromUtf8("Число изолиний слишком велико (") + QString::number(n) +
                             QString::fromUtf8(").\nБудут отображены первые ") + QString::number(MaxListedLevels),
                         QMessageBox::Ok);
    n = MaxListedLevels;
  }
  DeleteLevelControls(static_cast<size_t>(std::max(0, 3 * n - 2)));
  if (existing >= 1 && existing < n)
    AddLevelLine(panel, existing - 1, top0);
  for (int r = existing; r < n; ++r) {
    auto* fill = new TColorSwatch(panel);
    fill->move(8, top0 + 20 * r - 10);
    fill->setProperty(kRowProperty, r);
    fill->show();
    connect(fill, &TColorSwatch::Pressed, this, &TFSetArrayDrawing::LevelSwatchMouseDown);
    levelControls.push_back(fill);
    if (r < n - 1)
      AddLevelLine(panel, r, top0);
  }
  panel->resize(std::max(panel->width(), 180), top0 + 20 * n + 10);
  const TContourLevel* levels = array->GetLevels();
  for (int r = 0; r < n; ++r) {
    static_cast<TColorSwatch*>(levelControls[static_cast<size_t>(3 * r)])->SetColor(levels[r].fillColor);
    if (r >= n - 1)
      continue;
    static_cast<TColorSwatch*>(levelControls[static_cast<size_t>(3 * r + 1)])->SetColor(levels[r].lineColor);
    auto* value = static_cast<QLineEdit*>(levelControls[static_cast<size_t>(3 * r + 2)]);
    value->setText(GeneralText(levels[r].value, 8));
    QFont font = value->font();
    font.setBold(levels[r].lineKind != ContourLineThin);
    value->setFont(font);
  }
}

void TFSetArrayDrawing::AddLevelLine(QWidget* panel, int row, int top0)
{
  auto* line = new TColorSwatch(panel);
  line->move(38, top0 + 20 * row);
  line->setProperty(kRowProperty, row);
  line->show();
  connect(line, &TColorSwatch::Pressed, this, &TFSetArrayDrawing::LevelSwatchMouseDown);
  auto* value = new QLineEdit(panel);
  value->setGeometry(75, top0 + 20 * row, 100, 18);
  value->setProperty(kRowProperty, row);
  value->show();
  connect(value, &QLineEdit::textChanged, this, &TFSetArrayDrawing::LevelValueChange);
  levelControls.push_back(line);
  levelControls.push_back(value);
}

void TFSetArrayDrawing::DeleteLevelControls(size_t from)
{
  while (levelControls.size() > from) {
    delete levelControls.back();
    levelControls.pop_back();
  }
}

void TFSetArrayDrawing::ShowSchemeFromArray()
{
  const int scheme = array->GetLevelScheme().kind;
  RBnumber->setChecked(scheme == LevelSchemeCount);
  RBrange->setChecked(scheme == LevelSchemeStep);
  RB10mesh->setChecked(scheme == LevelSchemeDecimal);
  RBlogmesh->setChecked(scheme == LevelSchemeLog);
  EnableSchemeEdits();
}

void TFSetArrayDrawing::EnableSchemeEdits()
{
  Enumber->setEnabled(RBnumber->isChecked());
  Ebmesh->setEnabled(RBrange->isChecked());
  Esmesh->setEnabled(RBrange->isChecked());
  Ebmeshn->setEnabled(RB10mesh->isChecked());
  Esmeshn->setEnabled(RB10mesh->isChecked());
  Ebmeshlog->setEnabled(RBlogmesh->isChecked());
  Esmeshlog->setEnabled(RBlogmesh->isChecked());
}

int TFSetArrayDrawing::CheckedScheme() const
{
  if (RBlogmesh->isChecked())
    return LevelSchemeLog;
  if (RB10mesh->isChecked())
    return LevelSchemeDecimal;
  return RBrange->isChecked() ? LevelSchemeStep : LevelSchemeCount;
}

void TFSetArrayDrawing::UpdateApply()
{
  Bapplay->setEnabled(schemeChanged || tableEdited);
}

void TFSetArrayDrawing::SchemeRadioClick()
{
  if (!array)
    return;
  schemeChanged |= CheckedScheme() != array->GetLevelScheme().kind;
  EnableSchemeEdits();
  UpdateApply();
}

void TFSetArrayDrawing::EnumberChange()
{
  if (!array)
    return;
  schemeChanged |= Enumber->value() != array->GetLevelScheme().requestedCount;
  UpdateApply();
}

void TFSetArrayDrawing::StepEditChange()
{
  if (!array)
    return;
  const TLevelScheme& scheme = array->GetLevelScheme();
  schemeChanged |= NumberOf(Ebmesh) != scheme.boldStep || NumberOf(Esmesh) != scheme.thinStep;
  UpdateApply();
}

void TFSetArrayDrawing::DecimalCountChange()
{
  if (!array)
    return;
  const TLevelScheme& scheme = array->GetLevelScheme();
  schemeChanged |= Ebmeshn->value() != scheme.decimalBoldCount || Esmeshn->value() != scheme.decimalThinCount;
  UpdateApply();
}

void TFSetArrayDrawing::LogCountChange()
{
  if (!array)
    return;
  const TLevelScheme& scheme = array->GetLevelScheme();
  schemeChanged |= Ebmeshlog->value() != scheme.logPower || Esmeshlog->value() != scheme.logThinCount;
  UpdateApply();
}

void TFSetArrayDrawing::RangeEditChange()
{
  if (!array)
    return;
  const TArrayDrawSettings& settings = array->GetDrawSettings();
  schemeChanged |= NumberOf(Edrawmin) != settings.rangeMin || NumberOf(Edrawmax) != settings.rangeMax;
  UpdateApply();
}

void TFSetArrayDrawing::CBautolevelClick()
{
  if (!array)
    return;
  const bool automatic = CBautolevel->isChecked();
  const TArrayDrawSettings& settings = array->GetDrawSettings();
  Edrawmax->setText(GeneralText(automatic ? array->GetDataMax() : settings.rangeMax, 6));
  Edrawmin->setText(GeneralText(automatic ? array->GetDataMin() : settings.rangeMin, 6));
  for (QWidget* widget : {static_cast<QWidget*>(Edrawmax), static_cast<QWidget*>(Edrawmin),
                          static_cast<QWidget*>(Lmax), static_cast<QWidget*>(Lmin)})
    widget->setEnabled(!automatic);
  UpdateApply();
}

void TFSetArrayDrawing::MixTypeChange()
{
  if (!array)
    return;
  const TArrayDrawSettings& settings = array->GetDrawSettings();
  schemeChanged |= CBfillmixtype->currentIndex() != settings.fillMix ||
                   CBcontmixtype->currentIndex() != settings.contourMix;
  UpdateApply();
}

void TFSetArrayDrawing::EcontlabelsdistChange()
{
  if (!array)
    return;
  tableEdited |= Econtlabelsdist->value() != array->GetDrawSettings().labelSpacing;
  UpdateApply();
}

void TFSetArrayDrawing::LabelFlagClick()
{
  if (!array)
    return;
  const TArrayDrawSettings& settings = array->GetDrawSettings();
  tableEdited |= CBslim->isChecked() != (settings.labelThin != 0) || CBbolt->isChecked() != (settings.labelBold != 0);
  UpdateApply();
}

void TFSetArrayDrawing::SpeedButton1Click()
{
  const std::optional<TFontChoice> chosen = ModalCalls().ChooseFontColour(this, FontChoiceOf(labelFont));
  if (!chosen)
    return;
  labelFont = FontRecordFromChoice(*chosen, labelFont);
  tableEdited = true;
  UpdateApply();
}

void TFSetArrayDrawing::LevelSwatchMouseDown(TColorSwatch* swatch)
{
  const std::optional<QColor> chosen = ModalCalls().ChooseColour(this, QColorOf(swatch->Color()));
  if (!chosen || !array)
    return;
  swatch->SetColor(ColorRefOf(*chosen));
  const int row = RowOf(swatch);
  if (row < array->GetLevelCount()) {
    const TContourLevel& level = array->GetLevels()[row];
    const bool isFill = levelControls[static_cast<size_t>(3 * row)] == swatch;
    tableEdited |= swatch->Color() != (isFill ? level.fillColor : level.lineColor);
  }
  UpdateApply();
}

void TFSetArrayDrawing::LevelValueChange()
{
  auto* edit = qobject_cast<QLineEdit*>(sender());
  if (!edit || !array)
    return;
  const int row = RowOf(edit);
  if (row < array->GetLevelCount())
    tableEdited |= NumberOf(edit) != array->GetLevels()[row].value;
  UpdateApply();
}

void TFSetArrayDrawing::BapplayClick()
{
  if (!array)
    return;
  const int scheme = CheckedScheme();
  array->SetMixModes(CBfillmixtype->currentIndex(), CBcontmixtype->currentIndex());
  array->SetLabelFont(labelFont);
  array->GetLabelFontHandle();
  array->SetAutomaticRange(CBautolevel->isChecked());
  double minimum = NumberOf(Edrawmin);
  double maximum = NumberOf(Edrawmax);
  if (minimum > maximum)
    std::swap(minimum, maximum);
  array->SetRange(minimum, maximum);
  array->SetLabels(CBslim->isChecked(), CBbolt->isChecked(), Econtlabelsdist->value(), Econtlabelsdst0->value(),
                   NumberOf(Econtlabelscl), NumberOf(Econtlabelsft));
  const int limit = std::min(array->GetLevelCount(), MaxListedLevels);
  for (int r = 0; r < limit && 3 * r < static_cast<int>(levelControls.size()); ++r) {
    TContourLevel level = array->GetLevels()[r];
    level.fillColor = static_cast<TColorSwatch*>(levelControls[static_cast<size_t>(3 * r)])->Color();
    if (r < limit - 1) {
      level.lineColor = static_cast<TColorSwatch*>(levelControls[static_cast<size_t>(3 * r + 1)])->Color();
      level.value = NumberOf(static_cast<QLineEdit*>(levelControls[static_cast<size_t>(3 * r + 2)]));
    }
    array->SetLevel(r, level);
  }
  if (schemeChanged)
    array->SetLevelScheme(scheme, Enumber->value(), NumberOf(Ebmesh), NumberOf(Esmesh), Ebmeshn->value(),
                          Esmeshn->value(), Ebmeshlog->value(), Esmeshlog->value());
  if (TGIS* gis = array->GetOwner(); gis && gis->OnChange)
    gis->OnChange(nullptr);
  SetArray(nullptr);
  applied = true;
}

void TFSetArrayDrawing::SBokClick()
{
  BapplayClick();
  done(QDialog::Accepted);
}

void TFSetArrayDrawing::BcancelClick()
{
  done(QDialog::Rejected);
}

void TFSetArrayDrawing::done(int result)
{
  FormClose();
  TFSized::done(result);
}

void TFSetArrayDrawing::FormClose()
{
  DeleteLevelControls(0);
  // The dialog outlives the array; the next showing names its array again.
  array = nullptr;
}

TFSetArrayDrawing* SetArrayDrawingForm()
{
  if (!theForm)
    theForm = new TFSetArrayDrawing();
  return theForm;
}

void DestroySetArrayDrawing()
{
  delete theForm;
  theForm = nullptr;
}
