#include "views3d/FormBit3DViewOptions.h"

#include "base/ColorRef.h"
#include "base/ModalCalls.h"
#include "data/TextConversion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace {

QString u(const char* text) { return QString::fromUtf8(text); }

QString Number(double value) { return QString::fromStdString(FloatToStrGeneral(value)); }

double NumberOf(const QLineEdit* edit) { return StrToFloatAny(edit->text().toStdString()); }

QLineEdit* AddEdit(QGridLayout* grid, const char* name, const char* caption, int row, int column)
{
  grid->addWidget(new QLabel(u(caption)), row, column);
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  grid->addWidget(edit, row, column + 1);
  return edit;
}

} // namespace

TFBit3DViewOptions::TFBit3DViewOptions(QWidget* owner) : QDialog(owner)
{
  setWindowTitle(u("Структура"));
  auto* grid = new QGridLayout(this);
  Scolormin = new QFrame;
  Scolormax = new QFrame;
  int row = 0;
  for (QFrame* swatch : {Scolormin, Scolormax}) {
    swatch->setObjectName(swatch == Scolormin ? "Scolormin" : "Scolormax");
    swatch->setFrameShape(QFrame::Box);
    swatch->setFixedSize(40, 20);
    swatch->setAutoFillBackground(true);
    swatch->installEventFilter(this);
    grid->addWidget(swatch, row, swatch == Scolormin ? 0 : 1);
  }
  CBcolorMix = new QComboBox;
  CBcolorMix->setObjectName("CBcolorMix");
  CBcolorMix->addItems({u("RGB"), u("HSV"), u("HSV-")});
  grid->addWidget(CBcolorMix, row, 2);
  Ealphamin = AddEdit(grid, "Ealphamin", "прозрачность %", ++row, 0);
  Ealphamax = new QLineEdit;
  Ealphamax->setObjectName("Ealphamax");
  grid->addWidget(Ealphamax, row, 2);
  grid->addWidget(new QLabel(u("отображать")), ++row, 0);
  CBwidthType = new QComboBox;
  CBwidthType->setObjectName("CBwidthType");
  CBwidthType->addItems({u("Каналы"), u("Ток"), u("Проводимость"), u("Напряженность"), u("Плотность заряда"),
                         u("Потенциал"), u("Плотность энергии"), u("Плотность мощности"),
                         u("Лин. плотность энергии"), u("Лин. плотность мощности"), u("Лин. плотность заряда")});
  grid->addWidget(CBwidthType, row, 1, 1, 2);

  auto* widths = new QGroupBox(u(" ширина каналов "));
  auto* widthGrid = new QGridLayout(widths);
  Ewidth = AddEdit(widthGrid, "Ewidth", "обычный", 0, 0);
  EwidthSel = AddEdit(widthGrid, "EwidthSel", "выдел.", 1, 0);
  EwidthBD = AddEdit(widthGrid, "EwidthBD", "пробоя", 2, 0);
  grid->addWidget(widths, ++row, 0, 1, 3);

  auto* range = new QGroupBox(u(" масштаб "));
  auto* rangeGrid = new QGridLayout(range);
  EminValue = AddEdit(rangeGrid, "EminValue", "мин", 0, 0);
  CBautoMin = new QCheckBox(u("авто"));
  CBautoMin->setObjectName("CBautoMin");
  rangeGrid->addWidget(CBautoMin, 0, 2);
  EmaxValue = AddEdit(rangeGrid, "EmaxValue", "макс", 1, 0);
  CBautoMax = new QCheckBox(u("авто"));
  CBautoMax->setObjectName("CBautoMax");
  rangeGrid->addWidget(CBautoMax, 1, 2);
  CBlogscale = new QCheckBox(u("логарифм"));
  CBlogscale->setObjectName("CBlogscale");
  rangeGrid->addWidget(CBlogscale, 2, 0, 1, 2);
  grid->addWidget(range, ++row, 0, 1, 3);
  connect(CBautoMin, &QCheckBox::toggled, this, [this] { UpdateRangeEdits(); });
  connect(CBautoMax, &QCheckBox::toggled, this, [this] { UpdateRangeEdits(); });

  Bok = new QPushButton(u("Ok"));
  Bok->setObjectName("Bok");
  Bok->setDefault(true);
  Bcancel = new QPushButton(u("Отмена"));
  Bcancel->setObjectName("Bcancel");
  grid->addWidget(Bok, ++row, 1);
  grid->addWidget(Bcancel, row, 2);
  connect(Bok, &QPushButton::clicked, this, &QDialog::accept);
  connect(Bcancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFBit3DViewOptions::Fill(const TTreeDisplaySettings& s)
{
  SetSwatchColour(Scolormin, s.colourMin);
  SetSwatchColour(Scolormax, s.colourMax);
  CBcolorMix->setCurrentIndex(s.mixMode);
  CBwidthType->setCurrentIndex(s.valueKind);
  Ewidth->setText(Number(s.width));
  EwidthSel->setText(Number(s.widthPicked));
  EwidthBD->setText(Number(s.widthBreakdown));
  EminValue->setText(Number(s.valueMin));
  EmaxValue->setText(Number(s.valueMax));
  CBautoMin->setChecked(s.autoMin);
  CBautoMax->setChecked(s.autoMax);
  CBlogscale->setChecked(s.logarithmic);
  Ealphamin->setText(QString::fromStdString(FloatToStrSep(TransparencyFromOpacity(s.opacityMin), ffFixed, 15, 0)));
  Ealphamax->setText(QString::fromStdString(FloatToStrSep(TransparencyFromOpacity(s.opacityMax), ffFixed, 15, 0)));
  UpdateRangeEdits();
}

void TFBit3DViewOptions::Apply(TTreeDisplaySettings& s) const
{
  s.colourMin = SwatchColour(Scolormin);
  s.colourMax = SwatchColour(Scolormax);
  s.mixMode = CBcolorMix->currentIndex();
  s.valueKind = CBwidthType->currentIndex();
  s.width = NumberOf(Ewidth);
  s.widthPicked = NumberOf(EwidthSel);
  s.widthBreakdown = NumberOf(EwidthBD);
  s.valueMin = NumberOf(EminValue);
  s.valueMax = NumberOf(EmaxValue);
  s.autoMin = CBautoMin->isChecked();
  s.autoMax = CBautoMax->isChecked();
  s.logarithmic = CBlogscale->isChecked();
  s.opacityMin = OpacityFromTransparency(NumberOf(Ealphamin));
  s.opacityMax = OpacityFromTransparency(NumberOf(Ealphamax));
}

COLORREF TFBit3DViewOptions::SwatchColour(const QFrame* swatch) const
{
  return ColorRefOf(swatch->palette().color(QPalette::Window));
}

void TFBit3DViewOptions::SetSwatchColour(QFrame* swatch, COLORREF colour)
{
  QPalette palette = swatch->palette();
  palette.setColor(QPalette::Window, QColorOf(colour));
  swatch->setPalette(palette);
}

void TFBit3DViewOptions::ChooseSwatchColour(QFrame* swatch)
{
  if (std::optional<QColor> chosen = ModalCalls().ChooseColour(this, QColorOf(SwatchColour(swatch))))
    SetSwatchColour(swatch, ColorRefOf(*chosen));
}

bool TFBit3DViewOptions::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::MouseButtonPress && (watched == Scolormin || watched == Scolormax)) {
    ChooseSwatchColour(static_cast<QFrame*>(watched));
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFBit3DViewOptions::UpdateRangeEdits()
{
  EminValue->setEnabled(!CBautoMin->isChecked());
  EmaxValue->setEnabled(!CBautoMax->isChecked());
}
