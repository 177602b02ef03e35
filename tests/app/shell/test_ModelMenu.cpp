// The model menu with the breakdown model: the electrode and inhomogeneity
// tables reached from their menu items stamp the model's layers and mark the
// project modified, only show the lists while a run is on or paused, and the
// model area is edited in the frame the program's factory makes. A lattice side
// file that cannot be written is reported with its reason, the project itself
// written.
#include "support/ProjectTestSupport.h"

#include "gis/GArray3D.h"
#include "gis/GModelRect.h"
#include "gis/ObjectTypeCode.h"
#include "maps/FormOBrowser.h"
#include "maps/FrameCoord.h"
#include "maps/FrameGisBrowser.h"
#include "maps/Stringgrids.h"
#include "model/FormBitModel.h"
#include "model/breakdown/RunCheck.h"
#include "model/dialogs/FormCalcStatus.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormModelArea.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "model/dialogs/FrameModelRect.h"
#include "model/dialogs/ModelDialogCommands.h"
#include "shell/ProgramEditorFrames.h"
#include "base/ScriptedModalCalls.h"
#include "../model/dialogs/ActingModalCalls.h"

#include <QAction>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

using namespace projecttest;

namespace {

class ModelMenuTest : public ModelDialogsTest {
protected:
  void SetUp() override
  {
    ModelDialogsTest::SetUp();
    main->SetModified(false);
  }

  TFBitModel* Model() const { return dynamic_cast<TFBitModel*>(main->Model()); }

  // Cells of a model layer that hold the value.
  int CountInLayer(int code, double value) const
  {
    auto* layer = dynamic_cast<TGArray3D*>(main->Gis()->FindArrayByCode(code));
    if (!layer || !layer->GetVolumeData())
      return -1;
    int n = 0;
    const double* data = layer->GetVolumeData();
    for (int i = 0; i < layer->GetCellCount(); ++i)
      n += data[i] == value ? 1 : 0;
    return n;
  }

  // One electrode with code -5 in the middle of the lattice, standing a quarter
  // of the gap high on the plate of the last level, across from the needle.
  void TypeElectrode() const
  {
    const THeap& h = *Model()->GetEngine();
    const QString x = QString::number(h.N1 * h.CellSize1 / 2, 'g', 17);
    const QString y = QString::number(h.N3 * h.CellSize3 / 2, 'g', 17);
    const QString d = QString::number(2 * h.CellSize1, 'g', 17);
    const QString tip = QString::number((h.N2 - 1) * h.CellSize2 / 4, 'g', 17);
    const QString cells[10] = {x, y, "0", d, x, y, tip, d, "-5", "255"};
    for (int col = 0; col < 10; ++col)
      SetGridCell(*FElectrodes->SGdata, col, 1, cells[col]);
  }

  // One box of permittivity 3 about the middle of the lattice.
  void TypeInhomogeneity() const
  {
    const THeap& h = *Model()->GetEngine();
    const QString x = QString::number(h.N1 * h.CellSize1 / 2, 'g', 17);
    const QString y = QString::number(h.N3 * h.CellSize3 / 2, 'g', 17);
    const QString z = QString::number((h.N2 - 1) * h.CellSize2 / 2, 'g', 17);
    const QString s = QString::number(3 * h.CellSize1, 'g', 17);
    const QString cells[12] = {x, y, z, s, s, s, "3", "0", "0", "0", "255", "65536"};
    for (int col = 0; col < 12; ++col)
      SetGridCell(*FInhomogeneities->SGdata, col, 1, cells[col]);
  }
};

TEST_F(ModelMenuTest, ElectrodeItemStampsTheElectrodeLayerAndMarksTheProjectModified)
{
  ASSERT_EQ(CountInLayer(10005, -5), 0);
  calls.whileShown = [&](QDialog*) {
    EXPECT_EQ(FElectrodes->Gis(), main->Gis());
    EXPECT_EQ(FElectrodes->Heap(), Model()->GetEngine());
    TypeElectrode();
  };
  calls.dialogAnswers = {QDialog::Accepted};
  main->MIElectrodes->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(calls.dialogs[0], FElectrodes);
  // The table lets go of them with the command: they die with their project.
  EXPECT_EQ(FElectrodes->Gis(), nullptr);
  EXPECT_EQ(FElectrodes->Heap(), nullptr);
  ASSERT_EQ(Model()->Electrodes().size(), 1u);
  EXPECT_EQ(Model()->Electrodes()[0].code, -5);
  EXPECT_GT(CountInLayer(10005, -5), 0);
  EXPECT_TRUE(main->Modified());
}

// What the table stamped is what the engine takes at the next run.
TEST_F(ModelMenuTest, StampedElectrodesReachTheEngineAtTheNextRun)
{
  calls.whileShown = [&](QDialog*) { TypeElectrode(); };
  calls.dialogAnswers = {QDialog::Accepted};
  main->MIElectrodes->trigger();
  const int stamped = CountInLayer(10005, -5);
  ASSERT_GT(stamped, 0);
  // The run takes its inputs as it starts; paused, the engine may be read.
  main->BStartClick();
  main->BPauseClick();
  ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused; }));
  const THeap& h = *Model()->GetEngine();
  int inEngine = 0;
  for (int i = 0; i < h.N1 * h.N2 * h.N3; ++i)
    inEngine += h.ElectrodeCodes[i] == -5 ? 1 : 0;
  EXPECT_EQ(inEngine, stamped);
}

