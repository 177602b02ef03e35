// The main window's options command: the calculation settings of the open
// project in the options dialog.
#include "shell/FormMain.h"

#include "model/FormModel.h"
#include "shell/FormOptions.h"
#include "base/ModalCalls.h"

#include <QDialog>

void TFMain::MIOptionsClick()
{
  if (!FOptions || !FModel)
    return;
  TCalcOptions old;
  old.outputInterval = FModel->GetOutputInterval();
  old.refreshInterval = FModel->GetRefreshInterval();
  old.saveFlags = FModel->GetSaveFlags();
  old.saveTimeInterval = FModel->GetSaveTimeInterval();
  old.saveStageCount = FModel->GetSaveStageCount();
  old.stopMode = FModel->GetStopMode();
  old.stopTime = FModel->GetStopTime();
  old.closeWhenStopped = FCloseWhenStopped != 0;
  old.seriesCapacity = FModel->GetSeriesCapacity();
  FOptions->LoadOptions(old);
  if (ModalCalls().ExecDialog(FOptions) != QDialog::Accepted)
    return;
  QStringList rejected;
  const TCalcOptions read = FOptions->ReadOptions(rejected);
  // Only what differs is set: the model keeps the rest as it was, and the
  // series keep their points unless their length changed.
  bool changed = false;
  auto apply = [&changed](auto now, auto before, auto set) {
    if (now != before) {
      set(now);
      changed = true;
    }
  };
  apply(read.outputInterval, old.outputInterval, [this](double v) { FModel->SetOutputInterval(v); });
  apply(read.refreshInterval, old.refreshInterval, [this](double v) { FModel->SetRefreshInterval(v); });
  apply(read.saveFlags, old.saveFlags, [this](int v) { FModel->SetSaveFlags(v); });
  apply(read.saveTimeInterval, old.saveTimeInterval, [this](double v) { FModel->SetSaveTimeInterval(v); });
  apply(read.saveStageCount, old.saveStageCount, [this](int v) { FModel->SetSaveStageCount(v); });
  apply(read.stopMode, old.stopMode, [this](int v) { FModel->SetStopMode(v); });
  apply(read.stopTime, old.stopTime, [this](double v) { FModel->SetStopTime(v); });
  apply(read.closeWhenStopped, old.closeWhenStopped, [this](bool v) { FCloseWhenStopped = v ? 1 : 0; });
  apply(read.seriesCapacity, old.seriesCapacity, [this](int v) { FModel->SetSeriesCapacity(v); });
  // The settings travel in the project file.
  if (changed)
    FModified = true;
  if (!rejected.isEmpty())
    ShowErrorMessage(this, QString::fromUtf8("Нужно положительное число; прежнее значение оставлено") + ":\n" +
                             rejected.join('\n'));
}
