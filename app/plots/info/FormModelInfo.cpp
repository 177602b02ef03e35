#include "plots/info/FormModelInfo.h"

#include "plots/info/InfoFields.h"

#include "data/TagStream.h"
#include "model/FormBitModel.h"

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>

namespace {

constexpr int32_t GroupModelInfo = 2204;

QString WithUnit(double value, const char* unit) { return InfoNumber(value) + QString::fromUtf8(unit); }

} // namespace

TFModelInfo::TFModelInfo(TFMain* mainWindow, QWidget* owner, TFModel* model)
    : TFInfoView(mainWindow, owner, model, WindowKindModelInfo, GroupModelInfo)
{
  setWindowTitle(QString::fromUtf8("Информация"));
  setFixedWidth(452);
  auto* grid = new QGridLayout(this);
  auto add = [grid](int row, int column, const char* name, const char* caption, const char* hint) {
    return AddInfoField(grid, row, column, name, QString::fromUtf8(caption), hint);
  };
  Et = add(0, 0, "Et", "t", "modeling time");
  ENt = add(0, 2, "ENt", "N", "time step count");
  Entree = add(1, 0, "Entree", "n", "tree element count");
  Enwitr = add(1, 2, "Enwitr", "Itr.", "iteration count");
  Estree = add(2, 0, "Estree", "seg.", "tree segment count");
  Epnwitr = add(2, 2, "Epnwitr", "Itr.x", "iteration count");
  Ectree = add(3, 0, "Ectree", "ch.", "tree channel count");
  Edw = add(3, 2, "Edw", "Df", "voltage");
  Eltree = add(4, 0, "Eltree", "l", "tree channel length");
  Edepthint = add(4, 2, "Edepthint", "X", "depth integral");
  Ertree = add(5, 0, "Ertree", "r", "tree stracture size");
  Edepthmean = add(5, 2, "Edepthmean", "<d>", "mean breakdown channel depth");
  Edtree = add(6, 0, "Edtree", "d", "tree structure dimension");
  Edepthmax = add(6, 2, "Edepthmax", "d max", "max. breakdown channel depth");
  Ed0tree = add(7, 0, "Ed0tree", "d0", "tree stracture dimension  coef.");
  Edepthlen = add(7, 2, "Edepthlen", "l solid", "sum. channels length in solid");
}

void TFModelInfo::Refresh()
{
  if (!Model)
    return;
  Et->setText(WithUnit(Model->GetTime() * 1e9, " ns"));
  ENt->setText(QString::number(Model->GetStepCount()));
  auto* model = dynamic_cast<TFBitModel*>(Model);
  if (!model)
    return;
  const TEngineStatistics s = model->GetSnapshot().Statistics();
  Entree->setText(InfoNumber(s.elementCount, 15));
  Ectree->setText(InfoNumber(s.channelCount, 15));
  Estree->setText(InfoNumber(s.segmentCount, 15));
  Edtree->setText(InfoNumber(s.dimension));
  Ed0tree->setText(InfoNumber(s.dimensionIntercept));
  Ertree->setText(WithUnit(s.structureSize * 1000, " mm"));
  Eltree->setText(WithUnit(s.channelLength * 1000, " mm"));
  Enwitr->setText(QString::number(s.totalIterations));
  Epnwitr->setText(QString::number(s.postStepIterations));
  Edw->setText(WithUnit(s.appliedVoltage * 0.001, " kV"));
  double area = 0, horizontal = 0, maxHeight = 0;
  double lengthAbove = 0, ratio = 0;
  model->GetTreeLimbInfo(&area, &horizontal, &maxHeight, &lengthAbove, &ratio);
  if (horizontal == 0)
    horizontal = 1;
  Edepthint->setText(WithUnit(area * 1e6, " mm2"));
  Edepthmean->setText(WithUnit(area / horizontal * 1000, " mm"));
  Edepthmax->setText(WithUnit(maxHeight * 1000, " mm"));
  Edepthlen->setText(WithUnit(model->GetTreeLimbsLength() * 1000, " mm"));
}