TEST_F(ModelMenuTest, InhomogeneityItemStampsTheMaterialLayerAndRebuildsTheMaterials)
{
  ASSERT_EQ(CountInLayer(10007, 1), 0);
  calls.whileShown = [&](QDialog*) { TypeInhomogeneity(); };
  calls.dialogAnswers = {QDialog::Accepted};
  main->MIinhomogeneities->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_EQ(calls.dialogs[0], FInhomogeneities);
  ASSERT_EQ(Model()->Inhomogeneities().size(), 1u);
  EXPECT_EQ(Model()->GetEngine()->MaterialCount, 2);
  EXPECT_EQ(Model()->GetEngine()->Materials[1].Eps, 3);
  EXPECT_GT(CountInLayer(10007, 1), 0);
  EXPECT_TRUE(main->Modified());
}

// The model's current list is what the table shows, and a cancelled table
// changes neither the list, the layer nor the modified flag.
TEST_F(ModelMenuTest, CancelledTableChangesNothing)
{
  TElectrodeRecord kept{};
  kept.code = -3;
  kept.shape = 2;
  Model()->Electrodes() = {kept};
  int rowsShown = 0;
  calls.whileShown = [&](QDialog*) {
    rowsShown = FElectrodes->SGdata->rowCount() - 1;
    TypeElectrode();
  };
  main->MIElectrodes->trigger();
  EXPECT_EQ(rowsShown, 1);
  ASSERT_EQ(Model()->Electrodes().size(), 1u);
  EXPECT_EQ(Model()->Electrodes()[0].code, -3);
  EXPECT_EQ(CountInLayer(10005, -5), 0);
  EXPECT_FALSE(main->Modified());
}

struct TStateCase {
  const char* name;
  int32_t state;
  bool applied;
};

class ModelMenuStates : public ModelMenuTest, public ::testing::WithParamInterface<TStateCase> {};

// While a run is on or paused the engine's tables belong to the worker: the
// tables only show the lists, whatever button closes them.
TEST_P(ModelMenuStates, TablesApplyOnlyOutsideARun)
{
  const TStateCase& c = GetParam();
  const int materials = Model()->GetEngine()->MaterialCount;
  main->SetCalcState(c.state);
  bool electrodesEditable = !c.applied;
  bool inhomogeneitiesEditable = !c.applied;
  calls.whileShown = [&](QDialog* dialog) {
    if (dialog == FElectrodes) {
      electrodesEditable = FElectrodes->IsEditable();
      TypeElectrode();
    } else {
      inhomogeneitiesEditable = FInhomogeneities->IsEditable();
      TypeInhomogeneity();
    }
  };
  calls.dialogAnswers = {QDialog::Accepted, QDialog::Accepted};
  main->MIElectrodes->trigger();
  main->MIinhomogeneities->trigger();
  EXPECT_EQ(calls.dialogs.size(), 2u) << c.name;
  EXPECT_EQ(electrodesEditable, c.applied) << c.name;
  EXPECT_EQ(inhomogeneitiesEditable, c.applied) << c.name;
  EXPECT_EQ(Model()->Electrodes().size(), c.applied ? 1u : 0u) << c.name;
  EXPECT_EQ(Model()->Inhomogeneities().size(), c.applied ? 1u : 0u) << c.name;
  EXPECT_EQ(Model()->GetEngine()->MaterialCount, c.applied ? 2 : materials) << c.name;
  EXPECT_EQ(CountInLayer(10005, -5) > 0, c.applied) << c.name;
  EXPECT_EQ(main->Modified(), c.applied) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, ModelMenuStates,
                         ::testing::Values(TStateCase{"not started", CalcNotStarted, true},
                                           TStateCase{"running", CalcRunning, false},
                                           TStateCase{"paused", CalcPaused, false},
                                           TStateCase{"stopped", CalcStopped, true}));

