#include "model/dialogs/FormParamStud.h"

#include "data/TextConversion.h"
#include "model/dialogs/ParamDialogLayout.h"
#include "base/CaptionWidth.h"
#include "base/ModalCalls.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFParamStud* FParamStud = nullptr;

namespace {

// The engine keeps at least one material, so material 0 is always there.
double* Eps0Of(THeap& h)
{
  return &h.Materials[0].Eps;
}
double* Sigma0Of(THeap& h)
{
  return &h.Materials[0].Sigma;
}

}  // namespace

TFParamStud::TFParamStud(QWidget* owner) : QDialog(owner)
{
  setObjectName("FParamStud");
  setWindowTitle(QStringLiteral("Параметры моделирования"));
  auto* generator = new QGroupBox(QStringLiteral(" генератор "));
  auto* genGrid = new QGridLayout(generator);
  EgenU = AddEdit(genGrid, 0, "EgenU", "U", "кВ", "начальное напряжение, если ноль, схема генератора не используется");
  EgenC = AddEdit(genGrid, 1, "EgenC", "C", "нФ", "емкость генератора");
  EgenL = AddEdit(genGrid, 2, "EgenL", "L", "мкГн", "индуктивность генератора");
  EgenR0 = AddEdit(genGrid, 3, "EgenR0", "R", "Ом", "начальное");
  EgenR1 = AddEdit(genGrid, 4, "EgenR1", "R", "Ом", "предельное конечное");
  EgenRT = AddEdit(genGrid, 5, "EgenRT", "ΘR", "нс", "показатель экспоненты для сопротивления разрядника");
  EgenCs = AddEdit(genGrid, 6, "EgenCs", "Cs", "пФ", "паразитная емкость схемы");
  CBgenidle = new QCheckBox(QStringLiteral("холостой ход"));
  CBgenidle->setObjectName("CBgenidle");
  genGrid->addWidget(CBgenidle, 7, 0, 1, 3);
  auto* dielectric = new QGroupBox(QStringLiteral(" диэлектрик "));
  auto* dielGrid = new QGridLayout(dielectric);
  Eeps = AddEdit(dielGrid, 0, "Eeps", "ε", nullptr, "относительная диэлектрическая проницаемость");
  Esigma0 = AddEdit(dielGrid, 1, "Esigma0", "σ0", "См/м", "объемная проводимость диэлектрика");

  QHBoxLayout* buttons = MakeOkCancelRow(this, Bok, Bcancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(generator);
  layout->addWidget(dielectric);
  layout->addLayout(buttons);

  fields = {{EgenU, [](THeap& h) { return &h.GenU; }, 0.001, 1000, {}, "U"},
            {EgenC, [](THeap& h) { return &h.GenC; }, 1e9, 1e-9, {}, "C"},
            {EgenL, [](THeap& h) { return &h.GenL; }, 1e6, 1e-6, {}, "L"},
            {EgenR0, [](THeap& h) { return &h.GenR0; }, 1, 1, {}, "R"},
            {EgenR1, [](THeap& h) { return &h.GenR1; }, 1, 1, {}, "R"},
            {EgenRT, [](THeap& h) { return &h.GenRT; }, 1e9, 1e-9, {}, "ΘR"},
            {EgenCs, [](THeap& h) { return &h.GenCs; }, 1e12, 1e-12, {}, "Cs"},
            {Eeps, Eps0Of, 1, 1, {}, "ε"},
            {Esigma0, Sigma0Of, 1, 1, {}, "σ0"}};
  editable = false;
  FitWidthToCaption(*this);
}

void TFParamStud::LoadParams(THeap* record, bool canEdit)
{
  heap = record;
  editable = canEdit;
  for (TField& field : fields) {
    if (heap)
      field.edit->setText(QString::fromStdString(
          FloatToStrSep(*field.member(*heap) * field.displayFactor, ffGeneral, 6, 0)));
    field.loadedText = field.edit->text();
    field.edit->setReadOnly(!editable);
  }
  if (heap)
    CBgenidle->setChecked(heap->GenIdle != 0);
  loadedIdle = CBgenidle->isChecked();
  CBgenidle->setEnabled(editable);
}

void TFParamStud::accept()
{
  // A text that is no number would be taken as 0 (U = 0 switches the
  // generator off): the dialog stays open, the field named and showing its
  // loaded value again.
  for (const TField& field : fields) {
    double value = 0;
    if (editable && field.edit->text() != field.loadedText &&
        !TryStrToFloatStrict(field.edit->text().toStdString(), value)) {
      field.edit->setText(field.loadedText);
      ShowErrorMessage(this, QString::fromUtf8("Недопустимое значение поля \"%1\".").arg(QString::fromUtf8(field.caption)));
      field.edit->setFocus();
      return;
    }
  }
  QDialog::accept();
}

void TFParamStud::ApplyParams()
{
  if (!editable || !heap)
    return;
  for (const TField& field : fields) {
    double value = 0;
    if (field.edit->text() != field.loadedText && TryStrToFloatStrict(field.edit->text().toStdString(), value))
      *field.member(*heap) = value * field.applyFactor;
  }
  if (CBgenidle->isChecked() != loadedIdle)
    heap->GenIdle = CBgenidle->isChecked() ? 1 : 0;
}
