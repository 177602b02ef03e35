// The data window of a three-dimensional array as the frame's "Данные" button
// opens it: the level shown, the fill over a box of levels, and the text
// export and import of a box of cells.
#include "MapsTestSupport.h"

#include "data/NoValue.h"
#include "gis/GArray3D.h"
#include "maps/FormArray3DData.h"
#include "maps/FormArray3DExtract.h"
#include "maps/FormArrayFilling.h"
#include "maps/FrameArray3D.h"
#include "maps/Stringgrids.h"

#include <QComboBox>
#include <QFile>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace mapstest;

namespace {

// A 3 x 2 x 4 array with the values 0 .. 23, over 0..30 x 0..30 world units.
class Array3DDataTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    gis.SetTransform(0, 0, 30, 30, 0, 40);
    array = Add(std::make_unique<TGArray3D>(&gis, 3, 2, 4, 0), "V", 0, 0);
    array->SetRelativeRect(0, 0, 1, 1);
    for (int c = 0; c < 24; ++c)
      array->GetVolumeData()[c] = c;
    array->SetLevel(1);
    gis.OnChange = [this](void*) { ++changes; };
  }
  void TearDown() override
  {
    gis.OnChange = nullptr;
    DestroyArray3DData();
    DestroyArrayData();
  }

  QTableWidget& Grid() { return *Array3DDataForm()->SGdata; }
  double At(int i, int j, int k) const { return array->GetVolumeData()[(k * 2 + j) * 3 + i]; }

  void OpenThroughFrame(const std::function<int(TFArray3DData&)>& act)
  {
    OpenDataThroughFrame<TFArray3DData>(acting, *array, act, answer);
  }

  void Select(int col1, int row1, int col2, int row2) { SelectCells(Grid(), col1, row1, col2, row2); }

  TActingCalls acting;
  TModalCallsScope actingInstalled{acting};
  std::function<int(QDialog*)> answer;
  TGArray3D* array = nullptr;
  int changes = 0;
};

TEST_F(Array3DDataTest, LevelSwitchStoresTheTypedCellsAndCloseBringsTheLevelBack)
{
  OpenThroughFrame([&](TFArray3DData& window) {
    EXPECT_EQ(window.Elevel->value(), 2);
    EXPECT_EQ(GridCell(Grid(), 1, 1), "6");
    SetGridCell(Grid(), 3, 2, "-1");
    window.Elevel->setValue(4);
    EXPECT_EQ(GridCell(Grid(), 1, 1), "18");
    window.Eleveltype->setCurrentIndex(3);
    return 1;
  });
  EXPECT_EQ(At(2, 1, 1), -1);
  EXPECT_EQ(array->GetLevel(), 1);
  EXPECT_EQ(array->GetLevelFillMode(), 3);
  EXPECT_EQ(changes, 1);
}

TEST_F(Array3DDataTest, EveryControlAboveTheGridShowsWholeAtTheOpeningSize)
{
  OpenThroughFrame([&](TFArray3DData& window) {
    window.show();
    window.layout()->activate();
    QWidget* controls[] = {window.Elevel, window.Eleveltype, window.CBipType, window.Bexoptions, window.Bbuild};
    for (QWidget* control : controls) {
      EXPECT_GE(control->width(), control->sizeHint().width()) << control->metaObject()->className();
      const QRect placed(control->mapTo(&window, QPoint(0, 0)), control->size());
      EXPECT_TRUE(window.rect().contains(placed)) << control->metaObject()->className();
    }
    window.hide();
    return 1;
  });
}

