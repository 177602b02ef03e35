#pragma once
// TFCalcStatus: the calculation status window. While open it shows the model's
// state, time steps, calculation time and model times, renewed every second.
#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;
class TFModel;

class TFCalcStatus : public QDialog {
  Q_OBJECT

public:
  explicit TFCalcStatus(QWidget* owner = nullptr);

  // The main window sets its current model before it shows the window.
  void SetModel(TFModel* model) { Model = model; }
  TFModel* GetModel() const { return Model; }

  QLabel* Lstate = nullptr;
  QLabel* Lmodelstarttime = nullptr;
  QLabel* Lmodeltime = nullptr;
  QLabel* Lmodeltimeleft = nullptr;
  QLabel* Lcalctime = nullptr;
  QLabel* Ltimesteps = nullptr;
  QPushButton* Bok = nullptr;
  QTimer* Timer1 = nullptr;

public slots:
  void FormActivate();
  void Timer1Timer();
  void BokClick();
  void FormClose();

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

public:
  void done(int result) override;

private:
  void FillLabels();

  TFModel* Model = nullptr;
};

extern TFCalcStatus* FCalcStatus;
