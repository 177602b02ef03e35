// The reper value tables as the object browser's context menu opens them: the
// values typed for a reper object or for an array are kept in the reper
// objects, come back as the same table, and reach the build of the arrays.
#include "MapsTestSupport.h"

#include "gis/GArray3D.h"
#include "gis/GReper.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormArray3DData.h"
#include "maps/FormOBrowser.h"
#include "maps/FormReper3DData.h"
#include "maps/FrameArray3D.h"
#include "maps/FrameGisBrowser.h"
#include "maps/Stringgrids.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace mapstest;

namespace {

constexpr int CodeV = 11;
constexpr int CodeW = 12;

// Two repers and 3 x 2 x 4 arrays over 0..30 x 0..30 world units and a depth
// of 0..40, so that each level is 10 deep: V and W of two quantities, V2 of
// V's quantity, and a read-only array of a third one.
class ReperTableTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    // The type flag that makes repers the key objects of the tables.
    gis.RegisterObjectType(ObjectTypeReper, 1, "Репер", "Реперы", 0x00FF00, 3, nullptr);
    gis.SetTransform(0, 0, 30, 30, 0, 40);
    r1 = Add(std::make_unique<TGReper>(&gis), "R1", 15, 15);
    r2 = Add(std::make_unique<TGReper>(&gis), "R2", 5, 5);
    v = AddVolume("V", CodeV);
    w = AddVolume("W", CodeW);
    v2 = AddVolume("V2", CodeV);
    readOnly = AddVolume("RO", 13);
    readOnly->SetReadOnly(true);
    browser.SetGis(&gis, nullptr);
    browser.show();
  }
  void TearDown() override
  {
    DestroyReper3DData();
    DestroyArray3DData();
    DestroyArrayData();
  }

  TGArray3D* AddVolume(const std::string& name, int code)
  {
    TGArray3D* array = Add(std::make_unique<TGArray3D>(&gis, 3, 2, 4, code), name, 0, 0);
    array->SetRelativeRect(0, 0, 1, 1);
    array->SetDZ(1);
    for (int c = 0; c < 24; ++c)
      array->GetVolumeData()[c] = 100 + c;
    gis.SetModified(false);
    return array;
  }

  QTreeWidgetItem* NodeOf(const TGObj* object) const
  {
    for (QTreeWidgetItemIterator it(browser.GisBrowser->Tree); *it; ++it)
      if (TFmGisBrowser::NodeId(*it) == object->GetId())
        return *it;
    return nullptr;
  }

  // Right-clicks the object's node: whether the menu came up.
  bool RightClick(const TGObj* object)
  {
    QTreeWidget* tree = browser.GisBrowser->Tree;
    QTreeWidgetItem* node = NodeOf(object);
    if (!node)
      return false;
    tree->scrollToItem(node);
    emit tree->customContextMenuRequested(tree->visualItemRect(node).center());
    const bool shown = browser.PMobject->isVisible();
    browser.PMobject->hide();
    return shown;
  }

  // Opens the table from the object's context menu; `act` runs while it is shown.
  void OpenTable(const TGObj* object, const std::function<int(TFReper3DData&)>& act)
  {
    ASSERT_TRUE(RightClick(object));
    ASSERT_TRUE(browser.PMIReperValues->isEnabled());
    bool shown = false;
    acting.onExec = [&](QDialog* dialog) {
      auto* window = dynamic_cast<TFReper3DData*>(dialog);
      if (!window)
        return 2;
      shown = true;
      return act(*window);
    };
    browser.PMIReperValues->trigger();
    acting.onExec = nullptr;
    EXPECT_TRUE(shown);
  }

  // Types into a cell as a user does: the key opens the editor, Enter stores.
  static void Type(QTableWidget& grid, int col, int row, const QString& text, bool enter = true)
  {
    grid.setCurrentCell(row, col);
    QTest::keyClick(&grid, text.at(0).toLatin1());
    // Closed editors linger until the event loop deletes them.
    QLineEdit* editor = nullptr;
    for (QLineEdit* open : grid.viewport()->findChildren<QLineEdit*>())
      if (!open->isHidden())
        editor = open;
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, text.mid(1));
    if (!enter)
      return;
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the grid takes the text from the event queue
    EXPECT_EQ(GridCell(grid, col, row), text);
  }

  static QStringList Row(const QTableWidget& grid, int row)
  {
    QStringList cells;
    for (int c = 0; c < grid.columnCount(); ++c)
      cells << GridCell(grid, c, row);
    return cells;
  }

  static QStringList Rows(const QTableWidget& grid)
  {
    QStringList rows;
    for (int r = 0; r < grid.rowCount(); ++r)
      rows << Row(grid, r).join('|');
    return rows;
  }

  static std::vector<std::pair<double, double>> Entries(const TGObj& object, int code)
  {
    std::vector<std::pair<double, double>> entries;
    double value = 0, position = 0;
    for (int n = 0; object.GetReperValue(n, code, value, position); ++n)
      entries.emplace_back(position, value);
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  using TEntries = std::vector<std::pair<double, double>>;

  TActingCalls acting;
  TModalCallsScope actingInstalled{acting};
  TFOBrowser browser;
  TGReper* r1 = nullptr;
  TGReper* r2 = nullptr;
  TGArray3D* v = nullptr;
  TGArray3D* w = nullptr;
  TGArray3D* v2 = nullptr;
  TGArray3D* readOnly = nullptr;
};

