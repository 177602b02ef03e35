#include "model/dialogs/FormParamStud.h"

#include "HeapFixture.h"
#include "base/ScriptedModalCalls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

class FormParamStudTest : public HeapTest {
protected:
  void SetUp() override
  {
    HeapTest::SetUp();
    heap->GenU = 200000;
    heap->GenC = 2e-8;
    heap->GenL = 1e-5;
    heap->GenRT = 6e-8;
    heap->GenCs = 5e-10;
    heap->GenR0 = 150;
    heap->GenR1 = 0.5;
    heap->Materials[0].Eps = 2.2;
    heap->Materials[0].Sigma = 1e-14;
    dialog.LoadParams(heap, true);
  }

  TFParamStud dialog;
};

TEST_F(FormParamStudTest, ShowsPracticalUnits)
{
  EXPECT_EQ(dialog.windowTitle(), "Параметры моделирования");
  EXPECT_EQ(dialog.EgenU->text(), "200");
  EXPECT_EQ(dialog.EgenC->text(), "20");
  EXPECT_EQ(dialog.EgenL->text(), "10");
  EXPECT_EQ(dialog.EgenRT->text(), "60");
  EXPECT_EQ(dialog.EgenCs->text(), "500");
  EXPECT_EQ(dialog.EgenR0->text(), "150");
  EXPECT_EQ(dialog.Eeps->text(), "2.2");
  EXPECT_TRUE(dialog.CBgenidle->isEnabled());
  EXPECT_FALSE(dialog.EgenU->isReadOnly());
}

struct TStudCase {
  const char* name;
  std::function<QLineEdit*(TFParamStud&)> edit;
  const char* text;
  std::function<double(const THeap&)> member;
  double expected;
};

class FormParamStudFields : public FormParamStudTest, public ::testing::WithParamInterface<TStudCase> {};

TEST_P(FormParamStudFields, EditedTextsAreAppliedTimesTheirFactor)
{
  GetParam().edit(dialog)->setText(QString::fromUtf8(GetParam().text));
  dialog.ApplyParams();
  EXPECT_EQ(GetParam().member(*heap), GetParam().expected) << GetParam().name;
}

#define STUD(edit, text, member, expected)                                                                  \
  TStudCase                                                                                                 \
  {                                                                                                         \
    #edit " " text, [](TFParamStud& d) { return d.edit; }, text, [](const THeap& h) { return h.member; }, \
        expected                                                                                            \
  }

INSTANTIATE_TEST_SUITE_P(Fields, FormParamStudFields,
                         ::testing::Values(STUD(EgenU, "150", GenU, 150 * 1000.0),
                                           STUD(EgenC, "2,5", GenC, 2.5 * 1e-9), STUD(EgenL, "3", GenL, 3 * 1e-6),
                                           STUD(EgenR0, "12", GenR0, 12), STUD(EgenR1, "0,25", GenR1, 0.25),
                                           STUD(EgenRT, "40", GenRT, 40 * 1e-9),
                                           STUD(EgenCs, "100", GenCs, 100 * 1e-12),
                                           STUD(Eeps, "4,5", Materials[0].Eps, 4.5),
                                           STUD(Esigma0, "1e-12", Materials[0].Sigma, 1e-12)));

TEST_F(FormParamStudTest, UnchangedTextsLeaveTheStoredValuesExactly)
{
  // 10 x 1e-6 would store 9.999999999999999e-06 instead of 1e-5.
  const std::vector<unsigned char> before = Snapshot();
  dialog.ApplyParams();
  dialog.ApplyParams();
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(heap->GenL, 1e-5);
}

TEST_F(FormParamStudTest, OnlyMaterialZeroChanges)
{
  const int count = 2;
  TMaterial* materials = TMaterialNew(count);
  materials[0] = heap->Materials[0];
  materials[1] = heap->Materials[0];
  materials[1].Eps = 9;
  TMaterialDelete(heap->Materials);
  heap->Materials = materials;
  heap->MaterialCount = count;
  dialog.LoadParams(heap, true);
  dialog.Eeps->setText("4,5");
  dialog.ApplyParams();
  EXPECT_EQ(heap->Materials[0].Eps, 4.5);
  EXPECT_EQ(heap->Materials[1].Eps, 9);
}

TEST_F(FormParamStudTest, IdleSwitch)
{
  dialog.CBgenidle->setChecked(true);
  dialog.ApplyParams();
  EXPECT_EQ(heap->GenIdle, 1);
}

TEST_F(FormParamStudTest, NotEditableWritesNothing)
{
  dialog.LoadParams(heap, false);
  EXPECT_TRUE(dialog.EgenU->isReadOnly());
  EXPECT_TRUE(dialog.Esigma0->isReadOnly());
  EXPECT_FALSE(dialog.CBgenidle->isEnabled());
  dialog.EgenU->setText("1");
  dialog.Eeps->setText("7");
  dialog.CBgenidle->setChecked(true);
  const std::vector<unsigned char> before = Snapshot();
  dialog.ApplyParams();
  EXPECT_EQ(Snapshot(), before);
}

}  // namespace

namespace {

TEST_F(FormParamStudTest, TextThatIsNoNumberKeepsTheDialogOpen)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  dialog.show();
  const std::vector<unsigned char> before = Snapshot();
  const QString loaded = dialog.EgenU->text();
  dialog.EgenU->setText("abc");
  dialog.Bok->click();
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, QString::fromUtf8("Недопустимое значение поля \"U\"."));
  EXPECT_EQ(dialog.EgenU->text(), loaded) << "the loaded value is shown again";
  dialog.ApplyParams();
  EXPECT_EQ(Snapshot(), before) << "a refused text is never applied";
  dialog.EgenU->setText("150");
  dialog.Bok->click();
  EXPECT_FALSE(dialog.isVisible());
  dialog.ApplyParams();
  EXPECT_EQ(heap->GenU, 150000);
}

}  // namespace
