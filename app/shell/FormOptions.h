#pragma once
// TFOptions: the calculation settings of the open project: the output and
// refresh intervals, autosave of step files, the stop condition, closing the
// program when the run stops, and the points kept per time series. Times are
// shown in nanoseconds.

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The settings as the model and the main window keep them (times in seconds).
struct TCalcOptions {
  double outputInterval = 0;
  double refreshInterval = 0;
  int saveFlags = 0; // 1 on structure growth, 2 on a time interval
  double saveTimeInterval = 0;
  int saveStageCount = 1;
  int stopMode = 0;
  double stopTime = 0;
  bool closeWhenStopped = false;
  int seriesCapacity = 500;
};

class TFOptions : public QDialog {
  Q_OBJECT

public:
  explicit TFOptions(QWidget* owner = nullptr);

  // The widest text a time field shows: six digits, a sign and an exponent.
  static constexpr const char* WidestTimeText = "-1.23457e+06";

  // Fills every control and remembers the texts shown.
  void LoadOptions(const TCalcOptions& options);
  // The settings after the user's edits. A time text that was not edited gives
  // back the value it was filled from, bit for bit; an edited one that is not a
  // positive number keeps that value and its caption joins the rejected list.
  TCalcOptions ReadOptions(QStringList& rejected) const;

  // The enabling handlers (also run on every change of their controls).
  void FormActivate();
  void CBas_bystageClick();
  void CBas_bytimeClick();
  void GBautopauseClick();

  QLineEdit* Eupdatetime = nullptr;
  QLineEdit* Eredrawtime = nullptr;
  QGroupBox* GBautosave = nullptr;
  QCheckBox* CBas_bystage = nullptr;
  QSpinBox* Estagecount = nullptr;
  QCheckBox* CBas_bytime = nullptr;
  QLineEdit* Eautosavetime = nullptr;
  QGroupBox* GBautopause = nullptr;
  QRadioButton* RBautopausenone = nullptr;
  QRadioButton* RBautopausestage = nullptr;
  QRadioButton* RBautopausetime = nullptr;
  QLineEdit* Eautopausetime = nullptr;
  QCheckBox* CBautoclose = nullptr;
  QLineEdit* Etspointcount = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

private:
  TCalcOptions FLoaded;
  QString FShownUpdate, FShownRedraw, FShownAutosave, FShownStop, FShownPoints;
};

// A time in seconds as the dialog shows it in nanoseconds.
QString NanosecondsText(double seconds);

extern TFOptions* FOptions;
