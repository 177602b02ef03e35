// The discharge-tree view as the student uses it: opened from "Окна" ->
// "Новое окно" -> "Объем" on a project with the breakdown model, an array
// chosen in its "Массивы" menu, the tree drawn while the calculation runs,
// an element picked into the tree information window and the tree plot that
// follows the pointer, the model information window, and the windows saved in
// the project, restored and closed with it.
#include "ViewWindowSupport.h"

#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "gis/GRect.h"
#include "data/TextConversion.h"
#include "plots/FormTreePlot.h"
#include "plots/info/FormModelInfo.h"
#include "plots/info/FormTreeInfo.h"
#include "plots/info/InfoFields.h"
#include "shell/PlotWindowMakers.h"
#include "views3d/FormBit3DView.h"
#include "views3d/FormArray3DInfo.h"
#include "views3d/FormBit3DViewOptions.h"
#include "views3d/FormCubuiqeRangeValues.h"
#include "views3d/FormOpenGLOptions.h"
#include "views3d/FrameCubuiqe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

using namespace projecttest;
using namespace viewwindowtest;

namespace {

constexpr COLORREF Magenta = 0xFF00FF;
constexpr int NeedleRoots = 8;

bool IsMagenta(QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) > 200; }

std::vector<QPoint> MagentaPixels(const QImage& image)
{
  std::vector<QPoint> found;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (IsMagenta(image.pixel(x, y)))
        found.push_back(QPoint(x, y));
  return found;
}

// A line edit scrolls a text that does not fit, cutting its start off: the
// text with the edit's margins and its cursor must fit the edit's width.
void ExpectFieldsWhole(TFTreeInfo& info)
{
  for (QLineEdit* edit : {info.En, info.Eg, info.El, info.Ew, info.Esl, info.Esn, info.EI, info.EE, info.Eq,
                          info.Ecell}) {
    ASSERT_FALSE(edit->text().isEmpty()) << edit->objectName().toStdString();
    const QMargins margins = edit->textMargins();
    const int room = edit->contentsRect().width() - margins.left() - margins.right() - 2 * 2;
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()) + 1, room)
        << edit->objectName().toStdString() << ": " << edit->text().toStdString();
    EXPECT_TRUE(info.rect().contains(edit->mapTo(&info, edit->rect().topLeft())));
    EXPECT_TRUE(info.rect().contains(edit->mapTo(&info, edit->rect().bottomRight())));
  }
}

// Each cell lies whole in the grid's view, its text 2 pixels in from the cell's edges.
void ExpectGridWhole(TFTreeInfo& info)
{
  QTableWidget* grid = info.SGdata;
  const QFontMetrics metrics = grid->fontMetrics();
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 9; ++row) {
      const QRect cell = grid->visualRect(grid->model()->index(row, column));
      EXPECT_TRUE(grid->viewport()->rect().contains(cell)) << column << "," << row;
      const QString text = info.CellLook(column, row).text;
      EXPECT_LE(metrics.horizontalAdvance(text) + 2, cell.width()) << text.toStdString();
      EXPECT_LE(metrics.height() + 2, cell.height());
    }
}

class TreeViewWindowTest : public ViewWindowTest {
protected:
  TFBitModel* Model() const { return dynamic_cast<TFBitModel*>(main->Model()); }

  // "Объем", then the potential in "Массивы", then magenta opaque wide channels
  // through the "Структура" dialog.
  TFBit3DView* OpenTreeView()
  {
    main->MINewCubuiqe->trigger();
    auto views = ViewsOf<TFBit3DView>(*main);
    if (views.size() != 1)
      return nullptr;
    TFBit3DView* view = views[0];
    if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget()))
      sub->resize(420, 420);
    ProcessPostedEvents();
    emit view->Viewer->PopupMenu()->aboutToShow();
    const int32_t potential = main->Gis()->FindArrayByCode(CodePotential)->GetId();
    for (QAction* item : view->PMIArrays->actions())
      if (item->data().toInt() == potential)
        item->trigger();
    MakeChannelsMagenta(view);
    return view;
  }

  void MakeChannelsMagenta(TFBit3DView* view)
  {
    calls.edit = [](QDialog* dialog) {
      auto* options = static_cast<TFBit3DViewOptions*>(dialog);
      options->SetSwatchColour(options->Scolormin, Magenta);
      options->SetSwatchColour(options->Scolormax, Magenta);
      options->Ealphamin->setText("0");
      options->Ealphamax->setText("0");
      options->Ewidth->setText("2");
    };
    calls.dialogAnswers.push_back(QDialog::Accepted);
    view->PMITreeOptions->trigger();
    calls.edit = nullptr;
  }

  // The needle breaks down a few elements after its first channel, and on a
  // busy machine the pause can come late: a run that ends on its own counts.
  void RunUntilNodes(int count)
  {
    main->BStartClick();
    ASSERT_TRUE(ServeUntil(
        [&] { return Model()->GetSnapshot().NodeCount() >= count || main->CalcState() == CalcStopped; }));
    if (main->CalcState() != CalcStopped) {
      main->BPauseClick();
      ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused || main->CalcState() == CalcStopped; }));
    }
    main->RefreshViews();
  }
};