// The electrode list of the open model is the table's before another project
// opens, so a project without electrode records takes the electrodes shown last.
TEST_F(ModelMenuTest, TheTableHoldsTheOpenModelsElectrodesBeforeAnotherProjectOpens)
{
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  calls.whileShown = [&](QDialog*) { TypeElectrode(); };
  calls.dialogAnswers = {QDialog::Accepted};
  main->MIElectrodes->trigger();
  const QString project = dir.filePath("needle.vzt");
  main->UpdateCaption(project);
  ASSERT_TRUE(main->MISaveClick(TSaveSender::Button));
  FElectrodes->SetItems({});
  main->OpenProject(project);
  ASSERT_EQ(FElectrodes->Items().size(), 1u);
  EXPECT_EQ(FElectrodes->Items()[0].code, -5);
}

class ModelAreaTest : public ModelMenuTest {
protected:
  void SetUp() override
  {
    ModelMenuTest::SetUp();
    auto area = std::make_unique<TGModelRect>(main->Gis());
    TGIS* gis = main->Gis();
    areaId = gis->AddObjectAt(nullptr, std::move(area), gis->GetX0(), gis->GetY0(), false);
    Area()->SetWorldWidth((gis->GetX1() - gis->GetX0()) / 2);
    Area()->SetWorldHeight((gis->GetY1() - gis->GetY0()) / 2);
    gis->SetModified(false);
  }

  TGObj* Area() const { return main->Gis()->FindObjectById(areaId); }

  int32_t areaId = 0;
  TProgramEditorFrames frames;
  TEditorFramesScope framesInstalled{frames};
};

TEST_F(ModelAreaTest, TheFactoryMakesTheModelAreaFrame)
{
  QWidget owner;
  // The owner widget owns the frame.
  auto* areaFrame = dynamic_cast<TFmModelRect*>(Area()->CreateEditorFrame(false, false, &owner));
  ASSERT_NE(areaFrame, nullptr);
  EXPECT_EQ(areaFrame->GetObject(), Area());
  EXPECT_EQ(areaFrame->parentWidget(), &owner);
}

// The object browser of "Редактировать ...", shown, with the model area selected.
TFmModelRect* ShowAreaInBrowser(QDialog* dialog, const TGObj* area)
{
  auto* browser = dynamic_cast<TFOBrowser*>(dialog);
  if (!browser)
    return nullptr;
  browser->show();
  QTreeWidget* tree = browser->GisBrowser->Tree;
  for (QTreeWidgetItemIterator it(tree); *it; ++it)
    if (TFmGisBrowser::NodeId(*it) == area->GetId())
      tree->setCurrentItem(*it);
  return dynamic_cast<TFmModelRect*>(browser->Frame());
}

TEST_F(ModelAreaTest, ObjectsItemAppliesTheEditedCornersOutsideARun)
{
  const double width = Area()->GetWorldWidth();
  calls.whileShown = [&](QDialog* dialog) {
    TFmModelRect* frame = ShowAreaInBrowser(dialog, Area());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isEnabled());
    const double x = Area()->GetWorldX();
    const double y = Area()->GetWorldY();
    frame->Coord2->SetPosition(x + 2 * width, y + Area()->GetWorldHeight());
    dynamic_cast<TFOBrowser*>(dialog)->BapplayClick();
  };
  main->MIObjects->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_DOUBLE_EQ(Area()->GetWorldWidth(), 2 * width);
  EXPECT_TRUE(main->Gis()->IsModified());
}

TEST_F(ModelAreaTest, ObjectsItemOnlyShowsTheAreaDuringARun)
{
  const double width = Area()->GetWorldWidth();
  main->SetCalcState(CalcPaused);
  bool enabled = true;
  bool applyEnabled = true;
  calls.whileShown = [&](QDialog* dialog) {
    TFmModelRect* frame = ShowAreaInBrowser(dialog, Area());
    ASSERT_NE(frame, nullptr);
    enabled = frame->isEnabled();
    applyEnabled = dynamic_cast<TFOBrowser*>(dialog)->Bapplay->isEnabled();
    frame->Coord2->SetPosition(Area()->GetWorldX() + 2 * width, Area()->GetWorldY() + Area()->GetWorldHeight());
    dynamic_cast<TFOBrowser*>(dialog)->BapplayClick();
  };
  main->MIObjects->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_FALSE(enabled);
  EXPECT_FALSE(applyEnabled);
  EXPECT_DOUBLE_EQ(Area()->GetWorldWidth(), width);
  EXPECT_FALSE(main->Gis()->IsModified());
}

