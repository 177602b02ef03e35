#pragma once
// TFBMPExportProgress, "Экспорт изображений": the file being exported, the
// progress over the files and "Отмена", which asks the export to stop after
// the current file.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TFBMPExportProgress : public QDialog {
  Q_OBJECT

public:
  explicit TFBMPExportProgress(QWidget* owner = nullptr);

  bool CancelRequested() const { return cancelRequested; }
  void ResetCancel() { cancelRequested = false; }
  void BcancelClick() { cancelRequested = true; }

  QLabel* Lfile = nullptr;
  QProgressBar* PGfiles = nullptr;
  QPushButton* Bcancel = nullptr;

protected:
  // Closing the window is the same request as "Отмена".
  void reject() override { BcancelClick(); }

private:
  bool cancelRequested = false;
};