TEST_F(Array3DDataTest, FillCoversABoxOfLevels)
{
  OpenThroughFrame([&](TFArray3DData& window) {
    window.PMIselect->trigger();
    Select(1, 1, 1, 1);
    window.PMIfilldata->trigger();
    EXPECT_EQ(acting.messages.size(), 1u) << "a single cell is no region";
    Select(1, 1, 2, 2);
    answer = [](QDialog* dialog) {
      auto* fill = dynamic_cast<TFArray3DFilling*>(dialog);
      EXPECT_EQ(fill->Elevel1->value(), 2);
      EXPECT_EQ(fill->Ex2->value(), 2);
      fill->Elevel1->setValue(1);
      fill->Evalue->setText("x*y*z");
      return 1;
    };
    window.PMIfilldata->trigger();
    EXPECT_EQ(GridCell(Grid(), 2, 2), "8") << "the level shown is refreshed";
    return 1;
  });
  EXPECT_EQ(acting.messages[0].text, "Выделите регион для заполнения");
  const double expected[2][2][2] = {{{1, 2}, {2, 4}}, {{2, 4}, {4, 8}}};
  for (int k = 0; k < 2; ++k)
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i)
        EXPECT_EQ(At(i, j, k), expected[k][j][i]) << i << j << k;
  EXPECT_EQ(At(2, 0, 0), 2);
  EXPECT_EQ(At(0, 0, 2), 12);
}

struct TTransferCase {
  const char* name;
  int kind;
  int x1, x2; // 1-based, as in the dialog
  const char* firstLine;
};

class Array3DTransferTest : public Array3DDataTest, public ::testing::WithParamInterface<TTransferCase> {};

TEST_P(Array3DTransferTest, ExportThenImportRestoresTheValues)
{
  const TTransferCase& c = GetParam();
  ASSERT_DOUBLE_EQ(array->GetWorldZ(), 0);
  ASSERT_DOUBLE_EQ(array->GetLevelThickness(), 10);
  QTemporaryDir dir;
  const QString path = dir.filePath("v.txt");
  const auto transfer = [&](TFArray3DData& window, QAction* command) {
    answer = [&](QDialog* dialog) {
      auto* extract = dynamic_cast<TFArray3DExtract*>(dialog);
      EXPECT_EQ(extract->Ez2->value(), 4) << "the whole array by default";
      extract->Efile->setText(path);
      extract->CBtype->setCurrentIndex(c.kind);
      extract->Ex1->setValue(c.x1);
      extract->Ex2->setValue(c.x2);
      extract->Bok->click();
      return extract->result();
    };
    command->trigger();
  };
  OpenThroughFrame([&](TFArray3DData& window) {
    transfer(window, window.PMIExtract);
    for (int k = 0; k < 24; ++k)
      array->GetVolumeData()[k] = NoValue;
    transfer(window, window.PMIImport);
    EXPECT_EQ(GridCell(Grid(), 1, 1), "6") << "the grid shows the import";
    return 1;
  });
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readLine(), QByteArray(c.firstLine));
  EXPECT_TRUE(acting.messages.empty());
  for (int k = 0; k < 24; ++k)
    EXPECT_EQ(array->GetVolumeData()[k], k) << "cell " << k;
  EXPECT_EQ(changes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Array3DTransferTest,
    ::testing::Values(
        TTransferCase{"Table", 0, 1, 3, "0.000000e+00\t1.000000e+00\t2.000000e+00\t\n"},
        TTransferCase{"TableBackwards", 0, 3, 1, "2.000000e+00\t1.000000e+00\t0.000000e+00\t\n"},
        TTransferCase{"Indices", 1, 1, 3, "0\t0\t0\t0.000000e+00\n"},
        TTransferCase{"WorldCoordinates", 2, 1, 3, "5.000000e+00\t7.500000e+00\t5.000000e+00\t0.000000e+00\n"}),
    [](const ::testing::TestParamInfo<TTransferCase>& info) { return std::string(info.param.name); });

TEST_F(Array3DDataTest, TransferToAFileThatCannotBeOpenedSaysSo)
{
  QTemporaryDir dir;
  OpenThroughFrame([&](TFArray3DData& window) {
    for (QAction* command : {window.PMIExtract, window.PMIImport}) {
      answer = [&](QDialog* dialog) {
        auto* extract = dynamic_cast<TFArray3DExtract*>(dialog);
        extract->Efile->setText(dir.filePath("missing/v.txt"));
        extract->Bok->click();
        return extract->result();
      };
      command->trigger();
    }
    return 1;
  });
  ASSERT_EQ(acting.messages.size(), 2u);
  EXPECT_EQ(acting.messages[1].caption, "Ошибка");
  EXPECT_EQ(At(0, 0, 0), 0);
  EXPECT_EQ(changes, 0);
}

} // namespace