TEST_F(TreeViewWindowTest, TheTreeGrowsInThePictureWhileTheCalculationRuns)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  REQUIRE_VIEW_GL(view);
  EXPECT_EQ(view->GetArrayId(), main->Gis()->FindArrayByCode(CodePotential)->GetId());
  EXPECT_TRUE(view->windowTitle().startsWith(QString::fromUtf8("Объем: ")));
  EXPECT_TRUE(MagentaPixels(view->Viewer->PictureImage()).empty());

  // The needle's cells are the roots; the first channels, then more.
  RunUntilNodes(NeedleRoots + 1);
  const int32_t segments = view->Viewer->SegmentCount;
  const std::vector<QPoint> early = MagentaPixels(view->Viewer->PictureImage());
  EXPECT_GT(segments, 0);
  EXPECT_FALSE(early.empty());

  // The new channel shows where the picture had none. The shown potential is
  // recoloured as the tree grows and may change pixels of older channels
  // behind its sections, so the count alone may even fall.
  ASSERT_EQ(main->CalcState(), CalcPaused) << "the needle broke down before a second look";
  RunUntilNodes(Model()->GetSnapshot().NodeCount() + 1);
  EXPECT_GT(view->Viewer->SegmentCount, segments);
  const QSet<QPoint> before(early.begin(), early.end());
  const std::vector<QPoint> later = MagentaPixels(view->Viewer->PictureImage());
  EXPECT_TRUE(std::any_of(later.begin(), later.end(), [&](const QPoint& p) { return !before.contains(p); }));

  // Hiding the tree through its menu item leaves no channel in the picture.
  emit view->Viewer->PopupMenu()->aboutToShow();
  EXPECT_TRUE(view->PMITreeShow->isChecked());
  view->PMITreeShow->trigger();
  EXPECT_EQ(view->Viewer->SegmentCount, 0);
  EXPECT_TRUE(MagentaPixels(view->Viewer->PictureImage()).empty());
}

// The window is there to watch the tree: a new one shows it growing in the
// lattice's box before any array is chosen, with OpenGL and without.
TEST_F(TreeViewWindowTest, ANewViewShowsTheGrowingTreeWithoutAnArrayInBothDrawingKinds)
{
  main->MINewCubuiqe->trigger();
  ProcessPostedEvents();
  auto views = ViewsOf<TFBit3DView>(*main);
  ASSERT_EQ(views.size(), 1u);
  TFBit3DView* view = views[0];
  REQUIRE_VIEW_GL(view);
  MakeChannelsMagenta(view);
  EXPECT_EQ(view->GetArrayId(), 0);
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Объем"));
  EXPECT_GE(view->Viewer->BodyCount, 2) << "the plates";
  EXPECT_FALSE(view->PMISectionView->isEnabled()) << "no array, no section window";
  // The box has the lattice's proportions once they are asked for.
  view->Viewer->MenuItem(QStringLiteral("PMIAxesScaleReal"))->trigger();
  double sx = 0, sy = 0, sz = 0;
  view->Viewer->GetAxesScale(&sx, &sy, &sz);
  const TEngineStatistics lattice = Model()->GetSnapshot().Statistics();
  const double width = lattice.n1 * lattice.cellSize1;
  EXPECT_NEAR(sz / sx, lattice.n2 * lattice.cellSize2 / width, 1e-9);
  EXPECT_NEAR(sy / sx, lattice.n3 * lattice.cellSize3 / width, 1e-9);
  view->Viewer->MenuItem(QStringLiteral("PMIAxesScaleCube"))->trigger();

  RunUntilNodes(NeedleRoots + 1);
  EXPECT_GT(view->Viewer->SegmentCount, 0);
  EXPECT_FALSE(MagentaPixels(view->Viewer->PictureImage()).empty()) << "OpenGL";

  // The program's own renderer, chosen in "openGL ...".
  calls.dialogs.clear();
  view->Viewer->MenuItem(QStringLiteral("PMIopenGL"))->trigger();
  ASSERT_EQ(calls.dialogs.size(), 1u);
  auto* options = qobject_cast<TFOpenGLOptions*>(calls.dialogs.back());
  ASSERT_NE(options, nullptr);
  options->FormActivate();
  options->CBglType->setCurrentIndex(0);
  QTest::mouseClick(options->Bok, Qt::LeftButton);
  ProcessPostedEvents();
  ASSERT_FALSE(view->Viewer->UseGL);
  main->RefreshViews();
  EXPECT_FALSE(MagentaPixels(view->Viewer->PictureImage()).empty()) << "software";
}