TEST_F(ReperTableTest, MenuComesUpOnRepersAndRegularVolumesWhenThereIsSomethingToEdit)
{
  EXPECT_TRUE(RightClick(r1));
  EXPECT_TRUE(browser.PMIReperValues->isEnabled());
  EXPECT_EQ(browser.PMIReperValues->text(), "Реперные значения ...");
  EXPECT_TRUE(RightClick(v2));
  EXPECT_TRUE(browser.PMIReperValues->isEnabled());
  // A read-only array takes no reper values.
  EXPECT_TRUE(RightClick(readOnly));
  EXPECT_FALSE(browser.PMIReperValues->isEnabled());
  // No menu over a plane array or a group node.
  TGArray* plane = AddArray("P", {});
  browser.SetGis(&gis, nullptr);
  browser.FormShow();
  EXPECT_FALSE(RightClick(plane));
  EXPECT_FALSE(browser.PrepareObjectMenu(browser.GisBrowser->Tree->topLevelItem(0)));

  // Without arrays a reper's item is disabled; without repers an array's.
  for (TGArray3D* array : {v, w, v2})
    gis.DeleteObject(nullptr, array, true);
  readOnly->SetReadOnly(false);
  gis.DeleteObject(nullptr, readOnly, true);
  browser.FormShow();
  EXPECT_TRUE(RightClick(r1));
  EXPECT_FALSE(browser.PMIReperValues->isEnabled());
  TGArray3D* alone = AddVolume("A", 1);
  for (TGReper* reper : {r1, r2})
    gis.DeleteObject(nullptr, reper, true);
  browser.FormShow();
  EXPECT_TRUE(RightClick(alone));
  EXPECT_FALSE(browser.PMIReperValues->isEnabled());
  browser.PMIReperValues->trigger();
  EXPECT_TRUE(acting.dialogs.empty()) << "a disabled item opens nothing";
}

