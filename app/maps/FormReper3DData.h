#pragma once
// TFReper3DData: "Реперные значения для массивов", the table of the values
// that one reper object carries for the three-dimensional arrays: a column per
// array, a row per depth. TFReper3DData2 is the same table with the roles
// swapped: one array at a time, a column per reper object. The values live in
// the reper objects (per quantity code), so both tables edit the same entries
// and every array of a quantity code builds from them.
#include "base/FormSized.h"

#include <cstdint>
#include <vector>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QTableWidget;
class TGArray3D;
class TGIS;
class TGObj;

// The objects whose type carries reper values, in GIS order.
std::vector<TGObj*> ReperKeyObjects(const TGIS& gis);
// The regular three-dimensional arrays that take reper values: the first
// array of each quantity code that is not read-only, in GIS order.
std::vector<TGArray3D*> ReperTargetArrays(const TGIS& gis);

class TFReper3DData : public TFSized {
  Q_OBJECT

public:
  explicit TFReper3DData(QWidget* owner = nullptr);

  // The GIS and the list entry to show first (a reper object here, an array
  // in the swapped table; null shows the first entry).
  void SetGis(TGIS* gis, TGObj* first);
  // Shows the window modally; the table is stored when it closes. Nothing is
  // shown when the GIS lacks reper objects or arrays (a message says which).
  void ShowModal();

  // The entry of the list shown in the table, -1 before the first.
  int ShownGroup() const { return shownGroup; }

  QSplitter* Splitter = nullptr;
  QListWidget* Lgroup = nullptr;
  QLabel* Lheading = nullptr;
  QLabel* Lvalues = nullptr;
  QLabel* Lunit = nullptr;
  QTableWidget* SGdata = nullptr;
  QMenu* PMdata = nullptr;
  QAction* PMIedit = nullptr;
  QAction* PMIselect = nullptr;
  QAction* PMICopy = nullptr;
  QAction* PMIPast = nullptr;
  QPushButton* Bok = nullptr;

public slots:
  // False when there is nothing to edit: the window is then not shown.
  bool FormShow();
  void FormClose();
  void LgroupClick(int row);
  void PMIeditClick();
  void PMIselectClick();
  void PMICopyClick();
  void PMIPastClick();

protected:
  // The swapped table: the list holds arrays, the columns reper objects.
  TFReper3DData(QWidget* owner, const QString& formName, bool byArray);
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // One cell's owner: the reper object and the quantity code of its array.
  struct TEntryKey {
    std::int32_t objectId;
    int code;
  };

  void BuildDesign();
  bool CollectGroups();
  int GroupCount() const;
  int ColumnCount() const;
  TEntryKey KeyOf(int group, int column) const;
  void ShowGroup(int group);
  void StoreGroup();
  void FillTable();
  void KeepTwoEmptyRows();
  void SetGridEditing(bool on);
  QString UnitOfColumns() const;

  const bool byArray;
  TGIS* gis = nullptr;
  std::int32_t firstId = 0;
  int shownGroup = -1;
  bool filling = false;
  // Ids of the reper objects and of the arrays (one per quantity code), in
  // list or column order by the table's roles.
  std::vector<std::int32_t> reperIds;
  std::vector<std::int32_t> arrayIds;
};

class TFReper3DData2 : public TFReper3DData {
  Q_OBJECT

public:
  explicit TFReper3DData2(QWidget* owner = nullptr);
};

// The windows of the run, created when first asked for.
TFReper3DData* Reper3DDataForm();
TFReper3DData2* Reper3DData2Form();
void DestroyReper3DData();
