#pragma once
// TFGridInfo: the mesh of a triangulated array at a glance: its counts, the
// nodes of one plan triangle and the prisms stacked over it, with the array's
// values where it keeps them.
#include "base/FormSized.h"

#include <cstdint>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class TGArrayI;
class TGMeshSource;
struct TIrregularMesh;

// Prisms per plan triangle; all zero for a mesh without triangles.
struct TMeshPrismCounts {
  std::int32_t smallest = 0;
  std::int32_t largest = 0;
  double mean = 0; // rounded down to hundredths
};
TMeshPrismCounts CountMeshPrisms(const TIrregularMesh& mesh);
// The 0-based layer of a prism of triangle t, or -1 when no layer holds it.
int PrismLayer(const TIrregularMesh& mesh, int t, int prism);

class TFGridInfo : public TFSized {
  Q_OBJECT

public:
  explicit TFGridInfo(QWidget* owner = nullptr);

  // Either may be null; the window shows triangle 0.
  void SetGrid(TGMeshSource* source, TGArrayI* array);
  int ShowModal();

  QPlainTextEdit* Minfo = nullptr;
  QLabel* Label1 = nullptr;
  QSpinBox* Etriangle = nullptr;
  QPushButton* Bselect = nullptr;
  QTableWidget* SGtr = nullptr;
  QLabel* Label2 = nullptr;
  QTableWidget* SGpr = nullptr;
  QPushButton* Bok = nullptr;

public slots:
  void EtriangleChange();
  void BselectClick();
  void BokClick();

private:
  void ShowTriangle(int t);
  void FillTriangleTable(const TIrregularMesh& mesh, int t);
  void FillPrismTable(const TIrregularMesh& mesh, int t);

  TGMeshSource* source = nullptr;
  TGArrayI* array = nullptr;
};

// The window of the run, created when first asked for.
TFGridInfo* GridInfoForm();
void DestroyGridInfo();
