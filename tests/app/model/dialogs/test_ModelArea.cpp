#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FrameModelRect.h"
#include "model/dialogs/ModelAreaMath.h"

#include "gis/GIS.h"
#include "gis/GModelRect.h"
#include "gis/GPoint.h"
#include "maps/FrameCoord.h"
#include "ActingModalCalls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct TMarginCase {
  const char* name;
  double x1, y1, x2, y2;
  double gx, gy;
  int unit;
  int anchor;
  double ex1, ey1, ex2, ey2;
};

class AreaMargins : public ::testing::TestWithParam<TMarginCase> {};

TEST_P(AreaMargins, GrowAboutTheAnchor)
{
  const TMarginCase& c = GetParam();
  double x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
  ApplyAreaMargins(x1, y1, x2, y2, c.gx, c.gy, c.unit, c.anchor);
  EXPECT_DOUBLE_EQ(x1, c.ex1) << c.name;
  EXPECT_DOUBLE_EQ(y1, c.ey1) << c.name;
  EXPECT_DOUBLE_EQ(x2, c.ex2) << c.name;
  EXPECT_DOUBLE_EQ(y2, c.ey2) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AreaMargins,
    ::testing::Values(TMarginCase{"centre, percent", 0, 0, 10, 10, 10, 10, MarginPercent, 4, -0.5, -0.5, 10.5, 10.5},
                      TMarginCase{"top left", 0, 0, 10, 10, 10, 10, MarginPercent, 0, 0, 0, 11, 11},
                      TMarginCase{"bottom right", 0, 0, 10, 10, 10, 10, MarginPercent, 8, -1, -1, 10, 10},
                      TMarginCase{"length against the corners", 10, 0, 0, 10, 2, 0, MarginLength, 4, 11, 0, -1, 10},
                      TMarginCase{"negative shrinks", 0, 0, 10, 10, -20, 0, MarginPercent, 3, 0, 0, 8, 10},
                      TMarginCase{"middle column, top row", 0, 0, 10, 20, 4, 2, MarginLength, 1, -2, 0, 12, 22}));

TEST(RectNotInside, SharedEdgesCountAsInsideAndCornersAreNormalised)
{
  EXPECT_FALSE(RectNotInside(0, 0, 10, 10, 0, 0, 10, 10));
  EXPECT_FALSE(RectNotInside(10, 10, 0, 0, 1, 1, 9, 9));
  EXPECT_TRUE(RectNotInside(0, 0, 10, 10, -1, 0, 10, 10));
  EXPECT_TRUE(RectNotInside(0, 0, 10, 10, 0, 0, 10, 10.5));
  EXPECT_TRUE(RectNotInside(1, 1, 9, 9, 10, 10, 0, 0));
}

class ModelAreaDialogTest : public ::testing::Test {
protected:
  void SetUp() override { FModelArea = &dialog; }
  void TearDown() override { FModelArea = nullptr; }
  void ShowCorners(double x1, double y1, double x2, double y2)
  {
    dialog.Coord1->SetPosition(x1, y1);
    dialog.Coord2->SetPosition(x2, y2);
  }
  void Corners(double& x1, double& y1, double& x2, double& y2)
  {
    dialog.Coord1->GetPosition(x1, y1);
    dialog.Coord2->GetPosition(x2, y2);
  }

  TActingModalCalls calls;
  TModalCallsScope scope{calls};
  TFModelArea dialog;
};

TEST_F(ModelAreaDialogTest, StartsWithTheCentreAnchorAndPercent)
{
  EXPECT_EQ(dialog.windowTitle(), "Область моделироввания");
  EXPECT_EQ(dialog.Anchor(), dialog.Bcc);
  EXPECT_TRUE(dialog.Bcc->isChecked());
  EXPECT_EQ(dialog.Edx->text(), "0");
  EXPECT_EQ(dialog.CBunit->currentText(), "%");
}