TEST_F(TreeViewWindowTest, PickingAnElementOpensTheTreeInformationWindow)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  REQUIRE_VIEW_GL(view);
  RunUntilNodes(NeedleRoots + 1);
  const std::vector<QPoint> channel = MagentaPixels(view->Viewer->PictureImage());
  ASSERT_FALSE(channel.empty());

  view->PMIInspctTree->trigger();
  QTest::mouseClick(view->Viewer, Qt::LeftButton, {}, channel[channel.size() / 2]);
  TFTreeInfo* info = view->FindTreeInfo();
  ASSERT_NE(info, nullptr);
  const int node = info->NodeIndex;
  ASSERT_GE(node, 0);
  EXPECT_EQ(node, view->Settings().pickedNode);
  TNode picked{};
  double cell1 = 0, cell2 = 0, cell3 = 0;
  Model()->GetSnapshot().Read([&](const TTree& tree, const TEngineStatistics& s) {
    picked = tree.nodes[node];
    cell1 = s.cellSize1, cell2 = s.cellSize2, cell3 = s.cellSize3;
    return 0;
  });
  EXPECT_GE(picked.parent, 0) << "a segment ends at a node with a parent";
  EXPECT_EQ(info->En->text(), QString::number(node));
  EXPECT_EQ(info->Ecell->text(), QString::asprintf("(%i,%i,%i)", picked.x, picked.z, picked.y));
  EXPECT_TRUE(info->EE->text().endsWith(" MV/m"));
  EXPECT_EQ(info->GBgrid->title(), "Strength, MV/m");

  // The neighbour one cell further along axis 1: field towards it from the
  // potential layer.
  auto* potential = dynamic_cast<TGArray3D*>(main->Gis()->FindArrayByCode(CodePotential));
  double own = 0, next = 0;
  if (potential->GetCellValue(picked.x, picked.z, picked.y, own) &&
      potential->GetCellValue(picked.x + 1, picked.z, picked.y, next)) {
    EXPECT_EQ(info->SGdata->item(4, 2)->text(), InfoNumber((own - next) / cell1 * 1e-6, 4));
  }
  EXPECT_TRUE(info->CellLook(1, 4).text.isEmpty());
  (void)cell2, (void)cell3;

  // Double clicks cycle the three modes; probabilities are coloured by sign
  // and shown without it.
  const char* titles[] = {"Probability", "Steps to 1/2 break", "Strength, MV/m"};
  for (const char* title : titles) {
    info->SGdataDblClick();
    EXPECT_EQ(info->GBgrid->title(), title);
    if (info->GridMode != 1)
      continue;
    for (int column = 0; column < 3; ++column)
      for (int row = 0; row < 9; ++row) {
        const QString text = info->SGdata->item(row, column)->text();
        bool number = false;
        const double value = text.toDouble(&number);
        const auto look = info->CellLook(column, row);
        if (!number || (column == 1 && row == 4)) {
          EXPECT_EQ(look.background, QColor(Qt::white));
          continue;
        }
        EXPECT_EQ(look.background, value > 0 ? QColor(0xE6, 0xFF, 0xE6) : QColor(0xFF, 0xF0, 0xF0));
        EXPECT_FALSE(look.text.startsWith('-'));
      }
  }

  // Every value shows whole at the size the window opens with.
  ExpectFieldsWhole(*info);

  // ">>" folds the grid out, with room for all 26 neighbours, and back.
  const int narrow = info->width();
  EXPECT_FALSE(info->GBgrid->isVisible());
  info->BmoreClick();
  EXPECT_GT(info->width(), narrow);
  EXPECT_EQ(info->Bmore->text(), "<<");
  ASSERT_TRUE(info->GBgrid->isVisible());
  EXPECT_TRUE(info->rect().contains(info->GBgrid->geometry()));
  ExpectGridWhole(*info);
  ExpectFieldsWhole(*info);
  info->BmoreClick();
  EXPECT_EQ(info->width(), narrow);
  EXPECT_EQ(info->Bmore->text(), ">>");
  EXPECT_FALSE(info->GBgrid->isVisible());

  // A second pick reuses the window.
  QTest::mouseClick(view->Viewer, Qt::LeftButton, {}, channel.front());
  EXPECT_EQ(ViewsOf<TFTreeInfo>(*main).size(), 1u);
}

