// The array property frames: the drawing options shown and written into the
// array at once, the level of a three-dimensional array, the surfaces of a
// layered triangulated one, the data window and the drawing dialog they open.
#include "MapsTestSupport.h"

#include "../../common/gis/MeshSourceSupport.h"
#include "../model/dialogs/ActingModalCalls.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI3D.h"
#include "maps/ColorSwatch.h"
#include "maps/FormSetArrayDrawing.h"
#include "maps/FrameArray.h"
#include "maps/FrameArray3D.h"
#include "maps/FrameArrayI3D.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace mapstest;

namespace {

class FrameArrayTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    array = AddArray("P", {"Потенциал"});
    array->SetUnitText("В");
    gis.OnChange = [this](void*) { ++changes; };
  }
  void TearDown() override { gis.OnChange = nullptr; }

  // The frame as the array creates it through the installed registry.
  template <class Frame = TFmArray>
  std::unique_ptr<Frame> FrameOf(TGObj& object)
  {
    return std::unique_ptr<Frame>(dynamic_cast<Frame*>(object.CreateEditorFrame(false, false, nullptr)));
  }

  TGArray* array = nullptr;
  int changes = 0;
};

struct TFillCase {
  int fillType;
  bool checked;
  int index;
  bool swatches;
  bool alphaEnabled;
  bool steppedEnabled;
};

class FrameArrayFillTest : public FrameArrayTest, public ::testing::WithParamInterface<TFillCase> {};

TEST_P(FrameArrayFillTest, ShowsTheFillControlsOfTheType)
{
  const TFillCase& c = GetParam();
  array->SetFillType(c.fillType);
  auto frame = FrameOf(*array);
  ASSERT_NE(frame, nullptr);
  frame->show();
  EXPECT_EQ(frame->CBfill->isChecked(), c.checked);
  EXPECT_EQ(frame->CBfilltype->currentIndex(), c.index);
  EXPECT_EQ(frame->CBfilltype->isEnabled(), c.checked);
  EXPECT_EQ(frame->Sfill1->isVisible(), c.swatches);
  EXPECT_EQ(frame->Sfill2->isVisible(), c.swatches);
  EXPECT_EQ(frame->Ealpha->isEnabled(), c.alphaEnabled);
  EXPECT_EQ(frame->CBdiscfill->isEnabled(), c.steppedEnabled);
  // Filling writes nothing back.
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(gis.IsModified());
}

INSTANTIATE_TEST_SUITE_P(Types, FrameArrayFillTest,
                         ::testing::Values(TFillCase{0, false, 0, false, false, false},
                                           TFillCase{1, true, 0, true, false, true},
                                           TFillCase{2, true, 1, true, false, false},
                                           TFillCase{3, true, 2, true, true, true}));

TEST_F(FrameArrayTest, ControlsWriteIntoTheArrayAtOnce)
{
  array->SetFillType(FillNone);
  array->SetAlpha(0x10000, 0x10000);
  auto frame = FrameOf(*array);
  EXPECT_EQ(frame->Lunit->text(), "(В)");
  EXPECT_EQ(frame->Ealpha->value(), 100);
  QTest::mouseClick(frame->CBfill, Qt::LeftButton);
  frame->CBfilltype->setCurrentIndex(2);
  EXPECT_EQ(array->GetFillType(), FillOneTransparency);
  frame->Ealpha->setValue(50);
  EXPECT_EQ(array->GetDrawSettings().transparency1, 32768);
  EXPECT_EQ(array->GetDrawSettings().transparency2, 32768);
  const bool grid = array->GetDrawSettings().gridOn != 0;
  QTest::mouseClick(frame->CBdrawgrids, Qt::LeftButton);
  EXPECT_EQ(array->GetDrawSettings().gridOn != 0, !grid);
  EXPECT_EQ(frame->CBdrawgrids->isChecked(), !grid);
  EXPECT_EQ(changes, 4);
  EXPECT_TRUE(gis.IsModified());
  // Applying adds nothing.
  gis.SetModified(false);
  array->ApplyEditorFrame(frame.get());
  EXPECT_EQ(array->GetFillType(), FillOneTransparency);
}

TEST_F(FrameArrayTest, ColourSwatchesAskTheColourDialog)
{
  auto frame = FrameOf(*array);
  calls.colourAnswers = {std::nullopt, QColor(0x12, 0x34, 0x56), QColor(Qt::red)};
  frame->SgridMouseDown();
  EXPECT_EQ(changes, 0);
  frame->SgridMouseDown();
  EXPECT_EQ(array->GetDrawSettings().gridColor, 0x563412u);
  EXPECT_EQ(frame->Sgrid->Color(), 0x563412u);
  frame->ContourColorMouseDown();
  EXPECT_EQ(array->GetDrawSettings().contourColor1, 0x0000FFu);
  EXPECT_EQ(array->GetDrawSettings().contourColor2, 0x0000FFu);
  EXPECT_EQ(changes, 2);
}