TEST_F(ModelAreaDialogTest, ComputeWithTheChosenAnchorAndResetRestoresTheOpeningCorners)
{
  ShowCorners(0, 0, 10, 10);
  dialog.FormActivate();
  dialog.Edx->setText("10");
  dialog.Edy->setText("10");
  dialog.MapperClick(dialog.Blu);
  EXPECT_TRUE(dialog.Blu->isChecked());
  EXPECT_FALSE(dialog.Bcc->isChecked());
  dialog.BapplayClick();
  double x1, y1, x2, y2;
  Corners(x1, y1, x2, y2);
  EXPECT_DOUBLE_EQ(x2, 11);
  EXPECT_DOUBLE_EQ(y2, 11);
  dialog.BapplayClick();
  dialog.BresetClick();
  Corners(x1, y1, x2, y2);
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(x2, 10);
  EXPECT_EQ(y2, 10);
}

TEST_F(ModelAreaDialogTest, LengthMarginsWithADecimalComma)
{
  ShowCorners(0, 0, 10, 10);
  dialog.CBunit->setCurrentIndex(1);
  dialog.Edx->setText("1,5");
  dialog.Edy->setText("0");
  dialog.BapplayClick();
  double x1, y1, x2, y2;
  Corners(x1, y1, x2, y2);
  EXPECT_DOUBLE_EQ(x1, -0.75);
  EXPECT_DOUBLE_EQ(x2, 10.75);
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(y2, 10);
  EXPECT_TRUE(calls.messages.empty());
}

// A margin that is no finite number, or one that would leave an empty or
// inverted area, is refused by the field's name; the corners stay.
struct TBadMargin {
  const char* text;
  int unit;
};

class ModelAreaBadMargin : public ModelAreaDialogTest, public ::testing::WithParamInterface<TBadMargin> {};

