// The main window's clone command: numbered copies of the open project and the
// shell script that runs each of them unattended.
#include "shell/FormMain.h"

#include "data/qt/RegistrySettings.h"
#include "gis/GIS.h"
#include "model/FormModel.h"
#include "model/breakdown/ProjectBase.h"
#include "model/store/LatticeSideFile.h"
#include "shell/CloneFiles.h"
#include "shell/FormCloneProject.h"
#include "shell/FormInfo.h"
#include "base/ModalCalls.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSpinBox>
#include <QCheckBox>

namespace {

QString Text(const char* utf8)
{
  return QString::fromUtf8(utf8);
}

// Writes the bytes in place of the file only when all of them were written.
bool WriteWhole(const QString& path, const QByteArray& bytes, QString& why)
{
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    why = file.errorString();
    return false;
  }
  return true;
}

bool CopyReplacing(const QString& from, const QString& to, QString& why)
{
  // A FIFO or a device would hold the copy in open() or read for good.
  if (!QFileInfo(from).isFile()) {
    why = Text("не является обычным файлом");
    return false;
  }
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) {
    why = source.errorString();
    return false;
  }
  return WriteWhole(to, source.readAll(), why);
}

QString SideFileOf(const QString& project)
{
  return QString::fromStdString(LatticeSideFileName(ProjectFileBase(project.toStdString())));
}

} // namespace

bool TFMain::CopyClone(const QString& from, const QString& to)
{
  QString why;
  bool copied = CopyReplacing(from, to, why);
  // A running or paused project continues from its lattice side file: every
  // clone needs its own copy, or it would reload as stopped.
  if (copied && QFileInfo::exists(SideFileOf(from)))
    copied = CopyReplacing(SideFileOf(from), SideFileOf(to), why);
  if (!copied)
    ShowErrorMessage(this, Text("Не удалось скопировать проект в файл") + " \"" + to + "\": " + why);
  return copied;
}

void TFMain::MISaveClonesClick()
{
  if (!FCloneProject || !FGis || ProjectBusy())
    return;
  const QString ownName = FProjectFileName;
  const bool ownModified = FModified || FGis->IsModified() || (FModel && FModel->IsModified());
  if (ModalCalls().ExecDialog(FCloneProject) != QDialog::Accepted)
    return;
  const int first = FCloneProject->En1->value();
  const int last = FCloneProject->En2->value();
  const int digits = FCloneProject->Enn->value();
  const bool withScript = FCloneProject->Erb->isChecked();
  const bool shortNames = FCloneProject->Eff->isChecked();
  const QString chosen = ModalCalls().SaveFileName(this, ReadLastProjectFolder(), FDialogFilter, ProjectExtension);
  if (chosen.isEmpty())
    return;

  const TCloneNaming naming = SplitCloneName(chosen);
  QStringList scriptNames;
  QString firstClone;
  bool complete = true;
  for (int n = first; n <= last && complete; ++n) {
    const QString clone = CloneFileName(naming, n, digits);
    if (n == first) {
      UpdateCaption(clone);
      complete = MISaveClick(TSaveSender::Clones);
      firstClone = clone;
    } else {
      if (FInfo)
        FInfo->ShowText(Text("копирование") + ": " + QString::number(n).rightJustified(digits, '0'),
                        Text("Сохранение данных"), this);
      complete = CopyClone(firstClone, clone);
    }
    if (complete)
      scriptNames.append(shortNames ? QFileInfo(clone).fileName() : clone);
  }
  if (withScript && complete)
    WriteCloneScript(naming.folder + CloneScriptName, scriptNames);
  if (FInfo)
    FInfo->hide();
  // The clones were written, the project's own file was not: its changes
  // still wait for the save question.
  UpdateCaption(ownName);
  FModified = ownModified;
}

bool TFMain::WriteCloneScript(const QString& path, const QStringList& clones)
{
  QString why;
  if (!WriteWhole(path, CloneScript(QCoreApplication::applicationFilePath(), clones).toUtf8(), why)) {
    ShowErrorMessage(this, Text("Не удалось записать файл") + " \"" + path + "\": " + why);
    return false;
  }
  QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
  return true;
}