TEST_F(TreeViewWindowTest, TreeInformationShowsADashForCellsItCannotRead)
{
  RunUntilNodes(NeedleRoots + 2);
  TFTreeInfo info(main.get(), nullptr, Model());
  info.SetGIS(main->Gis());
  info.NodeIndex = 1 << 20; // beyond the snapshot: the last element
  info.GridMode = 1;
  // Material cells without a value (1e300) must not index the material list.
  auto* material = dynamic_cast<TGArray*>(main->Gis()->FindArrayByCode(10007));
  ASSERT_NE(material, nullptr);
  material->Fill(1e300);
  info.Refresh();
  EXPECT_EQ(info.NodeIndex, Model()->GetSnapshot().NodeCount() - 1);
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 9; ++row)
      if (!(column == 1 && row == 4)) {
        EXPECT_EQ(info.SGdata->item(row, column)->text(), "-") << column << "," << row;
      }
  // Without the model's arrays every neighbour shows "-" too.
  info.GridMode = 0;
  info.SetGIS(nullptr);
  info.Refresh();
  EXPECT_EQ(info.SGdata->item(4, 2)->text(), "-");
}

TEST_F(TreeViewWindowTest, TreeInformationShowsEveryValueWholeAtItsOpeningSize)
{
  RunUntilNodes(NeedleRoots + 2);
  // Made, filled and shown as a pick in the tree view does it.
  auto* info = new TFTreeInfo(main.get(), nullptr, Model());
  info->SetGIS(main->Gis());
  info->NodeIndex = Model()->GetSnapshot().NodeCount() - 1;
  info->Refresh();
  main->MdiArea()->addSubWindow(info)->show();
  ProcessPostedEvents();
  ExpectFieldsWhole(*info);
  // Values of the longest form the fields can get.
  const QString number = InfoNumber(-1.23456789e-100);
  info->Ew->setText(number + " - " + number + " V");
  info->Eq->setText(number + " - " + number + " C");
  info->Eg->setText(number + QString::fromUtf8(" Sm·m"));
  info->EE->setText(number + " MV/m");
  ExpectFieldsWhole(*info);
  info->BmoreClick();
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 9; ++row)
      info->SGdata->item(row, column)->setText(InfoNumber(-1.23456789e-100, 4));
  ExpectGridWhole(*info);
}

TEST_F(TreeViewWindowTest, ModelInformationListsTimeStatisticsAndGenerator)
{
  main->MIInfo->trigger();
  auto infos = ViewsOf<TFModelInfo>(*main);
  // Shown numbers: general format, unit after a blank.
  EXPECT_EQ(InfoNumber(2.5e-8 * 1e9) + " ns", "25 ns");
  EXPECT_EQ(InfoNumber(150000 * 0.001) + " kV", "150 kV");
  ASSERT_EQ(infos.size(), 1u);
  TFModelInfo* info = infos[0];
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  RunUntilNodes(NeedleRoots + 3);
  // Activating the window refills it.
  main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(view->parentWidget()));
  info->Et->clear();
  main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(info->parentWidget()));
  const TEngineStatistics s = Model()->GetSnapshot().Statistics();
  EXPECT_EQ(info->Et->text(), InfoNumber(Model()->GetTime() * 1e9) + " ns");
  EXPECT_EQ(info->ENt->text(), QString::number(Model()->GetStepCount()));
  EXPECT_EQ(info->Entree->text(), InfoNumber(s.elementCount, 15));
  EXPECT_GT(s.elementCount, 0);
  EXPECT_EQ(info->Eltree->text(), InfoNumber(s.channelLength * 1000) + " mm");
  EXPECT_EQ(info->Edw->text(), InfoNumber(s.appliedVoltage * 0.001) + " kV");
  EXPECT_EQ(info->Enwitr->text(), QString::number(s.totalIterations));
  EXPECT_TRUE(info->Edepthlen->text().endsWith(" mm"));
  // The command shows the one window again instead of making another.
  main->MIInfo->trigger();
  EXPECT_EQ(ViewsOf<TFModelInfo>(*main).size(), 1u);
}

