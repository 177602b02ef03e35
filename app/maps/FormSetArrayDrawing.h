#pragma once
// TFSetArrayDrawing: "Отрисовка массива", everything about how one array is
// contoured and filled: the level scheme, the drawing range, the colour and
// value of every level, the colour mixing and the contour labels. It writes
// into the array only on "Применить" or "Ok"; changes of the scheme rebuild
// the level table through the array, changes of the table are written as they
// stand. One instance serves the whole run.
#include "base/FormSized.h"
#include "data/TagStream.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;
class TColorSwatch;
class TGArray;

class TFSetArrayDrawing : public TFSized {
  Q_OBJECT

public:
  // More levels than this are neither listed nor written back.
  static constexpr int MaxListedLevels = 100;

  explicit TFSetArrayDrawing(QWidget* owner = nullptr);

  // Null keeps the current array and only refreshes the dialog.
  void SetArray(TGArray* array);
  bool Applied() const { return applied; }
  bool SchemeChanged() const { return schemeChanged; }
  bool TableEdited() const { return tableEdited; }
  // The level list's controls in order: per level its fill swatch, then (all
  // but the last level) its line swatch and value edit.
  const std::vector<QWidget*>& LevelControls() const { return levelControls; }

  QScrollArea* SB = nullptr;
  QRadioButton* RBnumber = nullptr;
  QSpinBox* Enumber = nullptr;
  QRadioButton* RBrange = nullptr;
  QLineEdit* Ebmesh = nullptr;
  QLineEdit* Esmesh = nullptr;
  QRadioButton* RB10mesh = nullptr;
  QSpinBox* Ebmeshn = nullptr;
  QSpinBox* Esmeshn = nullptr;
  QRadioButton* RBlogmesh = nullptr;
  QSpinBox* Ebmeshlog = nullptr;
  QSpinBox* Esmeshlog = nullptr;
  QCheckBox* CBautolevel = nullptr;
  QLabel* Lmax = nullptr;
  QLineEdit* Edrawmax = nullptr;
  QLabel* Lmin = nullptr;
  QLineEdit* Edrawmin = nullptr;
  QComboBox* CBfillmixtype = nullptr;
  QComboBox* CBcontmixtype = nullptr;
  QSpinBox* Econtlabelsdist = nullptr;
  QSpinBox* Econtlabelsdst0 = nullptr;
  QPushButton* SpeedButton1 = nullptr;
  QCheckBox* CBslim = nullptr;
  QCheckBox* CBbolt = nullptr;
  QLineEdit* Econtlabelsft = nullptr;
  QLineEdit* Econtlabelscl = nullptr;
  QPushButton* SBok = nullptr;
  QPushButton* Bcancel = nullptr;
  QPushButton* Bapplay = nullptr;

public slots:
  // Closing, whichever way, deletes the level list: the next showing builds it afresh.
  void done(int result) override;
  void SBokClick();
  void BapplayClick();
  void BcancelClick();
  void SchemeRadioClick();
  void EnumberChange();
  void StepEditChange();
  void DecimalCountChange();
  void LogCountChange();
  void RangeEditChange();
  void CBautolevelClick();
  void MixTypeChange();
  void EcontlabelsdistChange();
  void LabelFlagClick();
  void SpeedButton1Click();
  void LevelSwatchMouseDown(TColorSwatch* swatch);
  void LevelValueChange();

private:
  void BuildDesign();
  void BuildLevelList();
  void DeleteLevelControls(size_t from);
  void AddLevelLine(QWidget* panel, int row, int top0);
  void ShowSchemeFromArray();
  void EnableSchemeEdits();
  int CheckedScheme() const;
  void UpdateApply();
  void FormClose();

  TGArray* array = nullptr;
  bool applied = false;
  bool schemeChanged = false;
  bool tableEdited = false;
  TFontRecord labelFont;
  std::vector<QWidget*> levelControls;
};

// The dialog of the run, made on first use; DestroySetArrayDrawing ends it.
TFSetArrayDrawing* SetArrayDrawingForm();
void DestroySetArrayDrawing();
