// The main window's BMP export: every saved step of the calculation in turn,
// one picture per view window and step.
#include "shell/FormMain.h"

#include "base/FormSimpleView.h"
#include "base/ModalCalls.h"
#include "shell/BmpExport.h"
#include "shell/FormBMPExportProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

TFBMPExportProgress* TFMain::BmpExportProgress()
{
  if (!FBmpExportProgress)
    FBmpExportProgress = new TFBMPExportProgress(this);
  return FBmpExportProgress;
}

void TFMain::ExportViewsToBmp(const QString& folder)
{
  const int32_t index = FImageIndex;
  FImageIndex = index + 1;
  for (TFSimpleView* view : ViewsLastFirst())
    view->SaveBitmap(BmpExportFileName(folder, view->WindowId(), index));
}

void TFMain::ExportFilesToBmp(const QStringList& files, const QString& folder)
{
  TFBMPExportProgress* progress = BmpExportProgress();
  progress->PGfiles->setRange(0, static_cast<int>(files.size()));
  progress->PGfiles->setValue(0);
  progress->ResetCancel();
  progress->show();
  for (qsizetype i = 0; i < files.size(); ++i) {
    progress->Lfile->setText(files[i]);
    progress->PGfiles->setValue(static_cast<int>(i));
    LoadResultFile(files[i]);
    ExportViewsToBmp(folder);
    // Only the progress window takes input meanwhile, so "Отмена" is seen here.
    QCoreApplication::processEvents();
    if (progress->CancelRequested())
      break;
  }
  progress->hide();
}

void TFMain::ExportCalculationToBmp()
{
  // A running calculation writes the very files the export loads.
  if (FCalcState == CalcRunning)
    return;
  FExportFolder = ModalCalls().ExistingDirectory(this, QStringLiteral("Сохранить изображения в"), FExportFolder);
  if (FExportFolder.isEmpty())
    return;
  if (const std::optional<QString> answer = ModalCalls().InputBox(
          this, QStringLiteral("Индекс изображений"), QStringLiteral("начальное значение"), QString::number(FImageIndex))) {
    bool number = false;
    const int32_t index = answer->trimmed().toInt(&number);
    FImageIndex = number ? index : 0;
  }
  ExportFilesToBmp(FindStepFiles(FProjectFileName), FExportFolder);
}
