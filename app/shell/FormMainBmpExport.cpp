// The main window's BMP export: every saved step of the calculation in turn,
// one picture per view window and step.
#include "shell/FormMain.h"

#include "base/FormSimpleView.h"
#include "base/ModalCalls.h"
#include "data/qt/RegistrySettings.h"
#include "gis/GIS.h"
#include "model/FormModel.h"
#include "shell/BmpExport.h"
#include "shell/FormBMPExportProgress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPair>
#include <QPointer>
#include <QTemporaryDir>
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

namespace {

// What a step load changes besides the data, kept to be put back.
struct TProjectMarks {
  QString projectFileName;
  QString lastOpenedPath;
  int32_t stepCounter = 0;
  bool modified = false;
  bool gisModified = false;
  bool modelModified = false;
  QList<QPair<QPointer<TFSimpleView>, bool>> views;
};

TProjectMarks MarksOf(const TFMain& main)
{
  TProjectMarks marks{main.ProjectFileName(), main.LastOpenedPath(), main.StepCounter(), main.Modified(),
                      main.Gis() && main.Gis()->IsModified(), main.Model() && main.Model()->IsModified(), {}};
  for (TFSimpleView* view : main.Views())
    marks.views.append({QPointer<TFSimpleView>(view), view->ViewModified()});
  return marks;
}

} // namespace

void TFMain::ExportFilesToBmp(const QStringList& files, const QString& folder)
{
  // The export walks through the steps and then leaves the project as it
  // found it, changes and all: the data go to a file of their own first, and
  // no step load asks to save (an answer there would write an old step's data
  // over the project).
  const TProjectMarks marks = MarksOf(*this);
  const QString lastFolder = ReadLastProjectFolder();
  QTemporaryDir keep;
  const QString kept = keep.filePath("project." + QString(ProjectExtension));
  const bool saved = !files.isEmpty() && FGis && keep.isValid() && WriteProject(kept);
  // Without the copy the changes cannot come back: they are saved, or dropped
  // knowingly, before the first step rather than in the middle.
  if (!saved && !files.isEmpty() && !ConfirmSaveChanges())
    return;

  TFBMPExportProgress* progress = BmpExportProgress();
  progress->PGfiles->setRange(0, static_cast<int>(files.size()));
  progress->PGfiles->setValue(0);
  progress->ResetCancel();
  progress->show();
  for (qsizetype i = 0; i < files.size(); ++i) {
    progress->Lfile->setText(files[i]);
    progress->PGfiles->setValue(static_cast<int>(i));
    TakeResultFile(files[i]);
    ExportViewsToBmp(folder);
    // Only the progress window takes input meanwhile, so "Отмена" is seen here.
    QCoreApplication::processEvents();
    if (progress->CancelRequested())
      break;
  }
  progress->hide();

  if (!saved)
    return;
  TakeResultFile(kept);
  WriteLastProjectFolder(lastFolder);
  FStepCounter = marks.stepCounter;
  UpdateCaption(marks.projectFileName);
  FLastOpenedPath = marks.lastOpenedPath;
  FModified = marks.modified;
  if (FGis)
    FGis->SetModified(marks.gisModified);
  if (FModel)
    FModel->SetModified(marks.modelModified);
  for (const auto& [view, modified] : marks.views)
    if (view)
      view->SetViewModified(modified);
  UpdateMenuItems();
}

bool TFMain::AskBmpExportTarget()
{
  FExportFolder = ModalCalls().ExistingDirectory(this, QStringLiteral("Сохранить изображения в"), FExportFolder);
  if (FExportFolder.isEmpty())
    return false;
  if (const std::optional<QString> answer = ModalCalls().InputBox(
          this, QStringLiteral("Индекс изображений"), QStringLiteral("начальное значение"), QString::number(FImageIndex))) {
    bool number = false;
    const int32_t index = answer->trimmed().toInt(&number);
    FImageIndex = number ? index : 0;
  }
  return true;
}

void TFMain::ExportCalculationToBmp()
{
  // A running calculation writes the very files the export loads.
  if (FCalcState == CalcRunning)
    return;
  if (AskBmpExportTarget())
    ExportFilesToBmp(FindStepFiles(FProjectFileName), FExportFolder);
}

void TFMain::MIBMPSelectExportClick()
{
  if (FCalcState == CalcRunning)
    return;
  // The project's step files lie beside it (those of a project never saved
  // where its steps went).
  const QString folder = QFileInfo(StepFileName(0)).absolutePath();
  const QStringList files = ModalCalls().OpenFileNames(this, folder, FDialogFilter);
  if (files.isEmpty() || !AskBmpExportTarget())
    return;
  ExportFilesToBmp(InStepOrder(files), FExportFolder);
}
