#include "model/dialogs/FormParam.h"

#include "HeapFixture.h"
#include "maps/Stringgrids.h"
#include "base/ScriptedModalCalls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <functional>

namespace {

class FormParamTest : public HeapTest {
protected:
  void SetUp() override
  {
    HeapTest::SetUp();
    dialog.LoadParams(heap, true);
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFParam dialog;
};

TEST_F(FormParamTest, LoadsTheRecord)
{
  EXPECT_EQ(dialog.windowTitle(), "Параметры моделирования");
  EXPECT_EQ(dialog.Emx->text(), QString::number(heap->N1));
  EXPECT_EQ(dialog.Emy->text(), QString::number(heap->N2));
  EXPECT_EQ(dialog.Emz->text(), QString::number(heap->N3));
  EXPECT_EQ(dialog.Edx->text().toStdString(), ParamText6(heap->CellSize1));
  EXPECT_EQ(dialog.ElimbEn->text().toStdString(), ParamText15(heap->LimbEn));
  EXPECT_EQ(dialog.CBdwtype->currentIndex(), heap->DwType);
  EXPECT_EQ(dialog.SGmm->rowCount(), heap->MaterialCount);
  EXPECT_EQ(GridCell(*dialog.SGmm, 0, 0), "0");
  EXPECT_EQ(GridCell(*dialog.SGmm, 1, 0).toStdString(), ParamText6(heap->Materials[0].Ec * 1e-6));
}

TEST_F(FormParamTest, ElectrodeRowsAreLabelledWithTheirCodes)
{
  ASSERT_EQ(dialog.SGww->rowCount(), 2);
  EXPECT_EQ(GridCell(*dialog.SGww, 0, 0), "( -2, -3 )");
  EXPECT_EQ(GridCell(*dialog.SGww, 0, 1), "( -4, -5 )");
  EXPECT_EQ(GridCell(*dialog.SGww, 1, 0), "2");
  EXPECT_EQ(GridCell(*dialog.SGww, 1, 1), "1");
  dialog.BaddClick();
  ASSERT_EQ(dialog.SGww->rowCount(), 3);
  EXPECT_EQ(GridCell(*dialog.SGww, 0, 2), "( -6, -7 )");
  dialog.BdelClick();
  dialog.BdelClick();
  EXPECT_EQ(dialog.SGww->rowCount(), 2) << "two electrodes stay";
}

struct TFieldCase {
  const char* name;
  std::function<QLineEdit*(TFParam&)> edit;
  const char* text;
  std::function<double(const THeap&)> member;
  double expected;
};

class FormParamFields : public FormParamTest, public ::testing::WithParamInterface<TFieldCase> {};

TEST_P(FormParamFields, EditsAreApplied)
{
  const TFieldCase& c = GetParam();
  c.edit(dialog)->setText(QString::fromUtf8(c.text));
  ASSERT_TRUE(dialog.ApplyParams()) << c.name;
  EXPECT_EQ(c.member(*heap), c.expected) << c.name;
  EXPECT_TRUE(calls.messages.empty());
}

#define FIELD(edit, text, member, expected)                                                                  \
  TFieldCase                                                                                                 \
  {                                                                                                          \
    #edit " " text, [](TFParam& d) { return d.edit; }, text, [](const THeap& h) { return double(h.member); }, \
        expected                                                                                             \
  }

INSTANTIATE_TEST_SUITE_P(
    Fields, FormParamFields,
    ::testing::Values(FIELD(Edx, "1,5e-3", CellSize1, 0.0015), FIELD(Edy, "2e-4", CellSize2, 2e-4),
                      FIELD(Edz, "3e-4", CellSize3, 3e-4), FIELD(Emx, "30", N1, 30), FIELD(Emy, "31", N2, 31),
                      FIELD(Emz, "32", N3, 32), FIELD(Edtinit, "1e-9", DtInit, 1e-9), FIELD(Edt, "2e-9", DtGrowth, 2e-9),
                      FIELD(Edtspark, "3e-9", DtSpark, 3e-9), FIELD(Etau, "0,5", Tau, 0.5),
                      FIELD(EgenU, "200000", GenU, 200000), FIELD(EgenC, "2e-8", GenC, 2e-8),
                      FIELD(EgenL, "1e-5", GenL, 1e-5), FIELD(EgenR0, "100", GenR0, 100),
                      FIELD(EgenR1, "0,1", GenR1, 0.1), FIELD(EgenRT, "6e-8", GenRT, 6e-8),
                      FIELD(EgenCs, "5e-10", GenCs, 5e-10), FIELD(EgenL1, "7", GenL1, 7), FIELD(EgenNR2, "8", GenNR2, 8),
                      FIELD(Edw, "0.001", Dw, 0.001), FIELD(Edw0, "0.002", Dw0, 0.002),
                      FIELD(Eminnwitr, "3", MinNwItr, 3), FIELD(Emaxnwitr, "300", MaxNwItr, 300),
                      FIELD(Eeps0, "8,8542e-12", Eps0, 8.8542e-12), FIELD(ElimbEn, "2,5", LimbEn, 2.5),
                      FIELD(ElimbMinCond, "1e-6", LimbMinCond, 1e-6), FIELD(ElimbMaxCond, "1e-3", LimbMaxCond, 1e-3),
                      FIELD(ElimbDimMinLength, "4", LimbDimMinLength, 4),
                      FIELD(ElimbDimMinCount, "7", LimbDimMinCount, 7)));

TEST_F(FormParamTest, CombosCheckBoxesAndPotentials)
{
  dialog.CBdwtype->setCurrentIndex(2);
  dialog.CBitrtype->setCurrentIndex(1);
  dialog.GrowthType->setCurrentIndex(1);
  dialog.CBbsep->setChecked(true);
  dialog.CBgenidle->setChecked(true);
  dialog.BaddClick();
  SetGridCell(*dialog.SGww, 1, 2, "3,5");
  ASSERT_TRUE(dialog.ApplyParams());
  EXPECT_EQ(heap->DwType, 2);
  EXPECT_EQ(heap->ItrType, 1);
  EXPECT_EQ(heap->GrowthType, 1);
  EXPECT_EQ(heap->BSep, 1);
  EXPECT_EQ(heap->GenIdle, 1);
  ASSERT_EQ(heap->ElectrodeCount, 3);
  EXPECT_EQ(heap->ElectrodePots[2], 3.5);
}

TEST_F(FormParamTest, MaterialsScaleTheCriticalFieldsByAMillion)
{
  SetGridCell(*dialog.SGmm, 1, 0, "25");
  SetGridCell(*dialog.SGmm, 8, 0, "12,5");
  SetGridCell(*dialog.SGmm, 2, 0, "4");
  ASSERT_TRUE(dialog.ApplyParams());
  EXPECT_EQ(heap->Materials[0].Ec, 2.5e7);
  EXPECT_EQ(heap->Materials[0].EcTarget, 1.25e7);
  EXPECT_EQ(heap->Materials[0].Eps, 4);
  EXPECT_EQ(heap->Materials[0].InvEps, 0.25);
  dialog.LoadParams(heap, true);
  EXPECT_EQ(GridCell(*dialog.SGmm, 1, 0), "25");
}

TEST_F(FormParamTest, ZeroPermittivityIsStoredAndApplyingGoesOn)
{
  SetGridCell(*dialog.SGmm, 2, 0, "0");
  ASSERT_TRUE(dialog.ApplyParams());
  EXPECT_EQ(heap->Materials[0].Eps, 0);
  EXPECT_EQ(heap->Materials[0].InvEps, 0);
}

TEST_F(FormParamTest, NewMaterialDuplicatesTheCurrentRowAndRenumbers)
{
  SetGridCell(*dialog.SGmm, 2, 0, "7");
  dialog.BmaddClick();
  ASSERT_EQ(dialog.SGmm->rowCount(), 2);
  EXPECT_EQ(GridCell(*dialog.SGmm, 0, 1), "1");
  EXPECT_EQ(GridCell(*dialog.SGmm, 2, 1), "7");
  ASSERT_TRUE(dialog.ApplyParams());
  EXPECT_EQ(heap->MaterialCount, 2);
  EXPECT_EQ(heap->Materials[1].Eps, 7);
  dialog.BmdelClick();
  dialog.BmdelClick();
  EXPECT_EQ(dialog.SGmm->rowCount(), 1) << "one material stays";
}

struct TBadCase {
  const char* name;
  std::function<void(TFParam&)> spoil;
  const char* message;
  // The refused field's text; none when no single field is at fault.
  std::function<QString(TFParam&)> refused;
};

std::function<QString(TFParam&)> Edit(QLineEdit* TFParam::*edit)
{
  return [edit](TFParam& dialog) { return (dialog.*edit)->text(); };
}

std::function<QString(TFParam&)> Cell(QTableWidget* TFParam::*grid, int row, int col)
{
  return [=](TFParam& dialog) { return (dialog.*grid)->item(row, col)->text(); };
}

class FormParamInvalid : public FormParamTest, public ::testing::WithParamInterface<TBadCase> {};

TEST_P(FormParamInvalid, NothingIsWrittenAndTheFieldIsNamed)
{
  // Good edits before the bad one must not slip through either.
  const QString loaded = GetParam().refused ? GetParam().refused(dialog) : QString();
  dialog.EgenU->setText("12345");
  dialog.Emx->setText("20");
  GetParam().spoil(dialog);
  const std::vector<unsigned char> before = Snapshot();
  EXPECT_FALSE(dialog.ApplyParams());
  EXPECT_EQ(Snapshot(), before) << GetParam().name;
  // The refused field shows its loaded value again.
  if (GetParam().refused)
    EXPECT_EQ(GetParam().refused(dialog), loaded) << GetParam().name;
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, "Ошибка");
  EXPECT_TRUE(calls.messages[0].text.contains(QString::fromUtf8(GetParam().message)))
      << calls.messages[0].text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormParamInvalid,
    ::testing::Values(TBadCase{"node count not an integer", [](TFParam& d) { d.Emy->setText("2.5"); }, "высота", Edit(&TFParam::Emy)},
                      TBadCase{"node count zero", [](TFParam& d) { d.Emz->setText("0"); }, "не меньше 1", Edit(&TFParam::Emz)},
                      TBadCase{"lattice too large",
                               [](TFParam& d) {
                                 d.Emx->setText("102");
                                 d.Emy->setText("101");
                                 d.Emz->setText("101");
                               },
                               "1030301", nullptr},
                      TBadCase{"growth step zero", [](TFParam& d) { d.Edt->setText("0"); }, "\"рост\"", Edit(&TFParam::Edt)},
                      TBadCase{"start step negative", [](TFParam& d) { d.Edtinit->setText("-1e-9"); }, "\"старт\"", Edit(&TFParam::Edtinit)},
                      TBadCase{"spark step not a number", [](TFParam& d) { d.Edtspark->setText("abc"); }, "\"дуга\"", Edit(&TFParam::Edtspark)},
                      TBadCase{"cell size zero", [](TFParam& d) { d.Edz->setText("0"); }, "\"dy\"", Edit(&TFParam::Edz)},
                      TBadCase{"iterations", [](TFParam& d) { d.Emaxnwitr->setText("x"); }, "не более", Edit(&TFParam::Emaxnwitr)},
                      TBadCase{"dimension count", [](TFParam& d) { d.ElimbDimMinCount->setText(""); },
                               "минимальное число", Edit(&TFParam::ElimbDimMinCount)},
                      TBadCase{"voltage not a number", [](TFParam& d) { d.EgenU->setText("abc"); }, "\"U\"", Edit(&TFParam::EgenU)},
                      TBadCase{"number with trailing text", [](TFParam& d) { d.Etau->setText("1e-9s"); }, "\"τ\"", Edit(&TFParam::Etau)},
                      TBadCase{"empty conductivity", [](TFParam& d) { d.ElimbMaxCond->setText(""); }, "\"max\"", Edit(&TFParam::ElimbMaxCond)},
                      TBadCase{"potential", [](TFParam& d) { d.SGww->item(0, 1)->setText("x"); }, "потенциал", Cell(&TFParam::SGww, 0, 1)},
                      TBadCase{"material cell", [](TFParam& d) { d.SGmm->item(0, 2)->setText("эпс"); }, "\"ε\"", Cell(&TFParam::SGmm, 0, 2)}));

TEST_F(FormParamTest, OkWithABadFieldKeepsTheDialogOpen)
{
  dialog.show();
  const QString loaded = dialog.Edt->text();
  dialog.PageControl->setCurrentIndex(3);
  dialog.Edt->setText("0");
  // The OK button goes through the dialog's own check.
  dialog.Bok->click();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(dialog.Edt->text(), loaded);
  EXPECT_EQ(dialog.PageControl->currentIndex(), 0) << "the page of the refused field comes to the front";
  dialog.Edt->setText("1e-9");
  dialog.Bok->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(FormParamTest, ReadOnlyWhenNotEditable)
{
  dialog.LoadParams(heap, false);
  EXPECT_TRUE(dialog.Edx->isReadOnly());
  EXPECT_TRUE(dialog.EgenU->isReadOnly());
  EXPECT_TRUE(dialog.ElimbDimMinCount->isReadOnly());
  EXPECT_FALSE(dialog.CBdwtype->isEnabled());
  EXPECT_FALSE(dialog.CBgenidle->isEnabled());
  EXPECT_FALSE(dialog.CBbsep->isEnabled());
  EXPECT_FALSE(dialog.Badd->isEnabled());
  EXPECT_FALSE(dialog.Bmdel->isEnabled());
  EXPECT_EQ(dialog.SGmm->editTriggers(), QAbstractItemView::NoEditTriggers);
  dialog.Edx->setText("0.5");
  const std::vector<unsigned char> before = Snapshot();
  EXPECT_FALSE(dialog.ApplyParams());
  EXPECT_EQ(Snapshot(), before);
}

TEST(FormParamStates, EditableOnlyBeforeAndAfterARun)
{
  const bool expected[] = {true, false, false, true, false};
  for (int state = 0; state < 5; ++state)
    EXPECT_EQ(TFParam::EditableInState(state), expected[state]) << state;
}

TEST_F(FormParamTest, GeneratorIdleDisablesTheStructureGroups)
{
  dialog.CBgenidle->setChecked(true);
  EXPECT_FALSE(dialog.GBgrowth->isEnabled());
  EXPECT_FALSE(dialog.GBdim->isEnabled());
  dialog.CBgenidle->setChecked(false);
  EXPECT_TRUE(dialog.GBcond->isEnabled());
}

TEST_F(FormParamTest, ExtentsFollowTheLatticeRows)
{
  dialog.Edx->setText("0.5");
  dialog.Emx->setText("4");
  EXPECT_EQ(dialog.Lx->text(), "2");
  dialog.Edy->setText("0.25");
  dialog.Emy->setText("5");
  EXPECT_EQ(dialog.Ly->text(), "1");
  dialog.Emy->setText("1");
  EXPECT_EQ(dialog.Ly->text(), "0");
  dialog.Emx->setText("0");
  EXPECT_EQ(dialog.Lx->text(), "2") << "a node count of 0 keeps the label";
  dialog.Emx->setText("3");
  dialog.Edx->setText("x");
  EXPECT_EQ(dialog.Lx->text(), "1.5") << "a cell size that is not a number keeps the label";
}

TEST_F(FormParamTest, IsoPermittivity)
{
  dialog.BisoClick();
  EXPECT_EQ(dialog.Eeps0->text(), "8.8542e-12");
}

}  // namespace