TEST_F(ReperTableTest, TypedValuesAreKeptByTheReperAndComeBackAsTheSameTable)
{
  r1->SetReperValue(9.0, 99, 1.0); // a quantity no array shows: left alone
  OpenTable(r1, [&](TFReper3DData& window) {
    EXPECT_EQ(window.windowTitle(), "Реперные значения для массивов");
    EXPECT_EQ(window.Lheading->text(), "массивы");
    EXPECT_EQ(window.Lgroup->count(), 2);
    EXPECT_EQ(window.Lgroup->currentRow(), 0);
    // One column per quantity: V2 shares V's, the read-only array takes none.
    EXPECT_EQ(Rows(*window.SGdata), QStringList({"глубина (м)|V|W", "||", "||"}));
    QTableWidget& grid = *window.SGdata;
    Type(grid, 0, 1, "25");
    Type(grid, 1, 1, "3,5");
    EXPECT_EQ(grid.rowCount(), 4) << "two empty rows stay below the typed one";
    Type(grid, 0, 2, "5");
    Type(grid, 1, 2, "1");
    Type(grid, 2, 2, "-2e-3");
    Type(grid, 2, 3, "7"); // a value without a depth is no entry
    return 1;
  });
  EXPECT_EQ(Entries(*r1, CodeV), TEntries({{5, 1}, {25, 3.5}}));
  EXPECT_EQ(Entries(*r1, CodeW), TEntries({{5, -2e-3}}));
  EXPECT_EQ(Entries(*r1, 99), TEntries({{1, 9}}));
  EXPECT_TRUE(Entries(*r2, CodeV).empty());
  EXPECT_TRUE(gis.IsModified()) << "the project has to be saved";

  gis.SetModified(false);
  OpenTable(r1, [&](TFReper3DData& window) {
    EXPECT_EQ(Rows(*window.SGdata),
              QStringList({"глубина (м)|V|W", "5|1|-0.002", "25|3.5|", "||", "||"}));
    return 2; // closing by the window's border stores as well
  });
  EXPECT_FALSE(gis.IsModified()) << "nothing changed";
}

TEST_F(ReperTableTest, OpeningAndClosingKeepsEveryDigit)
{
  r2->SetReperValue(1.23456789012, CodeV, 3.14159265358);
  r2->SetReperValue(2.0, CodeW, 3.14159265358);
  OpenTable(r2, [&](TFReper3DData& window) {
    EXPECT_EQ(window.Lgroup->currentRow(), 1);
    EXPECT_EQ(Row(*window.SGdata, 1), QStringList({"3.14159", "1.23457", "2"}));
    return 1;
  });
  EXPECT_EQ(Entries(*r2, CodeV), TEntries({{3.14159265358, 1.23456789012}}));
  EXPECT_FALSE(gis.IsModified());
  // A value typed over the shown text is the typed number.
  OpenTable(r2, [&](TFReper3DData& window) {
    Type(*window.SGdata, 1, 1, "1.5");
    return 1;
  });
  EXPECT_EQ(Entries(*r2, CodeV), TEntries({{3.14159265358, 1.5}}));
}

TEST_F(ReperTableTest, ArrayTableHasAColumnPerReperAndStoresWhenAnotherArrayIsPicked)
{
  r1->SetReperValue(4.0, CodeW, 30.0);
  r1->SetReperValue(6.0, CodeV, 10.0);
  v->SetUnitText("В");
  w->SetUnitText("Кл");
  // Opened on V2, the table shows V's quantity.
  OpenTable(v2, [&](TFReper3DData& window) {
    EXPECT_EQ(window.Lheading->text(), "объекты");
    EXPECT_EQ(window.Lgroup->count(), 2);
    EXPECT_EQ(window.Lgroup->item(0)->text(), "V");
    EXPECT_EQ(window.Lgroup->currentRow(), 0);
    EXPECT_EQ(Rows(*window.SGdata), QStringList({"глубина (м)|R1|R2", "10|6|", "||", "||"}));
    EXPECT_EQ(window.Lunit->text(), "В");
    Type(*window.SGdata, 2, 1, "8");
    // Picking W stores V's table first.
    window.Lgroup->setCurrentRow(1);
    EXPECT_EQ(Entries(*r2, CodeV), TEntries({{10, 8}}));
    EXPECT_EQ(Rows(*window.SGdata), QStringList({"глубина (м)|R1|R2", "30|4|", "||", "||"}));
    EXPECT_EQ(window.Lunit->text(), "Кл");
    return 1;
  });
  EXPECT_EQ(Entries(*r1, CodeW), TEntries({{30, 4}}));
  // The table of a reper names a unit only when its arrays share one.
  OpenTable(r1, [&](TFReper3DData& window) {
    EXPECT_EQ(window.Lunit->text(), "");
    return 1;
  });
  w->SetUnitText("В");
  OpenTable(r1, [&](TFReper3DData& window) {
    EXPECT_EQ(window.Lunit->text(), "В");
    return 1;
  });
}

