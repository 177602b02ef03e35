#include "base/FormSized.h"

#include "base/PlaceBeside.h"
#include "data/qt/RegistrySettings.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
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

TSizedPlacement TFSized::ComputePlacement(bool visible)
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
  int numbers[11];
  FDesignPosition = ParseSizedNumbers(stored, numbers) < 2 && FDefaults.left == TSizedDefaults::DesignPosition &&
                    FDefaults.top == TSizedDefaults::DesignPosition;
  return ComputeSizedPlacement(stored, FDefaults, design);
}

void TFSized::ApplyPlacement(const TWindowPlacement& placement)
{
  SetWindowPlacement(this, placement);
  // Placed nowhere in particular yet: the first show puts it over the main window.
  if (FDesignPosition)
    setAttribute(Qt::WA_Moved, false);
}

void TFSized::CentreOverMainWindow()
{
  QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
  for (QWidget* each : QApplication::topLevelWidgets())
    if (!over && each != this && each->isVisible() && qobject_cast<QMainWindow*>(each))
      over = each;
  if (!over)
    return;
  QRect placed = frameGeometry();
  placed.moveCenter(over->frameGeometry().center());
  if (const QScreen* screen = over->screen())
    placed.moveTopLeft(KeptOnScreen(placed.topLeft(), placed.size(), screen->availableGeometry()));
  move(placed.topLeft());
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
  ApplyPlacement(applied);
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
    if (FDesignPosition)
      setAttribute(Qt::WA_Moved, false);
  }
  if (!testAttribute(Qt::WA_Moved)) {
    CentreOverMainWindow();
    FDesignPosition = false;
  }
  FShown = true;
  QDialog::showEvent(event);
}

void TFSized::hideEvent(QHideEvent* event)
{
  FShown = false;
  QDialog::hideEvent(event);
}
