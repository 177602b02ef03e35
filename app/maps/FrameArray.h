#pragma once
// TFmArray: the property frame of a regular array. It shows how the array is
// drawn and writes every change into the array at once (the views redraw and
// the project is marked modified); applying adds nothing. It opens the array's
// data window and the drawing dialog. The array is found again by its id for
// every write, so a frame that outlived its array writes into nothing.
#include "MeliscoTypes.h"
#include "gis/ArrayEditors.h"

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSpinBox;
class TColorSwatch;
class TGIS;

class TFmArray : public QWidget, public TArrayFrame {
  Q_OBJECT

public:
  TFmArray(TGArray* array, bool multiple, QWidget* owner);

  void FillFrom(TGArray& array, bool multiple) override;
  void ApplyTo(TGArray& array) override;

  // The array shown, or null when it is no longer in its GIS.
  TGArray* Array() const;

  QLabel* Lunit = nullptr;
  QPushButton* Bdata = nullptr;
  QGroupBox* GroupBox = nullptr;
  QCheckBox* CBfill = nullptr;
  QComboBox* CBfilltype = nullptr;
  TColorSwatch* Sfill1 = nullptr;
  TColorSwatch* Sfill2 = nullptr;
  QCheckBox* CBdiscfill = nullptr;
  QSpinBox* Ealpha = nullptr;
  QCheckBox* CBdrawgrids = nullptr;
  TColorSwatch* Sgrid = nullptr;
  QCheckBox* CBdrawcontour = nullptr;
  TColorSwatch* Scontour = nullptr;
  QPushButton* SpeedButton1 = nullptr;

public slots:
  virtual void BdataClick();
  void SpeedButton1Click();
  void CBfilltypeChange();
  void EalphaChange();
  void CBdiscfillClick();
  void CBdrawgridsClick();
  void CBdrawcontourClick();
  void SfillMouseDown(TColorSwatch* swatch);
  void SgridMouseDown();
  void ContourColorMouseDown();

protected:
  // The design without filling it: the descendants fill once they are built.
  explicit TFmArray(QWidget* owner);
  // Fires the objects-changed event and marks the project modified.
  void Notify() const;
  void FireChanged() const;
  void SetModified() const;
  QGridLayout* GroupLayout() const { return groupLayout; }
  // Opens the data window registered for the array's type; true when it
  // reported a change.
  bool OpenDataWindow() const;
  // Shows another level or surface of the array: the change runs under the
  // guard (it sets the control to what the array took), then the views redraw.
  void ChangeShownPart(const std::function<void()>& change);

  bool guard = false;

private:
  void BuildDesign();
  void ShowFillControls(int fillType);
  // The colour dialog from an initial colour; it remembers what it showed.
  bool AskColor(const QColor& initial, COLORREF& chosen);

  QGridLayout* groupLayout = nullptr;
  TGIS* gis = nullptr;
  std::int32_t arrayId = 0;
  std::int32_t arrayType = 0;
  QColor dialogColor = Qt::black;
};
