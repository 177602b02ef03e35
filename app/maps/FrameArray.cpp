#include "maps/FrameArray.h"

#include "base/ModalCalls.h"
#include "gis/GArray.h"
#include "gis/GIS.h"
#include "maps/ColorSwatch.h"
#include "maps/FormSetArrayDrawing.h"
#include "maps/FrameRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {
constexpr double kPercentPerUnit = 0.00152587890625; // 100 / 65536
constexpr double kUnitsPerPercent = 655.36;
} // namespace

TFmArray::TFmArray(QWidget* owner) : QWidget(owner)
{
  BuildDesign();
}

TFmArray::TFmArray(TGArray* array, bool multiple, QWidget* owner) : TFmArray(owner)
{
  if (array)
    FillFrom(*array, multiple);
}

void TFmArray::BuildDesign()
{
  setObjectName("FmArray");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* unitRow = new QHBoxLayout();
  unitRow->addWidget(new QLabel(QString::fromUtf8("Единица измерения:"), this));
  Lunit = new QLabel(this);
  unitRow->addWidget(Lunit, 1);
  Bdata = new QPushButton(QString::fromUtf8("Данные"), this);
  unitRow->addWidget(Bdata);
  layout->addLayout(unitRow);
  GroupBox = new QGroupBox(QString::fromUtf8("Отрисовка"), this);
  groupLayout = new QGridLayout(GroupBox);
  CBfill = new QCheckBox(QString::fromUtf8("заполнение"), GroupBox);
  CBfilltype = new QComboBox(GroupBox);
  CBfilltype->setToolTip(QString::fromUtf8("тип заполнения"));
  CBfilltype->addItems({QString::fromUtf8("прозрачностью"), QString::fromUtf8("штриховкой"),
                        QString::fromUtf8("цветом")});
  Sfill1 = new TColorSwatch(GroupBox);
  Sfill2 = new TColorSwatch(GroupBox);
  for (TColorSwatch* swatch : {Sfill1, Sfill2})
    swatch->setToolTip(QString::fromUtf8("цвет заполнения"));
  CBdiscfill = new QCheckBox(QString::fromUtf8("ступени"), GroupBox);
  Ealpha = new QSpinBox(GroupBox);
  Ealpha->setToolTip(QString::fromUtf8("прозрачность"));
  Ealpha->setRange(0, 100);
  Ealpha->setSingleStep(5);
  CBdrawgrids = new QCheckBox(QString::fromUtf8(" Сетка"), GroupBox);
  Sgrid = new TColorSwatch(GroupBox);
  Sgrid->setToolTip(QString::fromUtf8("Цвет сетки"));
  CBdrawcontour = new QCheckBox(QString::fromUtf8("Изолинии"), GroupBox);
  Scontour = new TColorSwatch(GroupBox);
  Scontour->setToolTip(QString::fromUtf8("Цвет изолиний"));
  SpeedButton1 = new QPushButton(QString::fromUtf8("Дополнительно"), GroupBox);
  SpeedButton1->setFlat(true);
  groupLayout->addWidget(CBfill, 0, 0);
  groupLayout->addWidget(CBfilltype, 0, 1, 1, 2);
  groupLayout->addWidget(Sfill1, 1, 0);
  groupLayout->addWidget(Sfill2, 1, 1);
  groupLayout->addWidget(CBdiscfill, 2, 0);
  groupLayout->addWidget(Ealpha, 2, 1);
  groupLayout->addWidget(CBdrawgrids, 3, 0);
  groupLayout->addWidget(Sgrid, 3, 1);
  groupLayout->addWidget(CBdrawcontour, 4, 0);
  groupLayout->addWidget(Scontour, 4, 1);
  groupLayout->addWidget(SpeedButton1, 5, 0, 1, 2);
  layout->addWidget(GroupBox);
  layout->addStretch(1);
  connect(Bdata, &QPushButton::clicked, this, &TFmArray::BdataClick);
  connect(SpeedButton1, &QPushButton::clicked, this, &TFmArray::SpeedButton1Click);
  connect(CBfill, &QCheckBox::clicked, this, &TFmArray::CBfilltypeChange);
  connect(CBfilltype, &QComboBox::currentIndexChanged, this, &TFmArray::CBfilltypeChange);
  connect(Ealpha, &QSpinBox::valueChanged, this, &TFmArray::EalphaChange);
  connect(CBdiscfill, &QCheckBox::clicked, this, &TFmArray::CBdiscfillClick);
  connect(CBdrawgrids, &QCheckBox::clicked, this, &TFmArray::CBdrawgridsClick);
  connect(CBdrawcontour, &QCheckBox::clicked, this, &TFmArray::CBdrawcontourClick);
  connect(Sfill1, &TColorSwatch::Pressed, this, &TFmArray::SfillMouseDown);
  connect(Sfill2, &TColorSwatch::Pressed, this, &TFmArray::SfillMouseDown);
  connect(Sgrid, &TColorSwatch::Pressed, this, &TFmArray::SgridMouseDown);
  connect(Scontour, &TColorSwatch::Pressed, this, &TFmArray::ContourColorMouseDown);
}

TGArray* TFmArray::Array() const
{
  return gis ? dynamic_cast<TGArray*>(gis->FindObjectByIdAndType(arrayId, arrayType)) : nullptr;
}

