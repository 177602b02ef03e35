#include "base/FormSized.h"

#include "data/qt/RegistrySettings.h"

#include <QShowEvent>

namespace {

const char* const WindowsGroup = "Windows";

} // namespace

TFSized::TFSized(QWidget* owner, const QString& formName, const TSizedDefaults& defaults)
  : QDialog(owner), FFormName(formName), FDefaults(defaults)
{
  setObjectName(formName);
  // Dialogs live for the whole run; closing one must never end the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(411, 392);
}

TFSized::~TFSized()
{
  StorePlacement();
}

TSizedPlacement TFSized::ComputePlacement(bool visible) const
{
  TSizedDesign design;
  design.geometry = geometry();
  design.visible = visible;
  design.state = windowState();
  design.sizeable = minimumSize() != maximumSize();
  QString stored;
  try {
    stored = RegReadSetting(FFormName, QString(), WindowsGroup);
  } catch (const ERegistryError&) {
    // A value of another type is as good as none.
  }
  return ComputeSizedPlacement(stored, FDefaults, design);
}

void TFSized::RestorePlacement()
{
  if (FRestored)
    return;
  FRestored = true;
  TSizedPlacement placed = ComputePlacement(isVisible());
  FPlacement = placed.placement;
  TWindowPlacement applied = FPlacement;
  if (!placed.shown)
    applied.showCmd = ShowHide;
  SetWindowPlacement(this, applied);
  FShown = placed.shown;
}

void TFSized::StorePlacement()
{
  FPlacement = GetWindowPlacement(this);
  try {
    RegWriteSetting(FFormName, SizedPlacementText(FPlacement, FShown), WindowsGroup);
  } catch (const ERegistryError&) {
    // Losing a window position is no reason to stop the program.
  }
}

void TFSized::showEvent(QShowEvent* event)
{
  if (!FRestored) {
    // Placed only now: the caller decides the visibility.
    FRestored = true;
    FPlacement = ComputePlacement(true).placement;
    setGeometry(FPlacement.NormalRect());
  }
  FShown = true;
  QDialog::showEvent(event);
}

void TFSized::hideEvent(QHideEvent* event)
{
  FShown = false;
  QDialog::hideEvent(event);
}
