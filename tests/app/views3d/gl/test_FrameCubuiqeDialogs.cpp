// The cube frame's small dialogs reached from its popup menu: the isosurface
// levels (replaced only when every value in the table is a number) and the
// exact position of a section.
#include "EditingModalCalls.h"
#include "GLTestSupport.h"

#include "views3d/FormCubuiqeIsoOptions.h"
#include "views3d/FormCubuiqeSecOrient.h"

#include <QAction>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <cmath>
#include <functional>
#include <vector>

namespace {

class CubeFrameIsoOptions : public ::testing::Test {
protected:
  void SetUp() override
  {
    frame.UseGL = false;
    frame.resize(200, 200);
    for (int i = 0; i < 64; ++i)
      values[i] = i % 4;
    double min = 0, max = 0;
    frame.SetData(values.data(), 0, 4, 4, 4, 1, 1, 1, true, &min, &max, nullptr, nullptr);
    frame.IsoLevels = {{1.5, 0x0000FF, 0x00FF00}, {2.5, 0x112233, 0x445566}};
  }

  // Opens the dialog through the menu and fills it from the frame.
  TFCubuiqeIsoOptions* Open()
  {
    frame.MenuItem(QStringLiteral("PMIisosurfoptions"))->trigger();
    EXPECT_EQ(calls.dialogs.size(), 1u);
    auto* dialog = qobject_cast<TFCubuiqeIsoOptions*>(calls.dialogs.back());
    EXPECT_NE(dialog, nullptr);
    dialog->FormActivate();
    return dialog;
  }

  static QString Cell(TFCubuiqeIsoOptions* dialog, int row, int column)
  {
    const QTableWidgetItem* item = dialog->SGdata->item(row, column);
    return item ? item->text() : QString();
  }

  static void SetValue(TFCubuiqeIsoOptions* dialog, int row, const char* text)
  {
    dialog->SGdata->item(row, 1)->setText(QString::fromUtf8(text));
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TFmCubuiqe frame;
  std::vector<double> values = std::vector<double>(64);
};

TEST_F(CubeFrameIsoOptions, ShowsTheFrameLevelsAndAnEmptyRow)
{
  QAction* item = frame.MenuItem(QStringLiteral("PMIisosurfoptions"));
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isEnabled());
  TFCubuiqeIsoOptions* dialog = Open();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Изоповерхности"));
  EXPECT_EQ(dialog->Frame, &frame);
  EXPECT_EQ(dialog->SGdata->horizontalHeaderItem(3)->text(), QString::fromUtf8("цвет <"));
  ASSERT_EQ(dialog->SGdata->rowCount(), 3);
  const char* expected[3][4] = {{"1", "1.5", "255", "65280"}, {"2", "2.5", "1122867", "4478310"}, {"3", "", "", ""}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(Cell(dialog, r, c), QString::fromUtf8(expected[r][c])) << r << ", " << c;
  EXPECT_FALSE(dialog->SGdata->item(0, 2)->flags() & Qt::ItemIsEditable);
  EXPECT_TRUE(dialog->SGdata->item(0, 1)->flags() & Qt::ItemIsEditable);
}

TEST_F(CubeFrameIsoOptions, ApplyingReplacesTheLevelsOnlyWhenAllValuesAreNumbers)
{
  const struct {
    const char* name;
    const char* first;
    const char* second;
    std::vector<double> levels; // empty with keep: the old levels stay
    bool applied;
  } cases[] = {
      {"both changed", "0,5", "3", {0.5, 3}, true},
      {"last cleared", "1.5", "", {1.5}, true},
      {"middle cleared", "", "2.5", {2.5}, true},
      {"all cleared", "", " ", {}, true},
      {"bad middle cell", "abc", "3", {1.5, 2.5}, false},
      {"bad last cell", "1", "2x", {1.5, 2.5}, false},
  };
  for (const auto& c : cases) {
    frame.IsoLevels = {{1.5, 0x0000FF, 0x00FF00}, {2.5, 0x112233, 0x445566}};
    calls.dialogs.clear();
    calls.messages.clear();
    TFCubuiqeIsoOptions* dialog = Open();
    SetValue(dialog, 0, c.first);
    SetValue(dialog, 1, c.second);
    EXPECT_EQ(dialog->BapplyClick(), c.applied) << c.name;
    EXPECT_EQ(calls.messages.size(), c.applied ? 0u : 1u) << c.name;
    std::vector<double> levels;
    for (const CubeIsoLevel& level : frame.IsoLevels)
      levels.push_back(level.level);
    EXPECT_EQ(levels, c.levels) << c.name;
  }
}

TEST_F(CubeFrameIsoOptions, ColoursFollowTheirRowsAndTheColourDialog)
{
  TFCubuiqeIsoOptions* dialog = Open();
  SetValue(dialog, 0, "");
  ASSERT_TRUE(dialog->BapplyClick());
  ASSERT_EQ(frame.IsoLevels.size(), 1u);
  EXPECT_EQ(frame.IsoLevels[0].frontColour, 0x112233u);
  EXPECT_EQ(frame.IsoLevels[0].backColour, 0x445566u);

  // Choosing the blank last row gives it the colours above and grows the table.
  dialog->FormActivate();
  dialog->SGdata->setCurrentCell(1, 1);
  ASSERT_EQ(dialog->SGdata->rowCount(), 3);
  EXPECT_EQ(Cell(dialog, 1, 3), QString("4478310"));
  EXPECT_EQ(Cell(dialog, 2, 0), QString("3"));
  EXPECT_EQ(Cell(dialog, 2, 1), QString());
  EXPECT_EQ(Cell(dialog, 2, 2), QString("1122867"));
  SetValue(dialog, 1, "3.25");

  // Enter on a colour cell picks its colour; a colour that is no number is blue.
  calls.colourAnswers.push_back(QColor(0x10, 0x20, 0x30));
  dialog->SGdata->item(1, 3)->setText("not a colour");
  dialog->SGdata->setCurrentCell(1, 3);
  dialog->SGdata->setFocus();
  QTest::keyClick(dialog->SGdata, Qt::Key_Return);
  ASSERT_EQ(calls.colourStarts.size(), 1u);
  EXPECT_EQ(calls.colourStarts[0], QColor(0, 0, 255));
  EXPECT_EQ(Cell(dialog, 1, 3), QString::number(0x302010));
  dialog->SGdata->item(1, 2)->setText("");

  QTest::keyClick(dialog, Qt::Key_Return, Qt::NoModifier);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  ASSERT_EQ(frame.IsoLevels.size(), 2u);
  EXPECT_EQ(frame.IsoLevels[1].level, 3.25);
  EXPECT_EQ(frame.IsoLevels[1].frontColour, 0xFF0000u);
  EXPECT_EQ(frame.IsoLevels[1].backColour, 0x302010u);
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

} // namespace

namespace {

class CubeFrameSecOrient : public ::testing::Test {
protected:
  void SetUp() override
  {
    frame.UseGL = false;
    frame.resize(200, 200);
    frame.SetSectionCount(2);
  }