TEST_F(FrameArrayTest, AFrameWhoseArrayIsGoneWritesNothing)
{
  auto frame = FrameOf(*array);
  gis.DeleteObject(nullptr, array, true);
  const int before = changes;
  gis.SetModified(false);
  QTest::mouseClick(frame->CBdrawgrids, Qt::LeftButton);
  frame->Ealpha->setValue(10);
  EXPECT_EQ(changes, before);
  EXPECT_FALSE(gis.IsModified());
}

TEST_F(FrameArrayTest, DataButtonOpensTheRegisteredWindowAndNotifiesOnChange)
{
  auto frame = FrameOf(*array);
  // The program's own data window serves arrays; the test window replaces it.
  EXPECT_TRUE(frame->Bdata->isEnabled());
  std::vector<bool> answers = {false, true};
  int opened = 0;
  registry.RegisterDataWindow(ObjectTypeArray, [&](TGObj& object) {
    EXPECT_EQ(&object, array);
    return answers[static_cast<size_t>(opened++)];
  });
  frame->FillFrom(*array, false);
  ASSERT_TRUE(frame->Bdata->isEnabled());
  frame->Bdata->click();
  EXPECT_EQ(changes, 0);
  frame->Bdata->click();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(gis.IsModified());
  // The array's own edit command reaches the same window.
  answers.push_back(false);
  EXPECT_FALSE(array->Edit());
  EXPECT_EQ(opened, 3);
}

TEST_F(FrameArrayTest, MoreOpensTheDrawingDialogAndMarksTheProjectWhenApplied)
{
  TActingModalCalls acting;
  TModalCallsScope actingInstalled{acting};
  auto frame = FrameOf(*array);
  acting.whileShown = [](QDialog* dialog) { dynamic_cast<TFSetArrayDrawing*>(dialog)->SBok->click(); };
  frame->SpeedButton1Click();
  ASSERT_EQ(acting.dialogs.size(), 1u);
  EXPECT_EQ(acting.dialogs[0], SetArrayDrawingForm());
  EXPECT_TRUE(gis.IsModified());
  EXPECT_GE(changes, 1);
  // Cancelled, nothing is marked.
  gis.SetModified(false);
  acting.whileShown = [](QDialog* dialog) { dynamic_cast<TFSetArrayDrawing*>(dialog)->Bcancel->click(); };
  frame->SpeedButton1Click();
  EXPECT_FALSE(gis.IsModified());
}

TEST_F(FrameArrayTest, ThreeDimensionalArrayShowsTheLevelItTakes)
{
  auto* volume = Add(std::make_unique<TGArray3D>(&gis, 4, 3, 5, 0), "V");
  auto frame = FrameOf<TFmArray3D>(*volume);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Elevel->maximum(), 5);
  EXPECT_EQ(frame->Elevel->value(), volume->GetLevel() + 1);
  frame->Elevel->setValue(4);
  EXPECT_EQ(volume->GetLevel(), 3);
  EXPECT_TRUE(gis.IsModified());
}

TEST_F(FrameArrayTest, LayeredMeshArrayListsTwoSurfacesPerLayer)
{
  auto* source = Add(std::make_unique<meshtest::TTestMeshSource>(&gis), "S");
  auto layered = std::make_unique<TGArrayI3D>(&gis, source->GetId(), ValuesAtNodes, 0);
  auto* mesh = Add(std::move(layered), "L");
  auto frame = std::unique_ptr<TFmArrayI3D>(
      dynamic_cast<TFmArrayI3D*>(mesh->CreateEditorFrame(false, false, nullptr)));
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(frame->CBlevels->count(), 4);
  EXPECT_EQ(frame->CBlevels->itemText(0), "A кровля");
  EXPECT_EQ(frame->CBlevels->itemText(1), "A подошва");
  EXPECT_EQ(frame->CBlevels->itemText(2), "B кровля");
  EXPECT_EQ(frame->CBlevels->itemText(3), "B подошва");
  frame->CBlevels->setCurrentIndex(2);
  EXPECT_EQ(mesh->GetLayer(), 2);
  EXPECT_EQ(changes, 1);
  // The button opens the mesh window.
  EXPECT_TRUE(frame->Bdata->isEnabled());
}

} // namespace