TEST_F(TreeViewWindowTest, TheProjectKeepsTheViewsAndClosesThemWithIt)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  main->MIInfo->trigger();
  RunUntilNodes(NeedleRoots + 1);
  view->Settings().pickedSegment = 1;
  view->Settings().valueKind = TreeValueField;
  view->Viewer->SetRotationAngles(0.4, 1.1);
  const int32_t arrayId = view->GetArrayId();
  const QString path = dir.filePath("tree.vzt");
  ASSERT_TRUE(main->WriteProject(path));

  ASSERT_TRUE(main->LoadProject(path));
  ProcessPostedEvents();
  auto views = ViewsOf<TFBit3DView>(*main);
  ASSERT_EQ(views.size(), 1u);
  TFBit3DView* restored = views[0];
  EXPECT_EQ(restored->GetArrayId(), arrayId);
  EXPECT_EQ(restored->Settings().colourMin, Magenta);
  EXPECT_EQ(restored->Settings().width, 2.0);
  EXPECT_EQ(restored->Settings().pickedSegment, 1);
  EXPECT_EQ(restored->Settings().valueKind, TreeValueField);
  double theta = 0, phi = 0;
  restored->Viewer->GetRotationAngles(&theta, &phi);
  EXPECT_NEAR(theta, 0.4, 1e-9);
  EXPECT_NEAR(phi, 1.1, 1e-9);
  EXPECT_EQ(ViewsOf<TFModelInfo>(*main).size(), 1u);
  EXPECT_GT(restored->Viewer->SegmentCount, 0) << "the restored view draws the restored tree";
  if (restored->Viewer->HasGLContext()) {
    // The painted sections tint what lies behind them: without their pictures
    // the tree shows in its own colours.
    restored->Viewer->SetSectionPainter(nullptr);
    for (int s = 0; s < restored->Viewer->SectionCount; ++s)
      restored->Viewer->SectionStale[s] = true;
    restored->Viewer->Redraw();
    EXPECT_FALSE(MagentaPixels(restored->Viewer->PictureImage()).empty());
  }

  main->CloseProject();
  ProcessPostedEvents();
  EXPECT_TRUE(main->Views().isEmpty());
}

TEST_F(TreeViewWindowTest, DeletingTheShownArrayClosesTheView)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  QPointer<TFBit3DView> watched(view);
  // Another array going leaves the view.
  TGObj* other = main->Gis()->FindArrayByCode(10004);
  ASSERT_NE(other, nullptr);
  main->Gis()->DeleteObject(this, other, true);
  ProcessPostedEvents();
  ASSERT_FALSE(watched.isNull());
  main->Gis()->DeleteObject(this, main->Gis()->FindObjectById(view->GetArrayId()), true);
  ProcessPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull());
}

} // namespace

namespace {

// A section line of the GIS, as the map's section objects are kept.
class TSectionLine : public TGRect {
public:
  explicit TSectionLine(TGIS* gis) : TGRect(gis) { SetTypeCode(ObjectTypeSection); }
};

TEST_F(TreeViewWindowTest, TheShownArrayIsAlwaysAVolumeOfTheProject)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  const int32_t shown = view->GetArrayId();
  TGObj* notVolume = nullptr;
  for (int i = 0; i < main->Gis()->GetObjectCount() && !notVolume; ++i) {
    TGObj* object = main->Gis()->GetObject(i);
    if (object->GetTypeCode() != ObjectTypeArray3D && object->GetTypeCode() != ObjectTypeArrayI3D)
      notVolume = object;
  }
  const int32_t refused[] = {0, 987654, notVolume ? notVolume->GetId() : -1};
  for (int32_t id : refused) {
    view->SetArrayId(id);
    EXPECT_EQ(view->GetArrayId(), shown) << id;
  }
  const int32_t other = main->Gis()->FindArrayByCode(10004)->GetId();
  view->SetArrayId(other);
  EXPECT_EQ(view->GetArrayId(), other);
}

TEST_F(TreeViewWindowTest, SectionLinesOfTheMapBecomeSectionPlanes)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  TGObj* array = main->Gis()->FindObjectById(view->GetArrayId());
  // Along +x through the middle of the array: the plane x-z through the centre.
  auto line = std::make_unique<TSectionLine>(main->Gis());
  line->SetName("середина");
  line->SetX(array->GetX());
  line->SetY(array->GetY() + array->GetDY() / 2);
  line->SetDX(array->GetDX());
  line->SetDY(0);
  const int32_t id = main->Gis()->AddObject(this, std::move(line), true);
  ProcessPostedEvents();
  ASSERT_EQ(view->Viewer->SectionPositions.size(), 1u);
  const CubeSectionPosition& p = view->Viewer->SectionPositions[0];
  const double expected[9] = {1, 0, 0, 0, 0, -1, 0, 1, 0};
  for (int i = 0; i < 9; ++i)
    EXPECT_NEAR(p.matrix[i], expected[i], 1e-12) << i;
  EXPECT_NEAR(p.shift, 0, 1e-12);
  EXPECT_STREQ(p.name, "середина");

  main->Gis()->DeleteObject(this, main->Gis()->FindObjectById(id), true);
  ProcessPostedEvents();
  EXPECT_TRUE(view->Viewer->SectionPositions.empty());
}

