#pragma once
// TFSized: the base of dialogs and data windows that keep their position, size
// and visibility in the settings between runs (group "Windows", a value named
// after the form).

#include "base/SizedPlacement.h"

#include <QDialog>

class TFSized : public QDialog {
  Q_OBJECT

public:
  // The form name names the settings value; the other arguments are defaults
  // for a window that has no stored value yet (see TSizedDefaults).
  TFSized(QWidget* owner, const QString& formName, const TSizedDefaults& defaults = TSizedDefaults());
  // Stores the placement.
  ~TFSized() override;

  const QString& FormName() const { return FFormName; }
  bool Shown() const { return FShown; }
  const TWindowPlacement& Placement() const { return FPlacement; }

  // Places the window from the stored value. Subclasses call it at the end of
  // their constructor, once their design (size, border, visibility) is set; a
  // window that never called it is placed when first shown.
  void RestorePlacement();
  // Writes the settings value now (the destructor does it too).
  void StorePlacement();

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  TSizedPlacement ComputePlacement(bool visible);
  void ApplyPlacement(const TWindowPlacement& placement);
  // A window without a stored place opens over the program's main window (its
  // owner's window when it has one), not in the screen's corner.
  void CentreOverMainWindow();

  QString FFormName;
  TWindowPlacement FPlacement;
  bool FShown = false;
  TSizedDefaults FDefaults;
  bool FRestored = false;
  // Neither a stored value nor the constructor named a position.
  bool FDesignPosition = false;
};
