#include "maps/FrameSignPoint.h"

#include "gis/Bitmap.h"
#include "gis/GMark.h"
#include "maps/FrameCoord.h"
#include "maps/FrameIconSelect.h"
#include "maps/GreyText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TFontRecord InitialKeptFont(std::int32_t color)
{
  TFontRecord font;
  font.name.clear();
  font.size = 8;
  font.style = 0;
  font.color = color;
  return font;
}

TFmSignPoint::TFmSignPoint(const TDesign& design, TKeptSignValues& keptValues, QWidget* owner)
    : QWidget(owner), kept(keptValues)
{
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* captionRow = new QGridLayout();
  Lcaption = new QLabel(QString::fromUtf8(design.captionLabel), this);
  Ecaption = new QLineEdit(this);
  CBcaption = new QCheckBox(QString::fromUtf8(design.showLabel), this);
  captionRow->addWidget(Lcaption, 0, 0);
  captionRow->addWidget(Ecaption, 0, 1);
  captionRow->addWidget(CBcaption, 1, 1);
  Coords = new TFmCoord(this);
  FmIcon = new TFmIconSelect(this);
  if (design.positionFirst) {
    layout->addWidget(Coords);
    layout->addLayout(captionRow);
  } else {
    layout->addLayout(captionRow);
    layout->addWidget(Coords);
  }
  layout->addWidget(FmIcon);
  layout->addStretch(1);
  connect(Ecaption, &QLineEdit::textEdited, this, &TFmSignPoint::EcaptionChange);
  connect(CBcaption, &QCheckBox::clicked, this, &TFmSignPoint::CBcaptionClick);
}

void TFmSignPoint::FillPoint(TGMark& point, bool fromKeptValues, bool isMultiple)
{
  multiple = isMultiple;
  Coords->SetCoordType(point.GetCoordKind(), QString::fromStdString(point.GetUnits()));
  Coords->SetPosition(point.GetWorldX(), point.GetWorldY());
  Coords->SetMultiple(multiple);
  const bool ownValues = !fromKeptValues;
  FmIcon->SetSignFont(ownValues ? point.GetSymbolFont() : kept.font);
  const std::string sign = ownValues ? point.GetSymbol() : kept.sign;
  FmIcon->SetSignText(sign);
  FmIcon->SetKindFromText(sign);
  Ecaption->setText(QString::fromStdString(ownValues ? point.GetName() : kept.caption));
  CBcaption->setChecked(ownValues ? point.GetShowName() : kept.show);
  FmIcon->SetIcon(point.GetIcon());
  ShowGreyed(multiple);
  FmIcon->SetMultiple(multiple);
  captionEdited = showEdited = false;
  FmIcon->ClearEdited();
}

void TFmSignPoint::ApplyToPoint(TGMark& point)
{
  if (Writes(Coords->IsEdited())) {
    double x = point.GetWorldX();
    double y = point.GetWorldY();
    Coords->GetPosition(x, y);
    point.SetWorldXY(x, y);
  }
  if (Writes(captionEdited)) {
    kept.caption = Ecaption->text().toStdString();
    point.SetName(kept.caption);
  }
  if (Writes(showEdited)) {
    kept.show = CBcaption->isChecked();
    point.SetShowName(kept.show);
  }
  if (Writes(FmIcon->SignEdited() || FmIcon->KindEdited() || FmIcon->IconEdited())) {
    if (FmIcon->IsSignChosen()) {
      point.SetSymbol(FmIcon->SignText());
      point.DeleteIcon();
    } else {
      point.SetSymbol(std::string());
      const QImage& icon = FmIcon->IconImage();
      if (icon.isNull())
        point.DeleteIcon();
      else
        point.SetIcon(TBitmap::FromImage(icon), TBitmap::FromImage(icon));
    }
    kept.sign = FmIcon->SignText();
  }
  if (Writes(FmIcon->FontEdited())) {
    point.SetSymbolFont(FmIcon->SignFont());
    kept.font = FmIcon->SignFont();
  }
}

void TFmSignPoint::EcaptionChange()
{
  captionEdited = true;
  ShowTextGreyed(Ecaption, false);
  ShowTextGreyed(Lcaption, false);
}

void TFmSignPoint::CBcaptionClick()
{
  showEdited = true;
  ShowTextGreyed(CBcaption, false);
}

void TFmSignPoint::ShowGreyed(bool greyed)
{
  for (QWidget* widget :
       {static_cast<QWidget*>(Lcaption), static_cast<QWidget*>(Ecaption), static_cast<QWidget*>(CBcaption)})
    ShowTextGreyed(widget, greyed);
}
