#pragma once
// TFModelArea: enlarges or shrinks the model area by a margin, in percent or
// as a length, about one of nine anchors.
#include "base/FormSized.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class TFmCoord;

class TFModelArea : public TFSized {
  Q_OBJECT

public:
  explicit TFModelArea(QWidget* owner = nullptr);

  TFmCoord* Coord1 = nullptr;
  TFmCoord* Coord2 = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;
  QLineEdit* Edx = nullptr;
  QLineEdit* Edy = nullptr;
  QComboBox* CBunit = nullptr;
  QPushButton* Bapplay = nullptr;
  QPushButton* Breset = nullptr;
  QToolButton* Blu = nullptr;
  QToolButton* Bcu = nullptr;
  QToolButton* Bru = nullptr;
  QToolButton* Blc = nullptr;
  QToolButton* Bcc = nullptr;
  QToolButton* Brc = nullptr;
  QToolButton* Bld = nullptr;
  QToolButton* Bcd = nullptr;
  QToolButton* Brd = nullptr;

  QToolButton* Anchor() const { return anchor; }
  // The anchor's place: 3 * row + column.
  static int AnchorTag(const QToolButton* button);

public slots:
  void FormCreate();
  void FormActivate();
  void MapperClick(QToolButton* sender);
  void BapplayClick();
  void BresetClick();
  void BokClick();
  void BcancelClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void RefuseMargin(QLineEdit* edit, const char* caption);
  QToolButton* MakeAnchorButton(int tag, const char* name);

  // The corners as the dialog opened: north-west first coordinate, south-east
  // first, north-west second, south-east second.
  double saved[4] = {0, 0, 0, 0};
  QToolButton* anchor = nullptr;
};

extern TFModelArea* FModelArea;
