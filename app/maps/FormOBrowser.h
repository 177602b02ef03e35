#pragma once
// TFOBrowser: "Объекты", the one place where the user sees every map object
// of the project and edits it: the tree of objects on the left, the property
// frame of the selected object on the right. "Применить" writes the frame into
// every selected object of the frame's type, "Удалить" deletes the selected
// objects after a question. The browser keeps the id of the object it shows,
// never a pointer, and drops its frame as soon as that object or its GIS is
// gone. The context menu of a node opens the reper value tables: on a reper
// object its values for every array, on a three-dimensional array the values
// every reper object carries for it.
#include "base/FormSized.h"

#include <cstdint>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPoint;
class QPushButton;
class QTreeWidgetItem;
class QWidget;
class TEditorFrame;
class TFmGisBrowser;
class TGIS;
class TGObj;

class TFOBrowser : public TFSized {
  Q_OBJECT

public:
  explicit TFOBrowser(QWidget* owner = nullptr);
  ~TFOBrowser() override;

  // Stores the GIS; a given object becomes the one to select. Another GIS
  // than before drops the frame and the object shown.
  void SetGis(TGIS* gis, TGObj* object);
  // Forgets the GIS and everything shown of it (the project is closing).
  void ForgetGis();
  // Whether the frame of an object may write into it now; objects it refuses
  // are shown with their frame disabled and skipped by "Применить".
  void SetEditableCheck(std::function<bool(const TGObj&)> check) { editable = std::move(check); }

  TGIS* Gis() const { return gis; }
  std::int32_t CurrentType() const { return currentType; }
  // The object shown, looked up by its id; null when none is.
  TGObj* CurrentObject() const;
  TEditorFrame* Frame() const { return frame; }
  QWidget* FrameWidget() const;

  TFmGisBrowser* GisBrowser = nullptr;
  QWidget* Pname = nullptr;
  QLabel* Lobject = nullptr;
  QLabel* Lname = nullptr;
  QLabel* LIntro = nullptr;
  QPushButton* Bapplay = nullptr;
  QPushButton* Bdelete = nullptr;
  QPushButton* Bclose = nullptr;
  QMenu* PMobject = nullptr;
  QAction* PMIReperValues = nullptr;

  // Readies the context menu for a node; false when the menu has nothing for it.
  bool PrepareObjectMenu(QTreeWidgetItem* node);

public slots:
  void FormShow();
  void BcloseClick();
  void BapplayClick();
  void BdeleteClick();
  void TViewChange(QTreeWidgetItem* node);
  void GisBrowserTreeKeyDown(int key);
  void TreeContextMenu(const QPoint& at);
  void PMIReperValuesClick();

protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void BuildDesign();
  void FormResize();
  void DropFrame();
  void ShowNoObject();
  void ApplyToSelected(QTreeWidgetItem* node);
  void DeleteNode(QTreeWidgetItem* node);
  bool IsEditable(const TGObj& object) const { return !editable || editable(object); }
  void UpdateButtons();

  TGIS* gis = nullptr;
  std::int32_t currentType = 0;
  std::int32_t currentId = 0;
  std::int32_t menuObjectId = 0;
  TEditorFrame* frame = nullptr;
  std::function<bool(const TGObj&)> editable;
};