TEST_F(TreeViewWindowTest, CaptionShowsTheArraysOwnRangeOnRequest)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  auto* array = dynamic_cast<TGArray*>(main->Gis()->FindObjectById(view->GetArrayId()));
  const QString name = QString::fromStdString(array->GetName());
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Объем: ") + name);
  view->PMIViewMinMax->trigger();
  EXPECT_TRUE(view->PMIViewMinMax->isChecked());
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Объем: ") + name + ",  ( " +
                                     QString::fromStdString(FloatToStrSep(array->GetDataMin(), ffGeneral, 3, 3)) +
                                     " : " +
                                     QString::fromStdString(FloatToStrSep(array->GetDataMax(), ffGeneral, 3, 3)) +
                                     " )");
}

// True when the item shows in the menu or in one of its visible submenus.
bool ShowsIn(const QMenu* menu, const QAction* item)
{
  for (QAction* action : menu->actions()) {
    if (!action->isVisible())
      continue;
    if (action == item || (action->menu() && ShowsIn(action->menu(), item)))
      return true;
  }
  return false;
}

// "Мин.-маск. ...": the dialog shows the view's range, and OK hands the typed
// ends (or the automatic range) to the frame's colouring; Cancel keeps it.
TEST_F(TreeViewWindowTest, RangeDialogSetsTheColouredValueRange)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->PMIRangeValues->isEnabled());
  emit view->Viewer->PopupMenu()->aboutToShow();
  EXPECT_TRUE(ShowsIn(view->Viewer->PopupMenu(), view->PMIRangeValues));
  EXPECT_EQ(view->PMIRangeValues->text(), QString::fromUtf8("Мин.-маск. ..."));
  const double autoMin = view->Viewer->ValueMin, autoMax = view->Viewer->ValueMax;
  const struct {
    bool autoRange;
    const char* min;
    const char* max;
    int answer;
    bool expectAuto;
    double expectMin, expectMax;
  } cases[] = {
      {false, "-2,5", "1e3", QDialog::Accepted, false, -2.5, 1000},
      {true, "7", "8", QDialog::Rejected, false, -2.5, 1000},
      {false, "0.25", "4", QDialog::Accepted, false, 0.25, 4},
      {true, "7", "8", QDialog::Accepted, true, autoMin, autoMax},
  };
  for (const auto& c : cases) {
    QString shownMin, shownMax;
    bool shownAuto = false, minEnabled = false;
    calls.edit = [&](QDialog* dialog) {
      auto* range = static_cast<TFCubuiqeRangeValues*>(dialog);
      range->FormActivate();
      shownAuto = range->CBautoscale->isChecked();
      shownMin = range->Emin->text();
      shownMax = range->Emax->text();
      range->CBautoscale->setChecked(c.autoRange);
      minEnabled = range->Emin->isEnabled();
      range->Emin->setText(QString::fromUtf8(c.min));
      range->Emax->setText(QString::fromUtf8(c.max));
    };
    const bool wasAuto = view->AutoRange();
    const double wasMin = view->RangeMin(), wasMax = view->RangeMax();
    calls.dialogAnswers.push_back(c.answer);
    view->PMIRangeValues->trigger();
    calls.edit = nullptr;
    EXPECT_EQ(shownAuto, wasAuto) << c.min;
    EXPECT_EQ(shownMin, QString::fromStdString(FloatToStrSep(wasMin, ffGeneral, 6, 3))) << c.min;
    EXPECT_EQ(shownMax, QString::fromStdString(FloatToStrSep(wasMax, ffGeneral, 6, 3))) << c.min;
    EXPECT_EQ(minEnabled, !c.autoRange) << c.min;
    EXPECT_EQ(view->AutoRange(), c.expectAuto) << c.min;
    EXPECT_DOUBLE_EQ(view->Viewer->ValueMin, c.expectMin) << c.min;
    EXPECT_DOUBLE_EQ(view->Viewer->ValueMax, c.expectMax) << c.min;
  }
}

