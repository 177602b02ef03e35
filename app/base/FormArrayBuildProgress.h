#pragma once
// TFArrayBuildProgress: the tool window "Генерация массивов" that shows how far
// array building has come and lets the user cancel it. One lives for the whole
// run; the program installs it as the progress every build reports to.
#include "data/ArrayBuildProgress.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TFArrayBuildProgress : public QDialog, public TArrayBuildProgress {
  Q_OBJECT

public:
  explicit TFArrayBuildProgress(QWidget* owner = nullptr);

  QLabel* Lname = nullptr;
  QProgressBar* ProgressBar2 = nullptr; // the array in hand
  QLabel* Label1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr; // the whole process
  QPushButton* Bcancel = nullptr;

public slots:
  void BcancelClick() { CancelClicked(); }

protected:
  void ShowWindow(bool visible) override;
  void ShowName(const std::string& name) override;
  void ShowPercents(int arrayPercent, int wholePercent) override;
  void ProcessEvents() override;
  bool Confirm(const std::string& question, const std::string& caption) override;
  void ShowError(const std::string& text) override;
  // The close button refuses until a cancel was asked for.
  void closeEvent(QCloseEvent* event) override;
  // Escape would close the window behind the builder's back.
  void reject() override {}
};

// The window of the run, created with the other forms; null before.
extern TFArrayBuildProgress* FArrayBuildProgress;
