#pragma once
// TFParam: the full parameter dialog of the breakdown model. It shows the
// set-up values of the engine record on four pages and writes them back when
// the model may be edited (states 0 and 3).
#include "model/dialogs/ParamRecord.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;

class TFParam : public QDialog {
  Q_OBJECT

public:
  explicit TFParam(QWidget* owner = nullptr);

  // Fills every control from the record; with editable false everything is
  // read-only and ApplyParams writes nothing.
  void LoadParams(THeap* heap, bool editable);
  // Checks every field first and names the first bad one in an error box,
  // the field showing its loaded value again; then writes all values, or
  // none. False when nothing was written.
  bool ApplyParams();
  bool IsEditable() const { return editable; }
  THeap* GetHeap() const { return heap; }
  // Lets go of the record when the command ends: the next project's model has another.
  void ForgetEngine() { heap = nullptr; }

  // The calculation states in which the parameters may be changed.
  static bool EditableInState(int state) { return state == 0 || state == 3; }

  QTabWidget* PageControl = nullptr;
  // Lattice page.
  QLineEdit* Edx = nullptr;
  QLineEdit* Emx = nullptr;
  QLabel* Lx = nullptr;
  QLineEdit* Edz = nullptr;
  QLineEdit* Emz = nullptr;
  QLabel* Lz = nullptr;
  QLineEdit* Edy = nullptr;
  QLineEdit* Emy = nullptr;
  QLabel* Ly = nullptr;
  QLineEdit* Edtinit = nullptr;
  QLineEdit* Edt = nullptr;
  QLineEdit* Edtspark = nullptr;
  // Potential page.
  QTableWidget* SGww = nullptr;
  QPushButton* Badd = nullptr;
  QPushButton* Bdel = nullptr;
  QLineEdit* Etau = nullptr;
  QLineEdit* Edw = nullptr;
  QLineEdit* Edw0 = nullptr;
  QComboBox* CBdwtype = nullptr;
  QComboBox* CBitrtype = nullptr;
  QLineEdit* Eminnwitr = nullptr;
  QLineEdit* Emaxnwitr = nullptr;
  QCheckBox* CBbsep = nullptr;
  QLineEdit* EgenU = nullptr;
  QLineEdit* EgenC = nullptr;
  QLineEdit* EgenL = nullptr;
  QLineEdit* EgenR0 = nullptr;
  QLineEdit* EgenR1 = nullptr;
  QLineEdit* EgenRT = nullptr;
  QLineEdit* EgenCs = nullptr;
  QLineEdit* EgenL1 = nullptr;
  QLineEdit* EgenL2 = nullptr;
  QLineEdit* EgenNR1 = nullptr;
  QLineEdit* EgenNR2 = nullptr;
  // Structure page.
  QGroupBox* GBgrowth = nullptr;
  QGroupBox* GBcond = nullptr;
  QGroupBox* GBdim = nullptr;
  QLineEdit* ElimbEn = nullptr;
  QComboBox* GrowthType = nullptr;
  QLineEdit* ElimbMinCond = nullptr;
  QLineEdit* ElimbMaxCond = nullptr;
  QLineEdit* ElimbDimMinLength = nullptr;
  QLineEdit* ElimbDimMinCount = nullptr;
  QCheckBox* CBgenidle = nullptr;
  // Material page.
  QLineEdit* Eeps0 = nullptr;
  QPushButton* Biso = nullptr;
  QTableWidget* SGmm = nullptr;
  QPushButton* Bmadd = nullptr;
  QPushButton* Bmdel = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

public slots:
  void FormCreate();
  void BaddClick();
  void BdelClick();
  void BmaddClick();
  void BmdelClick();
  void BisoClick();
  void CBgenidleClick();
  void EdxChange();
  void EdzChange();
  void EdyChange();
  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* BuildLatticePage();
  QWidget* BuildPotentialPage();
  QWidget* BuildStructurePage();
  QWidget* BuildMaterialPage();
  TParamTexts CollectTexts() const;
  bool CheckOrRefuse(TParamValues& values);
  void ShowRefused(const TParamTexts& shown, const std::string* refused);
  void ShowControl(QWidget* control);
  void LayOutElectrodeGrid();
  void LayOutMaterialGrid();
  void ShowTexts(const TParamTexts& texts);
  void SetEditable();
  void RenumberMaterials();

  THeap* heap = nullptr;
  bool editable = true;
  // The texts as loaded: a refused field shows its loaded text again.
  TParamTexts loaded;
};

extern TFParam* FParam;