// The array information window as a click in inspector mode fills it.
class ArrayInfoWindowTest : public TreeViewWindowTest {
protected:
  void ShowArray(TFBit3DView* view, int32_t id)
  {
    emit view->Viewer->PopupMenu()->aboutToShow();
    for (QAction* item : view->PMIArrays->actions())
      if (item->data().toInt() == id)
        item->trigger();
    ProcessPostedEvents();
  }
  TFBit3DView* OpenView(int32_t id)
  {
    main->MINewCubuiqe->trigger();
    ProcessPostedEvents();
    TFBit3DView* view = ViewsOf<TFBit3DView>(*main).back();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget()))
      sub->resize(420, 420);
    ProcessPostedEvents();
    ShowArray(view, id);
    // A section across the line of sight to click on.
    view->Viewer->MenuItem(QStringLiteral("PMIadd"))->trigger();
    view->Viewer->MenuItem(QStringLiteral("PMIOrientFront"))->trigger();
    ProcessPostedEvents();
    return view;
  }
  void Inspect(TFBit3DView* view, double fx, double fy)
  {
    view->Viewer->MenuItem(QStringLiteral("PMIInspector"))->trigger();
    // The click is aimed at the picture the student sees.
    view->Viewer->PictureImage();
    QTest::mouseClick(view->Viewer, Qt::LeftButton, {},
                      QPoint(int(view->Viewer->width() * fx), int(view->Viewer->height() * fy)));
    ProcessPostedEvents();
  }
  // The cell of an array's cube point, counted from the array's own cells.
  static void ExpectedCell(const TGArray3D& a, const std::array<double, 3>& p, int& i, int& j, int& k)
  {
    i = int(std::floor((p[0] + 1) / 2 * a.GetNX()));
    j = int(std::floor((1 - p[1]) / 2 * a.GetNY()));
    k = int(std::floor((1 - p[2]) / 2 * a.GetNZ()));
  }
  static TGArray3D* Numbered(TGArray3D* a)
  {
    double* values = a->GetVolumeData();
    for (int n = 0; n < a->GetNX() * a->GetNY() * a->GetNZ(); ++n)
      values[n] = n + 0.25;
    return a;
  }
  std::vector<TFArray3DInfo*> InfoWindows() { return ViewsOfArea<TFArray3DInfo>(); }
  template <class T> std::vector<T*> ViewsOfArea()
  {
    std::vector<T*> found;
    for (QMdiArea* area : main->findChildren<QMdiArea*>())
      for (QMdiSubWindow* sub : area->subWindowList())
        if (auto* typed = qobject_cast<T*>(sub->widget()))
          found.push_back(typed);
    return found;
  }
};

TEST_F(ArrayInfoWindowTest, AClickListsThePickedCellAndItsValue)
{
  auto* potential = Numbered(dynamic_cast<TGArray3D*>(main->Gis()->FindArrayByCode(CodePotential)));
  ASSERT_NE(potential, nullptr);
  TFBit3DView* view = OpenView(potential->GetId());
  ASSERT_EQ(view->GetArrayId(), potential->GetId());
  REQUIRE_VIEW_GL(view);
  // Off the centre in every direction, so that a flipped axis lands in another cell.
  const struct {
    double fx, fy;
  } clicks[] = {{0.5, 0.5}, {0.42, 0.4}, {0.6, 0.58}, {0.45, 0.62}};
  for (const auto& click : clicks) {
    SCOPED_TRACE(testing::Message() << click.fx << ", " << click.fy);
    Inspect(view, click.fx, click.fy);
    const auto picked = view->Viewer->PickSectionPoints();
    if (picked.empty())
      continue;
    const std::vector<TFArray3DInfo*> windows = InfoWindows();
    ASSERT_EQ(windows.size(), 1u);
    TFArray3DInfo* info = windows[0];
    ASSERT_EQ(info->Points().size(), picked.size());
    ASSERT_EQ(info->SGdata->rowCount(), 1);
    int i = 0, j = 0, k = 0;
    ExpectedCell(*potential, picked[0], i, j, k);
    EXPECT_TRUE(info->windowTitle().startsWith(QStringLiteral("(%1, %2, %3)").arg(i).arg(j).arg(k)))
        << info->windowTitle().toStdString();
    double value = 0;
    ASSERT_TRUE(potential->GetCellValue(i, j, k, value));
    EXPECT_EQ(info->SGdata->item(0, 0)->text().toStdString(), potential->GetName());
    EXPECT_EQ(info->SGdata->item(0, 1)->text().toStdString(), FloatToStrSep(value, ffGeneral, 6, 0));
  }
  EXPECT_EQ(InfoWindows().size(), 1u);
}

