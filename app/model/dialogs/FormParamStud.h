#pragma once
// TFParamStud: the reduced parameter dialog of the student mode: the
// generator in practical units and the dielectric's permittivity and bulk
// conductivity.
#include <korvane.h>

#include <QDialog>

#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TFParamStud : public QDialog {
  Q_OBJECT

public:
  explicit TFParamStud(QWidget* owner = nullptr);

  void LoadParams(THeap* heap, bool editable);
  // Writes back, times the apply factors, only the fields whose text the user
  // changed since loading: an unchanged text times its factor would move the
  // stored value in its last bit on every OK.
  void ApplyParams();
  bool IsEditable() const { return editable; }
  THeap* GetHeap() const { return heap; }
  // Lets go of the record when the command ends: the next project's model has another.
  void ForgetEngine() { heap = nullptr; }
  // OK: an edited field that holds no number keeps the dialog open.
  void accept() override;

  QLineEdit* EgenU = nullptr;
  QLineEdit* EgenC = nullptr;
  QLineEdit* EgenL = nullptr;
  QLineEdit* EgenR0 = nullptr;
  QLineEdit* EgenR1 = nullptr;
  QLineEdit* EgenRT = nullptr;
  QLineEdit* EgenCs = nullptr;
  QCheckBox* CBgenidle = nullptr;
  QLineEdit* Eeps = nullptr;
  QLineEdit* Esigma0 = nullptr;
  QPushButton* Bok = nullptr;
  QPushButton* Bcancel = nullptr;

private:
  // One edit and the engine value it shows.
  struct TField {
    QLineEdit* edit;
    double* (*member)(THeap&);
    double displayFactor;
    double applyFactor;
    QString loadedText;
    const char* caption; // names the field when its text is refused
  };

  std::vector<TField> fields;
  bool loadedIdle = false;
  THeap* heap = nullptr;
  bool editable = false;
};

extern TFParamStud* FParamStud;