  TEditingModalCalls calls;
  TModalCallsScope scope{calls};
  TFmCubuiqe frame;
};

TEST_F(CubeFrameSecOrient, ExactPositionTurnsAndShiftsTheCurrentSection)
{
  ASSERT_TRUE(frame.MenuItem(QStringLiteral("PMIOrientation"))->isEnabled());
  const struct {
    const char* name;
    int32_t section;
    const char *theta, *phi, *shift;
    int answer;
    double expectTheta, expectPhi, expectShift; // degrees, of section 1
    bool error;
  } cases[] = {
      {"set", 1, "30", "45,5", "0.25", QDialog::Accepted, 30, 45.5, 0.25, false},
      {"cancelled", 1, "10", "10", "0", QDialog::Rejected, 30, 45.5, 0.25, false},
      {"no number", 1, "10", "x", "0", QDialog::Accepted, 30, 45.5, 0.25, true},
      {"every section", -1, "-60", "120", "-0.5", QDialog::Accepted, -60, 120, -0.5, false},
  };
  for (const auto& c : cases) {
    frame.CurrentSection = c.section;
    double theta = 0, phi = 0, shift = 0;
    frame.GetSectionAngles(c.section, &theta, &phi, &shift);
    QStringList shown;
    calls.edit = [&](QDialog* dialog) {
      auto* orient = static_cast<TFCubuiqeSecOrient*>(dialog);
      shown = {orient->Etheta->text(), orient->Ephi->text(), orient->Eshift->text()};
      orient->Etheta->setText(QString::fromUtf8(c.theta));
      orient->Ephi->setText(QString::fromUtf8(c.phi));
      orient->Eshift->setText(QString::fromUtf8(c.shift));
    };
    calls.messages.clear();
    calls.dialogAnswers.push_back(c.answer);
    frame.MenuItem(QStringLiteral("PMIOrientation"))->trigger();
    EXPECT_EQ(shown, QStringList({QString::number(theta * 180 / M_PI, 'f', 1), QString::number(phi * 180 / M_PI, 'f', 1),
                                  QString::number(shift, 'f', 4)}))
        << c.name;
    EXPECT_EQ(calls.messages.size(), c.error ? 1u : 0u) << c.name;
    frame.GetSectionAngles(1, &theta, &phi, &shift);
    EXPECT_NEAR(theta * 180 / M_PI, c.expectTheta, 1e-9) << c.name;
    EXPECT_NEAR(phi * 180 / M_PI, c.expectPhi, 1e-9) << c.name;
    EXPECT_NEAR(shift, c.expectShift, 1e-12) << c.name;
  }
  // With every section chosen the dialog starts at zeros, and both sections turned.
  double theta = 0, phi = 0, shift = 0;
  frame.GetSectionAngles(0, &theta, &phi, &shift);
  EXPECT_NEAR(theta * 180 / M_PI, -60, 1e-9);
  EXPECT_NEAR(shift, -0.5, 1e-12);
  // The section matrix is Rz(phi) Rx(theta): its normal (third column) for 90, 90.
  frame.CurrentSection = 0;
  calls.edit = [](QDialog* dialog) {
    auto* orient = static_cast<TFCubuiqeSecOrient*>(dialog);
    orient->Etheta->setText("90");
    orient->Ephi->setText("90");
  };
  calls.dialogAnswers.push_back(QDialog::Accepted);
  frame.MenuItem(QStringLiteral("PMIOrientation"))->trigger();
  const double* m = frame.SectionMatrices[0];
  EXPECT_NEAR(m[2], 1, 1e-12);
  EXPECT_NEAR(m[5], 0, 1e-12);
  EXPECT_NEAR(m[8], 0, 1e-12);
}

} // namespace
