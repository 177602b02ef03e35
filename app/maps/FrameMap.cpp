#include "maps/FrameMap.h"

#include "base/ModalCalls.h"
#include "data/qt/RegistrySettings.h"
#include "gis/Bitmap.h"
#include "gis/GIS.h"
#include "gis/GMap.h"
#include "data/TextConversion.h"
#include "maps/FrameCoord.h"
#include "maps/GreyText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString ExtentText(double value)
{
  return QString::fromStdString(FloatToStrSep(value, ffFixed, 6, 1));
}

} // namespace

TFmMap::TFmMap(TGMap* map, bool isMultiple, QWidget* owner) : QWidget(owner)
{
  setObjectName("FmMap");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* captionRow = new QHBoxLayout();
  Lcaption = new QLabel(QString::fromUtf8("Название:"), this);
  Ecaption = new QLineEdit(this);
  captionRow->addWidget(Lcaption);
  captionRow->addWidget(Ecaption);
  layout->addLayout(captionRow);
  Coord = new TFmCoord(this);
  Coord->SetGroupCaption(QString::fromUtf8("Положение ю-з угла"));
  layout->addWidget(Coord);
  auto* extent = new QGroupBox(QString::fromUtf8("Протяженность (м)"), this);
  auto* extentLayout = new QGridLayout(extent);
  Ew = new QLineEdit(extent);
  Lh = new QLabel(QString::fromUtf8("з-в"), extent);
  Eh = new QLineEdit(extent);
  Lw = new QLabel(QString::fromUtf8("ю-с"), extent);
  extentLayout->addWidget(Ew, 0, 0);
  extentLayout->addWidget(Lh, 0, 1);
  extentLayout->addWidget(Eh, 1, 0);
  extentLayout->addWidget(Lw, 1, 1);
  layout->addWidget(extent);
  SpeedButton1 = new QPushButton(QString::fromUtf8("сменить изображение ..."), this);
  SpeedButton1->setFlat(true);
  layout->addWidget(SpeedButton1);
  layout->addStretch(1);
  connect(Ecaption, &QLineEdit::textEdited, this, &TFmMap::EcaptionChange);
  connect(Ew, &QLineEdit::textEdited, this, &TFmMap::EwChange);
  connect(Eh, &QLineEdit::textEdited, this, &TFmMap::EhChange);
  connect(SpeedButton1, &QPushButton::clicked, this, &TFmMap::SpeedButton1Click);
  if (map)
    FillFrom(*map, isMultiple);
}

void TFmMap::FillFrom(TGMap& map, bool isMultiple)
{
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  map.GetWorldXY(x0, y0);
  map.GetWorldFarCorner(x1, y1);
  multiple = isMultiple;
  gis = map.GetOwner();
  mapId = map.GetId();
  Coord->SetCoordType(map.GetCoordKind(), QString::fromStdString(map.GetUnits()));
  Coord->SetPosition(x0, y1);
  Coord->SetMultiple(multiple);
  Ew->setText(ExtentText(x1 - x0));
  Eh->setText(ExtentText(y0 - y1));
  Ecaption->setText(QString::fromStdString(map.GetName()));
  ShowGreyed(Ew, Lw, multiple);
  ShowGreyed(Eh, Lh, multiple);
  ShowGreyed(Ecaption, Lcaption, multiple);
  captionEdited = widthEdited = heightEdited = false;
}

void TFmMap::ApplyTo(TGMap& map)
{
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  map.GetWorldXY(x0, y0);
  map.GetWorldFarCorner(x1, y1);
  const double oldWidth = x1 - x0;
  const double oldHeight = y0 - y1;
  if (Writes(captionEdited))
    map.SetName(Ecaption->text().toStdString());
  if (Writes(Coord->IsEdited()))
    Coord->GetPosition(x0, y1);
  x1 = Writes(widthEdited) ? StrToFloatAny(Ew->text().toStdString()) + x0 : x0 + oldWidth;
  y0 = Writes(heightEdited) ? StrToFloatAny(Eh->text().toStdString()) + y1 : y1 + oldHeight;
  map.SetWorldXY(x0, y0);
  map.SetWorldFarCorner(x1, y1);
}

void TFmMap::EcaptionChange()
{
  captionEdited = true;
  ShowGreyed(Ecaption, Lcaption, false);
}

void TFmMap::EwChange()
{
  widthEdited = true;
  ShowGreyed(Ew, Lw, false);
}

void TFmMap::EhChange()
{
  heightEdited = true;
  ShowGreyed(Eh, Lh, false);
}

TGMap* TFmMap::FilledMap() const
{
  return gis ? dynamic_cast<TGMap*>(gis->FindObjectById(mapId)) : nullptr;
}

void TFmMap::SpeedButton1Click()
{
  const QString folder = RegReadSetting("new obj", QString());
  const QString file = ModalCalls().OpenFileName(this, folder, QString::fromUtf8("Bitmap files (*.bmp)"));
  TGMap* map = FilledMap();
  if (file.isEmpty() || !map)
    return;
  const QImage image(file);
  if (image.isNull()) {
    ShowErrorMessage(this, QString::fromUtf8("Не удалось загрузить изображение ") + file);
    return;
  }
  map->SetBitmap(TBitmap::FromImage(image));
  RegWriteSetting("new obj", file);
  if (gis->OnChange)
    gis->OnChange(nullptr);
  gis->SetModified(true);
}

void TFmMap::ShowGreyed(QWidget* a, QWidget* b, bool greyed)
{
  ShowTextGreyed(a, greyed);
  ShowTextGreyed(b, greyed);
}
