#pragma once
// TFmSignPoint: what the reper and mark frames share: a caption with its
// show flag, the position and the sign. With several objects shown, applying
// writes only the groups the user touched; every frame class keeps the values
// it applied last for the whole run.
#include "data/TagStream.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class TFmCoord;
class TFmIconSelect;
class TGMark;

// The values a frame class applied last.
struct TKeptSignValues {
  std::string caption;
  bool show = false;
  std::string sign;
  TFontRecord font;
};

class TFmSignPoint : public QWidget {
  Q_OBJECT

public:
  struct TDesign {
    const char* captionLabel;
    const char* showLabel;
    // The position editor above the caption (marks) or below it (repers).
    bool positionFirst;
  };

  TFmSignPoint(const TDesign& design, TKeptSignValues& kept, QWidget* owner);

  void FillPoint(TGMark& point, bool fromKeptValues, bool multiple);
  void ApplyToPoint(TGMark& point);

  bool IsMultiple() const { return multiple; }
  bool CaptionEdited() const { return captionEdited; }
  bool ShowEdited() const { return showEdited; }

  QLabel* Lcaption = nullptr;
  QLineEdit* Ecaption = nullptr;
  QCheckBox* CBcaption = nullptr;
  TFmCoord* Coords = nullptr;
  TFmIconSelect* FmIcon = nullptr;

public slots:
  void EcaptionChange();
  void CBcaptionClick();

private:
  bool Writes(bool edited) const { return !multiple || edited; }
  void ShowGreyed(bool greyed);

  TKeptSignValues& kept;
  bool multiple = false;
  bool captionEdited = false;
  bool showEdited = false;
};

// The font a frame class keeps before its first apply: no name, 8 points, no
// style, in the given colour.
TFontRecord InitialKeptFont(std::int32_t color);
