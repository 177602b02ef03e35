// The cube frame's small dialogs reached from its popup menu. The isosurface
// levels dialog shows the frame's levels, and applying replaces them only when
// every value in the table is a number.
#include "GLTestSupport.h"

#include "views3d/FormCubuiqeIsoOptions.h"

#include <QAction>
#include <QTableWidget>
#include <QTest>

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
