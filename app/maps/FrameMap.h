#pragma once
// TFmMap: the property frame of a map picture: its name, the position of its
// south-west corner, its extent in metres and the picture. The picture is
// written at once; the rest on apply, with several maps selected only what the
// user touched.
#include "gis/EditorFrames.h"

#include <QWidget>

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class TFmCoord;
class TGIS;
class TGMap;

class TFmMap : public QWidget, public TMapFrame {
  Q_OBJECT

public:
  TFmMap(TGMap* map, bool multiple, QWidget* owner);

  void FillFrom(TGMap& map, bool multiple) override;
  void ApplyTo(TGMap& map) override;

  bool CaptionEdited() const { return captionEdited; }
  bool WidthEdited() const { return widthEdited; }
  bool HeightEdited() const { return heightEdited; }

  QLabel* Lcaption = nullptr;
  QLineEdit* Ecaption = nullptr;
  TFmCoord* Coord = nullptr;
  QLineEdit* Ew = nullptr;
  QLabel* Lh = nullptr;
  QLineEdit* Eh = nullptr;
  QLabel* Lw = nullptr;
  QPushButton* SpeedButton1 = nullptr;

public slots:
  void EcaptionChange();
  void EwChange();
  void EhChange();
  void SpeedButton1Click();

private:
  bool Writes(bool edited) const { return !multiple || edited; }
  void ShowGreyed(QWidget* a, QWidget* b, bool greyed);
  TGMap* FilledMap() const;

  bool captionEdited = false;
  bool widthEdited = false;
  bool heightEdited = false;
  // The map is found again by its id whenever the picture is changed, so that a
  // frame that outlived its map writes into nothing.
  TGIS* gis = nullptr;
  std::int32_t mapId = 0;
  bool multiple = false;
};