TEST_F(ArrayInfoWindowTest, ASecondViewAddsItsArrayAndAPointOutsideAnArrayHasNoValue)
{
  auto* potential = Numbered(dynamic_cast<TGArray3D*>(main->Gis()->FindArrayByCode(CodePotential)));
  ASSERT_NE(potential, nullptr);
  // The left half of the potential's box, in cells of its own.
  auto owned = std::make_unique<TGArray3D>(main->Gis(), 2, 3, 2, 424242);
  TGArray3D* half = owned.get();
  half->SetName("половина");
  main->Gis()->AddObject(nullptr, std::move(owned), true);
  half->SetRelativeRect(potential->GetX(), potential->GetY(), potential->GetX() + potential->GetDX() / 2,
                        potential->GetY() + potential->GetDY());
  half->SetZ(potential->GetZ());
  half->SetDZ(potential->GetDZ());
  Numbered(half);
  ProcessPostedEvents();

  TFBit3DView* view = OpenView(potential->GetId());
  TFBit3DView* halfView = OpenView(half->GetId());
  ASSERT_EQ(halfView->GetArrayId(), half->GetId());
  REQUIRE_VIEW_GL(halfView);
  Inspect(halfView, 0.5, 0.5);
  ASSERT_FALSE(halfView->Viewer->PickSectionPoints().empty());

  ASSERT_EQ(view->GetArrayId(), potential->GetId());
  // Right of the middle of the potential's cube: outside the half.
  for (double fx : {0.62, 0.58}) {
    Inspect(view, fx, 0.5);
    const auto picked = view->Viewer->PickSectionPoints();
    ASSERT_FALSE(picked.empty());
    if (picked[0][0] <= 0.05)
      continue;
    const std::vector<TFArray3DInfo*> windows = InfoWindows();
    ASSERT_EQ(windows.size(), 1u);
    TFArray3DInfo* info = windows[0];
    ASSERT_EQ(info->SGdata->rowCount(), 2);
    EXPECT_EQ(info->SGdata->item(0, 0)->text().toStdString(), half->GetName());
    EXPECT_EQ(info->SGdata->item(0, 1)->text(), QStringLiteral("-"));
    EXPECT_EQ(info->SGdata->item(1, 0)->text().toStdString(), potential->GetName());
    EXPECT_NE(info->SGdata->item(1, 1)->text(), QStringLiteral("-"));
    return;
  }
  FAIL() << "no click landed right of the middle";
}

} // namespace

namespace {

// The tree plots beside the 3D view: the oldest one follows the element picked
// in the view when it is in the "По указателю" mode; the others keep theirs.
class TreePlotPickTest : public TreeViewWindowTest {
protected:
  void SetUp() override
  {
    TreeViewWindowTest::SetUp();
    RegisterPlotWindows(store.Views());
  }
  std::vector<double> ChannelX(int id, int end)
  {
    int count = 0;
    double* x = nullptr;
    double* y = nullptr;
    Model()->GetChannelData(id, end, &count, &x, &y);
    std::vector<double> result(x, x + count);
    std::free(x);
    std::free(y);
    return result;
  }
};

TEST_F(TreePlotPickTest, TheOldestTreePlotFollowsThePickedChannel)
{
  TFBit3DView* view = OpenTreeView();
  ASSERT_NE(view, nullptr);
  REQUIRE_VIEW_GL(view);
  RunUntilNodes(NeedleRoots + 4);
  const std::vector<QPoint> channel = MagentaPixels(view->Viewer->PictureImage());
  ASSERT_FALSE(channel.empty());

  for (int n = 0; n < 3; ++n)
    main->MINewTreePlot->trigger();
  const std::vector<TFTreePlot*> plots = ViewsOf<TFTreePlot>(*main);
  ASSERT_EQ(plots.size(), 3u);
  const int id = Model()->GetChannelDataId(0);
  for (TFTreePlot* plot : plots)
    plot->SeriesItemClick({id, 0});
  plots[0]->PMILookupChannel->trigger();
  plots[1]->PMILookupChannel->trigger();
  const int last = Model()->GetSnapshot().NodeCount() - 1;
  ASSERT_EQ(plots[0]->ChannelIndex, last);

  // A channel that does not end at the last element, so that the plots move.
  view->PMIInspctTree->trigger();
  int node = -1;
  for (size_t p = 0; p < channel.size() && (node < 0 || node == last); p += 7) {
    QTest::mouseClick(view->Viewer, Qt::LeftButton, {}, channel[p]);
    node = view->Settings().pickedNode;
  }
  ASSERT_GE(node, 0);
  ASSERT_NE(node, last);
  EXPECT_EQ(plots[0]->ChannelIndex, node);
  EXPECT_EQ(plots[0]->GetSeriesData()[0].at(0).x, ChannelX(id, node));
  EXPECT_EQ(plots[1]->ChannelIndex, last);
  EXPECT_EQ(plots[1]->GetSeriesData()[0].at(0).x, ChannelX(id, last));
  EXPECT_EQ(plots[2]->ChannelMode, TFTreePlot::Longest);
  EXPECT_EQ(plots[2]->ChannelIndex, TFTreePlot::DeepestElement);
}

} // namespace
