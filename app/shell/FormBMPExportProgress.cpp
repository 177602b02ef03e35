#include "shell/FormBMPExportProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TFBMPExportProgress::TFBMPExportProgress(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint)
{
  setObjectName("FBMPExportProgress");
  setWindowTitle("Экспорт изображений");
  setFixedSize(470, 80);
  // While it shows, the rest of the program waits: a project opened, closed or
  // run in the middle of the export would pull its data away. As a tool window
  // it stays above the main window, but not above the program's own message
  // boxes: one kept on top of everything would hide them.
  setWindowModality(Qt::ApplicationModal);
  Lfile = new QLabel(this);
  Lfile->setObjectName("Lfile");
  Lfile->setGeometry(8, 6, 454, 16);
  PGfiles = new QProgressBar(this);
  PGfiles->setObjectName("PGfiles");
  PGfiles->setGeometry(8, 26, 454, 16);
  PGfiles->setTextVisible(false);
  Bcancel = new QPushButton("Отмена", this);
  Bcancel->setObjectName("Bcancel");
  Bcancel->setGeometry(197, 48, 75, 25);
  connect(Bcancel, &QPushButton::clicked, this, &TFBMPExportProgress::BcancelClick);
}