TEST_F(ReperTableTest, CopyAndPasteGrowTheTableByRows)
{
  OpenTable(r1, [&](TFReper3DData& window) {
    QTableWidget& grid = *window.SGdata;
    QApplication::clipboard()->setText("0\t1\t2\n10,5\t3\n20\t\t4\n");
    SelectCells(grid, 0, 1, 0, 1);
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Rows(grid), QStringList({"глубина (м)|V|W", "0|1|2", "10,5|3|", "20||4", "||", "||"}));
    SelectCells(grid, 0, 2, 1, 3);
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "10,5\t3\n20\t\n");
    return 1;
  });
  EXPECT_EQ(Entries(*r1, CodeV), TEntries({{0, 1}, {10.5, 3}}));
  EXPECT_EQ(Entries(*r1, CodeW), TEntries({{0, 2}, {20, 4}}));
}

TEST_F(ReperTableTest, ShiftSelectsWhileItIsHeld)
{
  OpenTable(r1, [&](TFReper3DData& window) {
    QTableWidget& grid = *window.SGdata;
    EXPECT_NE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    QTest::keyPress(&grid, Qt::Key_Shift, Qt::ShiftModifier);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    QTest::keyRelease(&grid, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_NE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    // In the selection mode of the menu, letting Shift go keeps it.
    window.PMIselect->trigger();
    QTest::keyPress(&grid, Qt::Key_Shift, Qt::ShiftModifier);
    QTest::keyRelease(&grid, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(window.PMIedit->isChecked());
    return 1;
  });
}

TEST_F(ReperTableTest, TypedValuesAreTheKnownValuesOfTheirLevelsInTheBuild)
{
  OpenTable(r1, [&](TFReper3DData& window) {
    Type(*window.SGdata, 0, 1, "5");
    Type(*window.SGdata, 1, 1, "7");
    Type(*window.SGdata, 0, 2, "25");
    Type(*window.SGdata, 1, 2, "9", false); // still in the editor when the window closes
    return 1;
  });
  v->SetLevelFillMode(0); // levels without values keep theirs
  OpenDataThroughFrame<TFArray3DData>(
      acting, *v,
      [](TFArray3DData& window) {
        window.Bbuild->click();
        return 1;
      },
      nullptr);
  const double* volume = v->GetVolumeData();
  for (int c = 0; c < 6; ++c) {
    EXPECT_NEAR(volume[c], 7.0, 1e-3) << "level 0 (0..10 m), cell " << c;
    EXPECT_EQ(volume[6 + c], 106.0 + c) << "level 1 has no value";
    EXPECT_NEAR(volume[12 + c], 9.0, 1e-3) << "level 2 (20..30 m), cell " << c;
    EXPECT_EQ(volume[18 + c], 118.0 + c);
  }
}

TEST_F(ReperTableTest, WithNothingToEditTheWindowSaysWhyAndStaysClosed)
{
  struct TCase {
    bool dropRepers;
    const char* text;
  };
  for (const TCase& c : {TCase{false, "Нет исходных трехмерных массивов"}, TCase{true, "Нет реперных объектов"}}) {
    SCOPED_TRACE(c.text);
    acting.messages.clear();
    readOnly->SetReadOnly(true);
    for (TGArray3D* array : {v, w, v2})
      array->SetReadOnly(true);
    if (c.dropRepers) {
      gis.DeleteObject(nullptr, r1, true);
      gis.DeleteObject(nullptr, r2, true);
    }
    TFReper3DData* window = Reper3DDataForm();
    window->SetGis(&gis, nullptr);
    window->ShowModal();
    ASSERT_EQ(acting.messages.size(), 1u);
    EXPECT_EQ(acting.messages[0].caption, "Сообщение");
    EXPECT_EQ(acting.messages[0].text, c.text);
    EXPECT_TRUE(acting.dialogs.empty());
  }
}

} // namespace
