#pragma once
// TFExtraIntraOptions: the dialog "Параметры эктрополяции" that edits the
// parameters of every building method of an array, one page per method. The
// array data windows open it; "Генерация" stores the parameters and runs the
// data window's own build.
#include "base/FormSized.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TFArrayData;
class TGArray;

// The number a typed text stands for, "," or "." as the decimal separator;
// a text that is not a number is 0.
double ReadTypedNumber(const QString& text);
// Up to 20 weights from a text of numbers separated by blanks: none gives
// one weight 1, all zero makes the last one 1.
std::vector<double> ReadWeights(const QString& text);

class TFExtraIntraOptions : public TFSized {
  Q_OBJECT

public:
  explicit TFExtraIntraOptions(QWidget* owner = nullptr);

  // Opens the dialog modally for the array of a data window, on the page of
  // the method the window shows.
  void Open(TGArray* array, TFArrayData* window, int page);

  QTabWidget* PageControl = nullptr;
  QLineEdit *Egsalpha = nullptr, *Egsgamma = nullptr;
  QLineEdit *Elapzheta = nullptr, *Elapmaxit = nullptr, *Elapepsx = nullptr;
  QComboBox *CBnn2method = nullptr, *CBnn2trans = nullptr;
  QLineEdit *Emidweights = nullptr, *Emidanisotrop = nullptr;
  QLineEdit *Emmcmin = nullptr, *Emmcmax = nullptr, *Emmcwidth = nullptr, *Emmcanisotrop = nullptr;
  QCheckBox *CBmmcnewwidth = nullptr, *CBmmcdetrend = nullptr;
  QLineEdit *Ekrmin = nullptr, *Ekrmax = nullptr, *Ekrwidth = nullptr, *Ekranisotrop = nullptr;
  QCheckBox *CBkrnewwidth = nullptr, *CBkrdetrend = nullptr, *CBkrautoscale = nullptr;
  QLineEdit *Ekrpart_blk = nullptr, *Ekrscalex = nullptr, *Ekrscaley = nullptr, *Ekrerror = nullptr;
  QCheckBox* CBfixboundary = nullptr;
  QPushButton *Bbuild = nullptr, *Bok = nullptr, *Bcancel = nullptr;

public slots:
  void FormShow();
  void BokClick();
  void BcancelClick() { done(2); }
  void BbuildClick();
  void PageControlChange();
  void CBmmcnewwidthClick();
  void CBkrnewwidthClick();
  void CBkrautoscaleClick();

private:
  void BuildDesign();
  void StoreParameters();

  TGArray* array = nullptr;
  TFArrayData* dataWindow = nullptr;
};

// The dialog of the run, created when first asked for.
TFExtraIntraOptions* ExtraIntraOptionsForm();
void DestroyExtraIntraOptions();