// The values of level k of a model volume layer.
std::set<double> LevelValues(TGIS* gis, int code, int k)
{
  auto* layer = dynamic_cast<TGArray3D*>(gis->FindArrayByCode(code));
  if (!layer || !layer->GetVolumeData() || k < 0 || k >= layer->GetNZ())
    return {};
  const int n = layer->GetNX() * layer->GetNY();
  const double* level = layer->GetVolumeData() + static_cast<size_t>(k) * n;
  return std::set<double>(level, level + n);
}

struct TLatticeCase {
  const char* name;
  int n1, n2, n3;
};

class LatticeChange : public ModelMenuTest, public ::testing::WithParamInterface<TLatticeCase> {};

// The needle model (7 x 10 x 7) with a box of material 1 gets a new lattice
// through the parameter dialog: the plates stay on the first and last level,
// one level thick, and every cell of both code layers holds a whole code.
TEST_P(LatticeChange, TheParameterDialogKeepsPlatesAndWholeCodes)
{
  const TLatticeCase& c = GetParam();
  calls.whileShown = [&](QDialog* dialog) {
    if (dialog == FInhomogeneities) {
      TypeInhomogeneity();
      return;
    }
    FParam->Emx->setText(QString::number(c.n1));
    FParam->Emy->setText(QString::number(c.n2));
    FParam->Emz->setText(QString::number(c.n3));
  };
  calls.dialogAnswers = {QDialog::Accepted, QDialog::Accepted};
  main->MIinhomogeneities->trigger();
  main->MIModelParams->trigger();
  const THeap& h = *Model()->GetEngine();
  ASSERT_EQ(h.N1, c.n1) << c.name;
  ASSERT_EQ(h.N2, c.n2) << c.name;
  ASSERT_EQ(h.N3, c.n3) << c.name;
  TGIS* gis = main->Gis();
  EXPECT_EQ(LevelValues(gis, 10005, 0), std::set<double>{-2.0}) << c.name;
  EXPECT_EQ(LevelValues(gis, 10005, c.n2 - 1), std::set<double>{-4.0}) << c.name;
  for (int k = 1; k < c.n2 - 1; ++k) {
    const std::set<double> inner = LevelValues(gis, 10005, k);
    EXPECT_FALSE(inner.empty()) << c.name << " level " << k;
    for (double v : inner)
      EXPECT_TRUE(v == -1.0 || v == -3.0) << c.name << " level " << k << ": " << v;
  }
  for (int k = 0; k < c.n2; ++k)
    for (double v : LevelValues(gis, 10007, k))
      EXPECT_TRUE(v == 0.0 || v == 1.0) << c.name << " level " << k << ": " << v;
  // The engine took the layers: the run may start.
  const int cells = h.N1 * h.N2 * h.N3;
  auto* electrodes = dynamic_cast<TGArray3D*>(gis->FindArrayByCode(10005));
  ASSERT_NE(electrodes, nullptr);
  EXPECT_TRUE(std::equal(h.ElectrodeCodes, h.ElectrodeCodes + cells, electrodes->GetVolumeData())) << c.name;
  EXPECT_EQ(CheckEngineInputs(h), "") << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, LatticeChange,
                         ::testing::Values(TLatticeCase{"fewer levels", 7, 4, 7},
                                           TLatticeCase{"more levels", 7, 19, 7},
                                           TLatticeCase{"two levels", 7, 2, 7},
                                           TLatticeCase{"narrower", 4, 10, 7},
                                           TLatticeCase{"wider", 11, 10, 7},
                                           TLatticeCase{"shallower", 7, 10, 3},
                                           TLatticeCase{"deeper", 7, 10, 12}));