TEST_P(ModelAreaBadMargin, IsRefusedByNameAndTheCornersStay)
{
  ShowCorners(0, 0, 10, 10);
  dialog.CBunit->setCurrentIndex(GetParam().unit);
  for (QLineEdit* bad : {dialog.Edx, dialog.Edy}) {
    calls.messages.clear();
    dialog.Edx->setText("5");
    dialog.Edy->setText("5");
    bad->setText(QString::fromUtf8(GetParam().text));
    dialog.BapplayClick();
    ASSERT_EQ(calls.messages.size(), 1u);
    EXPECT_EQ(calls.messages[0].text, QString::fromUtf8("Недопустимое значение поля \"%1\".")
                                          .arg(QString::fromUtf8(bad == dialog.Edx ? "гор." : "верт.")));
    double x1, y1, x2, y2;
    Corners(x1, y1, x2, y2);
    EXPECT_EQ(x1, 0);
    EXPECT_EQ(y1, 0);
    EXPECT_EQ(x2, 10);
    EXPECT_EQ(y2, 10);
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ModelAreaBadMargin,
                         ::testing::Values(TBadMargin{"1e999", 0}, TBadMargin{"-1e999", 1}, TBadMargin{"abc", 0},
                                           TBadMargin{"", 0}, TBadMargin{"nan", 1}, TBadMargin{"-100", 0},
                                           TBadMargin{"-25", 1}),
                         [](const ::testing::TestParamInfo<TBadMargin>& info) { return std::to_string(info.index); });

class ModelRectFrameTest : public ModelAreaDialogTest {
protected:
  void SetUp() override
  {
    ModelAreaDialogTest::SetUp();
    gis.SetCoordKind(CoordRectangular);
    gis.OnChange = [this](void* sender) {
      ++changes;
      EXPECT_EQ(sender, nullptr);
    };
    auto owned = std::make_unique<TGModelRect>(&gis);
    area = owned.get();
    gis.AddObject(nullptr, std::move(owned), false);
    area->SetWorldRect(0, 0, 10, 10);
    auto point = std::make_unique<TGPoint>(&gis);
    gis.AddObjectAt(nullptr, std::move(point), 9, 9, true);
    frame = std::make_unique<TFmModelRect>(nullptr, area, false, false);
  }
  void TearDown() override
  {
    frame.reset();
    ModelAreaDialogTest::TearDown();
  }
  int Points() const { return gis.CountObjectsOfType(ObjectTypePoint); }

  TGIS gis;
  TGModelRect* area = nullptr;
  std::unique_ptr<TFmModelRect> frame;
  int changes = 0;
};

TEST_F(ModelRectFrameTest, ShowsTheCornersInTheKindAndUnitsOfTheGis)
{
  EXPECT_EQ(frame->Coord1->GetCoordKind(), TFmCoord::KindRectangular);
  EXPECT_EQ(frame->Coord1->GroupBox->title(), " северо-запад ");
  double x, y;
  frame->Coord2->GetPosition(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
}

TEST_F(ModelRectFrameTest, AreaThatCoversTheOldOneAsksNothing)
{
  frame->Coord1->SetPosition(-1, -2);
  frame->Coord2->SetPosition(20, 30);
  frame->ApplyToKeptObject();
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_DOUBLE_EQ(area->GetWorldX(), -1);
  EXPECT_DOUBLE_EQ(area->GetWorldWidth(), 21);
  EXPECT_DOUBLE_EQ(area->GetWorldHeight(), 32);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Points(), 1);
}

struct TDeleteCase {
  const char* name;
  QMessageBox::StandardButton answer;
  int pointsLeft;
};

class ModelRectFrameDelete : public ModelRectFrameTest, public ::testing::WithParamInterface<TDeleteCase> {};

TEST_P(ModelRectFrameDelete, SmallerAreaAsksAndDeletesOnlyOnYes)
{
  calls.messageAnswers.push_back(GetParam().answer);
  frame->Coord1->SetPosition(0, 0);
  frame->Coord2->SetPosition(5, 5);
  frame->ApplyToKeptObject();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, "Изменение области моделирования ?");
  EXPECT_EQ(calls.messages[0].text, "Удалить объекты, выходящие за область моделирования");
  EXPECT_EQ(calls.messages[0].icon, QMessageBox::Question);
  EXPECT_EQ(Points(), GetParam().pointsLeft) << GetParam().name;
  // Either way the area moves and shrinks.
  EXPECT_DOUBLE_EQ(area->GetWorldWidth(), 5);
  EXPECT_EQ(changes, 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, ModelRectFrameDelete,
                         ::testing::Values(TDeleteCase{"yes", QMessageBox::Yes, 0},
                                           TDeleteCase{"no", QMessageBox::No, 1}));

TEST_F(ModelRectFrameTest, CornersTypedTheOtherWayRoundGiveAPositiveSize)
{
  frame->Coord1->SetPosition(12, 11);
  frame->Coord2->SetPosition(-1, -2);
  frame->ApplyToKeptObject();
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_DOUBLE_EQ(area->GetWorldX(), -1);
  EXPECT_DOUBLE_EQ(area->GetWorldY(), -2);
  EXPECT_DOUBLE_EQ(area->GetWorldWidth(), 13);
  EXPECT_DOUBLE_EQ(area->GetWorldHeight(), 13);
}

TEST_F(ModelRectFrameTest, RecalculateCancelledLeavesTheFrame)
{
  gis.SetUnits("км");
  calls.dialogAnswers.push_back(QDialog::Rejected);
  calls.whileShown = [this](QDialog*) {
    EXPECT_EQ(dialog.CBunit->itemText(1), "км");
    EXPECT_EQ(dialog.Coord1->GetCoordKind(), TFmCoord::KindRectangular);
    double x, y;
    dialog.Coord2->GetPosition(x, y);
    EXPECT_EQ(x, 10);
    dialog.Coord2->SetPosition(15, 16);
  };
  frame->BcalcClick();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  double x, y;
  frame->Coord2->GetPosition(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
}

TEST_F(ModelRectFrameTest, RecalculateConfirmedShowsTheNewCornersButLeavesTheObject)
{
  calls.dialogAnswers.push_back(QDialog::Accepted);
  calls.whileShown = [this](QDialog*) {
    dialog.FormActivate();
    dialog.Edx->setText("10");
    dialog.Edy->setText("10");
    dialog.MapperClick(dialog.Bcc);
    dialog.BapplayClick();
  };
  frame->BcalcClick();
  double x1, y1, x2, y2;
  frame->Coord1->GetPosition(x1, y1);
  frame->Coord2->GetPosition(x2, y2);
  EXPECT_DOUBLE_EQ(x1, -0.5);
  EXPECT_DOUBLE_EQ(y1, -0.5);
  EXPECT_DOUBLE_EQ(x2, 10.5);
  EXPECT_DOUBLE_EQ(y2, 10.5);
  EXPECT_EQ(area->GetWorldWidth(), 10);
  frame->ApplyToKeptObject();
  EXPECT_DOUBLE_EQ(area->GetWorldWidth(), 11);
}

}  // namespace