void TFmArray::FillFrom(TGArray& array, bool /*multiple*/)
{
  gis = array.GetOwner();
  arrayId = array.GetId();
  arrayType = array.GetTypeCode();
  const TArrayDrawSettings& settings = array.GetDrawSettings();
  const int fillType = array.GetFillType();
  guard = true;
  CBfill->setChecked(fillType != 0);
  CBdrawgrids->setChecked(settings.gridOn != 0);
  CBfilltype->setCurrentIndex(fillType >= 1 ? fillType - 1 : 0);
  CBdrawcontour->setChecked(settings.contoursOn != 0);
  Sfill2->SetColor(settings.fillColor2);
  Sfill1->SetColor(settings.fillColor1);
  Sgrid->SetColor(settings.gridColor);
  Scontour->SetColor(settings.contourColor2);
  Ealpha->setValue(static_cast<int>(std::trunc(settings.transparency1 * kPercentPerUnit + 0.5)));
  CBdiscfill->setChecked(settings.steppedFill != 0);
  const std::string& unit = array.GetUnitText();
  Lunit->setText(unit.empty() ? QString() : "(" + QString::fromStdString(unit) + ")");
  ShowFillControls(fillType);
  const TFrameRegistry* registry = GetFrameRegistry();
  // Until a data window exists for the kind, the button says so by being disabled.
  Bdata->setEnabled(registry && registry->HasDataWindow(arrayType));
  guard = false;
}

void TFmArray::ApplyTo(TGArray& /*array*/) {}

void TFmArray::ShowFillControls(int fillType)
{
  CBfilltype->setEnabled(fillType != 0);
  Sfill1->setVisible(fillType != 0);
  Sfill2->setVisible(fillType != 0);
  Ealpha->setEnabled(fillType == FillOneTransparency);
  CBdiscfill->setEnabled(fillType == FillTransparencyRamp || fillType == FillOneTransparency);
}

void TFmArray::FireChanged() const
{
  if (gis && gis->OnChange)
    gis->OnChange(nullptr);
}

void TFmArray::SetModified() const
{
  if (gis)
    gis->SetModified(true);
}

void TFmArray::Notify() const
{
  FireChanged();
  SetModified();
}

void TFmArray::CBfilltypeChange()
{
  TGArray* array = Array();
  if (guard || !array)
    return;
  const int fillType = CBfill->isChecked() ? CBfilltype->currentIndex() + 1 : 0;
  ShowFillControls(fillType);
  array->SetFillType(fillType);
  Notify();
}

void TFmArray::EalphaChange()
{
  TGArray* array = Array();
  if (guard || !array)
    return;
  const int alpha = static_cast<int>(std::trunc(Ealpha->value() * kUnitsPerPercent));
  array->SetAlpha(alpha, alpha);
  array->SetContoursOn(CBdrawcontour->isChecked());
  Notify();
}

void TFmArray::CBdiscfillClick()
{
  TGArray* array = Array();
  if (guard || !array)
    return;
  array->SetSteppedFill(CBdiscfill->isChecked());
  array->SetContoursOn(CBdrawcontour->isChecked());
  Notify();
}

void TFmArray::CBdrawgridsClick()
{
  TGArray* array = Array();
  if (guard || !array)
    return;
  guard = true;
  const TArrayDrawSettings& settings = array->GetDrawSettings();
  const bool on = settings.gridOn == 0;
  array->SetGrid(on, settings.gridColor);
  CBdrawgrids->setChecked(on);
  Notify();
  guard = false;
}

void TFmArray::CBdrawcontourClick()
{
  TGArray* array = Array();
  if (guard || !array)
    return;
  array->SetContoursOn(CBdrawcontour->isChecked());
  Notify();
}

bool TFmArray::AskColor(const QColor& initial, COLORREF& chosen)
{
  dialogColor = initial;
  const std::optional<QColor> answer = ModalCalls().ChooseColour(this, initial);
  if (!answer)
    return false;
  dialogColor = *answer;
  chosen = ColorRefOf(*answer);
  return true;
}

void TFmArray::SgridMouseDown()
{
  TGArray* array = Array();
  COLORREF color = 0;
  if (!array || !AskColor(QColorOf(Sgrid->Color()), color))
    return;
  array->SetGrid(array->GetDrawSettings().gridOn != 0, color);
  FireChanged();
  Sgrid->SetColor(color);
  SetModified();
}

void TFmArray::ContourColorMouseDown()
{
  TGArray* array = Array();
  COLORREF color = 0;
  if (!array || !AskColor(QColorOf(Scontour->Color()), color))
    return;
  Scontour->SetColor(color);
  array->SetContourColors(color, color);
  Notify();
}

void TFmArray::SfillMouseDown(TColorSwatch* swatch)
{
  TGArray* array = Array();
  COLORREF color = 0;
  if (!array || !AskColor(dialogColor, color))
    return;
  swatch->SetColor(color);
  array->SetFillColors(Sfill1->Color(), Sfill2->Color());
  Notify();
}

void TFmArray::ChangeShownPart(const std::function<void()>& change)
{
  if (guard)
    return;
  guard = true;
  change();
  FireChanged();
  guard = false;
  SetModified();
}

bool TFmArray::OpenDataWindow() const
{
  TGArray* array = Array();
  const TFrameRegistry* registry = GetFrameRegistry();
  return array && registry && registry->OpenDataWindow(*array);
}

void TFmArray::BdataClick()
{
  if (OpenDataWindow())
    Notify();
}

void TFmArray::SpeedButton1Click()
{
  TGArray* array = Array();
  if (!array)
    return;
  TFSetArrayDrawing* dialog = SetArrayDrawingForm();
  dialog->SetArray(array);
  ModalCalls().ExecDialog(dialog);
  if (!dialog->Applied())
    return;
  SetModified();
  FireChanged();
}