// Moving the area by a cell and a quarter through the frame moves every layer
// with it: the code layers take the old cell under each new cell, so they keep
// whole codes and, away from the border, as many cells of each.
TEST_F(ModelAreaTest, ObjectsItemMovesTheCodeLayersWithoutBlendingCodes)
{
  calls.whileShown = [&](QDialog* dialog) {
    if (dialog == FInhomogeneities)
      TypeInhomogeneity();
  };
  calls.dialogAnswers = {QDialog::Accepted};
  main->MIinhomogeneities->trigger();
  const int materialCells = CountInLayer(10007, 1);
  const int needleCells = CountInLayer(10005, -3);
  const int plateCells = CountInLayer(10005, -2);
  ASSERT_GT(materialCells, 0);
  ASSERT_GT(needleCells, 0);
  TGIS* gis = main->Gis();
  const double shift = 1.25 * (gis->GetX1() - gis->GetX0()) / Model()->GetEngine()->N1;
  calls.whileShown = [&](QDialog* dialog) {
    TFmModelRect* frame = ShowAreaInBrowser(dialog, Area());
    ASSERT_NE(frame, nullptr);
    frame->Coord1->SetPosition(gis->GetX0() + shift, gis->GetY0());
    frame->Coord2->SetPosition(gis->GetX1() + shift, gis->GetY1());
    dynamic_cast<TFOBrowser*>(dialog)->BapplayClick();
  };
  calls.messageAnswers = {QMessageBox::No};
  main->MIObjects->trigger();
  EXPECT_EQ(CountInLayer(10007, 1), materialCells);
  EXPECT_EQ(CountInLayer(10005, -3), needleCells);
  EXPECT_EQ(CountInLayer(10005, -2), plateCells);
  auto* electrodes = dynamic_cast<TGArray3D*>(gis->FindArrayByCode(10005));
  ASSERT_NE(electrodes, nullptr);
  EXPECT_DOUBLE_EQ(electrodes->GetWorldX(), gis->GetX0() + shift);
  for (int k = 0; k < electrodes->GetNZ(); ++k) {
    for (double v : LevelValues(gis, 10005, k))
      EXPECT_TRUE(v == -1.0 || v == -2.0 || v == -3.0 || v == -4.0) << "level " << k << ": " << v;
    for (double v : LevelValues(gis, 10007, k))
      EXPECT_TRUE(v == 0.0 || v == 1.0) << "level " << k << ": " << v;
  }
}

TEST(ModelAreaWithoutFactory, ObjectsItemShowsTheAreaWithoutAFrame)
{
  TActingModalCalls calls;
  TModalCallsScope scope{calls};
  TNeedleModelMaker maker;
  TFMain main{QStringList()};
  main.SetModelWindowMaker(&maker);
  main.MINewClick();
  TGIS* gis = main.Gis();
  const int32_t id = gis->AddObjectAt(nullptr, std::make_unique<TGModelRect>(gis), gis->GetX0(), gis->GetY0(), false);
  bool framed = true;
  calls.whileShown = [&](QDialog* dialog) {
    framed = ShowAreaInBrowser(dialog, gis->FindObjectById(id)) != nullptr;
  };
  main.MIObjects->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  EXPECT_FALSE(framed);
}

// A closed project takes the browser's frame and tree with it.
TEST_F(ModelAreaTest, ANewProjectEmptiesTheBrowser)
{
  TFOBrowser* browser = nullptr;
  calls.whileShown = [&](QDialog* dialog) {
    ASSERT_NE(ShowAreaInBrowser(dialog, Area()), nullptr);
    browser = dynamic_cast<TFOBrowser*>(dialog);
    browser->hide();
  };
  main->MIObjects->trigger();
  ASSERT_NE(browser, nullptr);
  calls.whileShown = nullptr;
  main->SetModified(false);
  main->Gis()->SetModified(false);
  main->MINewClick();
  EXPECT_EQ(browser->Frame(), nullptr);
  EXPECT_EQ(browser->Gis(), nullptr);
}

// A paused run saved where its lattice side file cannot be written: the project
// is written all the same, and the reason is shown under "Ошибка"; opened
// again, the run comes back stopped and says why.
TEST_F(ModelMenuTest, UnwritableSideFileIsReportedWithTheProjectWritten)
{
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  main->Model()->SetStopMode(TFModel::StopOnEvent);
  main->BStartClick();
  ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused; }));
  // A folder where the side file should go cannot be replaced by it.
  ASSERT_TRUE(QDir(dir.path()).mkdir("run.hex"));
  const QString project = dir.filePath("run.vzt");
  main->UpdateCaption(project);
  main->SetModified(true);
  calls.messages.clear();
  EXPECT_TRUE(main->MISaveClick(TSaveSender::Button));
  EXPECT_FALSE(main->Modified());
  EXPECT_TRUE(QFileInfo(project).isFile());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_TRUE(calls.messages[0].text.startsWith(QString::fromUtf8("Ошибка записи в файл.\n")))
    << calls.messages[0].text.toStdString();
  EXPECT_GT(calls.messages[0].text.size(), QString::fromUtf8("Ошибка записи в файл.\n").size());

  calls.messages.clear();
  main->OpenProject(project);
  // The model tells the window that it stopped as soon as messages run.
  EXPECT_TRUE(ServeUntil([&] { return main->CalcState() == CalcStopped; }));
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_FALSE(calls.messages[0].text.isEmpty());
}

} // namespace
