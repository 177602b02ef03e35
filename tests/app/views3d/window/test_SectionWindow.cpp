// The section window as the student reaches it: "В отдельном окне" in a 3D
// view's sections menu opens the view's current plane on its own; the picture
// zooms from its menu and the main window's buttons, moves with the mouse,
// keeps its label step, is saved with the project and comes back without the
// 3D view, and closes when its array goes. Also the arrays' choice of the cell
// information window.
#include "../../../common/gis/MeshSourceSupport.h"
#include "ViewWindowSupport.h"

#include "gis/ArrayLabelFont.h"
#include "gis/FontconfigLabelFont.h"
#include "gis/GArray3D.h"
#include "gis/GArrayI3D.h"
#include "gis/GIS.h"
#include "views3d/FormArray3DInfo.h"
#include "views3d/FormArray3DSelect.h"
#include "views3d/FormBit3DView.h"
#include "views3d/FormSectionView.h"
#include "views3d/FrameCubuiqe.h"
#include "views3d/FrameSectionView.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace projecttest;
using namespace viewwindowtest;

namespace {

constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF Blue = 0xFF0000;

bool IsWhite(QRgb c) { return qRed(c) == 255 && qGreen(c) == 255 && qBlue(c) == 255; }

// The painted (not white) pixels of a picture.
QRect PaintedRect(const QImage& image)
{
  QRect painted;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!IsWhite(image.pixel(x, y)))
        painted |= QRect(x, y, 1, 1);
  return painted;
}

class SectionWindowTest : public ViewWindowTest {
protected:
  void SetUp() override
  {
    ViewWindowTest::SetUp();
    potential = dynamic_cast<TGArray3D*>(main->Gis()->FindArrayByCode(CodePotential));
    ASSERT_NE(potential, nullptr);
    // Values that grow along x only, red at the low end and blue at the high
    // end, no lines: the colour tells where along x a pixel lies.
    double* values = potential->GetVolumeData();
    const int nx = potential->GetNX(), ny = potential->GetNY();
    for (int n = 0; n < nx * ny * potential->GetNZ(); ++n)
      values[n] = n % nx;
    potential->SetFillType(3);
    potential->SetAlpha(0x10000, 0x10000);
    potential->SetSteppedFill(false);
    potential->SetContoursOn(false);
    potential->SetMixModes(0, 0);
    potential->SetFillColors(Red, Blue);
    potential->SetRange(0, nx - 1);
  }

  TFBit3DView* OpenVolumeView()
  {
    main->MINewCubuiqe->trigger();
    ProcessPostedEvents();
    TFBit3DView* view = ViewsOf<TFBit3DView>(*main).back();
    emit view->Viewer->PopupMenu()->aboutToShow();
    for (QAction* item : view->PMIArrays->actions())
      if (item->data().toInt() == potential->GetId())
        item->trigger();
    view->Viewer->MenuItem(QStringLiteral("PMIadd"))->trigger();
    ProcessPostedEvents();
    return view;
  }

  // "В отдельном окне"; the new window, shown large enough for the whole box.
  TFSectionView* OpenSection(TFBit3DView* view)
  {
    const size_t before = ViewsOf<TFSectionView>(*main).size();
    view->PMISectionView->trigger();
    ProcessPostedEvents();
    auto windows = ViewsOf<TFSectionView>(*main);
    if (windows.size() != before + 1)
      return nullptr;
    TFSectionView* section = windows.back();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(section->parentWidget())) {
      sub->resize(520, 520);
      main->MdiArea()->setActiveSubWindow(sub);
    }
    ProcessPostedEvents();
    return section;
  }

  static QImage Picture(TFSectionView* section) { return section->Viewer->PictureImage(); }

  TGArray3D* potential = nullptr;
};

// Whether the colour changes from left to right and from top to bottom across
// the middle of the painted part.
struct TGradient {
  bool horizontal = false;
  bool vertical = false;
};

TGradient GradientOf(const QImage& image)
{
  const QRect box = PaintedRect(image);
  const QPoint c = box.center();
  const int dx = box.width() / 3, dy = box.height() / 3;
  auto differ = [&](QPoint a, QPoint b) { return image.pixel(a) != image.pixel(b); };
  return {differ(c - QPoint(dx, 0), c + QPoint(dx, 0)), differ(c - QPoint(0, dy), c + QPoint(0, dy))};
}

TEST_F(SectionWindowTest, TheWindowShowsTheViewsCurrentPlane)
{
  TFBit3DView* view = OpenVolumeView();
  ASSERT_TRUE(view->PMISectionView->isEnabled());
  // The box in its real proportions, so that its axes differ in length.
  view->Viewer->MenuItem(QStringLiteral("PMIAxesScaleReal"))->trigger();
  double sx = 0, sy = 0, sz = 0;
  view->Viewer->GetAxesScale(&sx, &sy, &sz);
  ASSERT_FALSE(sx == sy && sy == sz);

  const struct {
    const char* orientation;
  } planes[] = {{"PMIOrientHor"}, {"PMIOrientVer"}, {"PMIOrientFront"}};
  std::vector<TGradient> seen;
  for (const auto& plane : planes) {
    SCOPED_TRACE(plane.orientation);
    view->Viewer->MenuItem(QString::fromLatin1(plane.orientation))->trigger();
    main->SetModified(false);
    TFSectionView* section = OpenSection(view);
    ASSERT_NE(section, nullptr);
    EXPECT_TRUE(main->Modified());
    EXPECT_EQ(section->windowTitle(), QString::fromUtf8("Сечение: ") + QString::fromStdString(potential->GetName()));
    EXPECT_EQ(section->GetArrayId(), potential->GetId());
    EXPECT_EQ(section->SourceWindowId(), view->WindowId());

    // The box cut by the plane, centred, 140 pixels per unit of the box.
    double matrix[9], shift = 0;
    view->Viewer->GetSectionPlane(matrix, &shift);
    const double half[3] = {sx, sy, sz};
    double u = 0, v = 0;
    for (int axis = 0; axis < 3; ++axis) {
      u += std::fabs(matrix[3 * axis]) * half[axis];
      v += std::fabs(matrix[3 * axis + 1]) * half[axis];
    }
    const QImage image = Picture(section);
    const QRect box = PaintedRect(image);
    EXPECT_NEAR(box.width(), 2 * 140 * u, 3);
    EXPECT_NEAR(box.height(), 2 * 140 * v, 3);
    EXPECT_NEAR(box.center().x(), image.width() / 2, 2);
    EXPECT_NEAR(box.center().y(), image.height() / 2, 2);
    // Red to blue along x: across the picture where the plane runs along x.
    const bool alongX = std::fabs(matrix[0]) > 0.5;
    const TGradient gradient = GradientOf(image);
    EXPECT_EQ(gradient.horizontal, alongX);
    EXPECT_FALSE(gradient.vertical && !(std::fabs(matrix[1]) > 0.5));
    if (alongX) {
      // Red where x is low: on the left when the picture's right is +x.
      QColor low = image.pixelColor(box.left() + 2, box.center().y());
      QColor high = image.pixelColor(box.right() - 2, box.center().y());
      if (matrix[0] < 0)
        std::swap(low, high);
      EXPECT_GT(low.red(), low.blue());
      EXPECT_GT(high.blue(), high.red());
    }
    seen.push_back(gradient);
  }
  // The three planes are not all alike.
  EXPECT_FALSE(seen[0].horizontal == seen[1].horizontal && seen[1].horizontal == seen[2].horizontal &&
               seen[0].vertical == seen[1].vertical && seen[1].vertical == seen[2].vertical);

  // The window redraws from the array's values on a refresh, not from the view.
  TFSectionView* section = ViewsOf<TFSectionView>(*main).front();
  potential->Fill(0);
  main->RefreshViews();
  const QImage flat = Picture(section);
  const QRect box = PaintedRect(flat);
  EXPECT_EQ(flat.pixel(box.left() + 2, box.center().y()), flat.pixel(box.right() - 2, box.center().y()));
}

TEST_F(SectionWindowTest, ZoomAndDragMoveThePicture)
{
  TFBit3DView* view = OpenVolumeView();
  view->Viewer->MenuItem(QStringLiteral("PMIOrientHor"))->trigger();
  TFSectionView* section = OpenSection(view);
  ASSERT_NE(section, nullptr);
  TFmSectionView* frame = section->Viewer;
  const QRect start = PaintedRect(Picture(section));
  ASSERT_GT(start.width(), 100);

  // The main window's zoom buttons reach the active section window.
  main->Bzoomout->trigger();
  EXPECT_DOUBLE_EQ(frame->Zoom(), 0.5);
  const QRect half = PaintedRect(Picture(section));
  EXPECT_NEAR(half.width(), start.width() / 2.0, 2);
  EXPECT_NEAR(half.center().x(), start.center().x(), 2);
  main->Bzoomin->trigger();
  EXPECT_DOUBLE_EQ(frame->Zoom(), 1);

  // A left drag moves the picture with the mouse; a right drag does not.
  const QPoint from(200, 200), to(240, 170);
  QTest::mousePress(frame, Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), frame->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton, {});
  QCoreApplication::sendEvent(frame, &move);
  QTest::mouseRelease(frame, Qt::LeftButton, {}, to);
  EXPECT_EQ(frame->OffsetX(), 40);
  EXPECT_EQ(frame->OffsetY(), -30);
  EXPECT_EQ(PaintedRect(Picture(section)), start.translated(40, -30));

  QTest::mousePress(frame, Qt::RightButton, {}, to);
  QMouseEvent rightMove(QEvent::MouseMove, QPointF(from), frame->mapToGlobal(QPointF(from)), Qt::NoButton,
                        Qt::RightButton, {});
  QCoreApplication::sendEvent(frame, &rightMove);
  QTest::mouseRelease(frame, Qt::RightButton, {}, from);
  EXPECT_EQ(frame->OffsetX(), 40);
  EXPECT_EQ(frame->OffsetY(), -30);

  // Zooming keeps the point under the centre: the offset scales with it.
  frame->PMIZoom200->trigger();
  EXPECT_DOUBLE_EQ(frame->Zoom(), 2);
  EXPECT_EQ(frame->OffsetX(), 80);
  EXPECT_EQ(frame->OffsetY(), -60);
}

TEST_F(SectionWindowTest, ZoomStaysWithinItsRangeAndTheLabelStepIsAWholeNumber)
{
  TFBit3DView* view = OpenVolumeView();
  TFSectionView* section = OpenSection(view);
  ASSERT_NE(section, nullptr);
  TFmSectionView* frame = section->Viewer;

  // Menu steps: doubling past 5 and halving below 0.2 are refused.
  const struct {
    double start;
    bool up;
    double expected;
  } steps[] = {{5, true, 5}, {2.5, true, 5}, {0.25, false, 0.25}, {0.4, false, 0.2}};
  for (const auto& step : steps) {
    frame->SetZoom(step.start);
    ASSERT_DOUBLE_EQ(frame->Zoom(), step.start);
    (step.up ? frame->PMIZoom200 : frame->PMIZoom50)->trigger();
    EXPECT_DOUBLE_EQ(frame->Zoom(), step.expected) << step.start << (step.up ? " up" : " down");
  }

  // "Точно ...": per cent; text that is no number or out of range changes nothing.
  const struct {
    std::optional<QString> answer;
    double expected;
  } typed[] = {{QString("300"), 3}, {QString("abc"), 3}, {QString("1000"), 3}, {QString("19"), 3},
               {QString(" 20 "), 0.2}, {std::nullopt, 0.2}, {QString("nan"), 0.2}, {QString("150,5"), 1.505}};
  frame->SetZoom(1);
  for (const auto& c : typed) {
    const QString shown = QString::number(std::lround(frame->Zoom() * 100));
    calls.inputAnswers.push_back(c.answer);
    calls.inputs.clear();
    frame->PMIZoomManual->trigger();
    ASSERT_EQ(calls.inputs.size(), 1u);
    EXPECT_EQ(calls.inputs[0].caption, QString::fromUtf8("Масштаб"));
    EXPECT_EQ(calls.inputs[0].prompt, QString::fromUtf8("значение, %"));
    EXPECT_EQ(calls.inputs[0].text, shown);
    EXPECT_NEAR(frame->Zoom(), c.expected, 1e-12) << c.answer.value_or("<cancel>").toStdString();
  }

  // "Шаг меток ...": a whole number of pixels, 100 for anything else; the
  // next refresh takes the array's own step again.
  const int own = potential->GetDrawSettings().labelSpacing;
  const struct {
    std::optional<QString> answer;
    int expected;
  } labels[] = {{QString("50"), 50}, {std::nullopt, 50}, {QString("abc"), 100}, {QString("7.5"), 100}};
  for (const auto& c : labels) {
    calls.inputAnswers.push_back(c.answer);
    calls.inputs.clear();
    const QString shown = QString::number(frame->LabelSpacing());
    frame->PMILabelDist->trigger();
    ASSERT_EQ(calls.inputs.size(), 1u);
    EXPECT_EQ(calls.inputs[0].caption, QString::fromUtf8("шаг меток"));
    EXPECT_EQ(calls.inputs[0].prompt, QString::fromUtf8("пиксели: "));
    EXPECT_EQ(calls.inputs[0].text, shown);
    EXPECT_EQ(frame->LabelSpacing(), c.expected) << c.answer.value_or("<cancel>").toStdString();
  }
  section->Refresh();
  EXPECT_EQ(frame->LabelSpacing(), own);
}

TEST_F(SectionWindowTest, CopyAndBitmapExportGiveThePicture)
{
  TFBit3DView* view = OpenVolumeView();
  TFSectionView* section = OpenSection(view);
  ASSERT_NE(section, nullptr);
  const QImage picture = Picture(section).convertToFormat(QImage::Format_RGB888);
  section->Viewer->PMICopy->trigger();
  ASSERT_EQ(calls.clipboardImages.size(), 1u);
  EXPECT_EQ(calls.clipboardImages[0].convertToFormat(QImage::Format_RGB888), picture);
  main->Bcopy->trigger();
  ASSERT_EQ(calls.clipboardImages.size(), 2u);

  const QString path = dir.filePath("section.bmp");
  section->SaveBitmap(path);
  QImage saved(path, "BMP");
  EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB888), picture);
  // The window's own items follow the picture's in one popup menu.
  EXPECT_TRUE(section->Viewer->PopupMenu()->actions().contains(section->PMICaption));
}

// The 3D view's own sections label their contours in the array's label font
// family from the first picture on and again after the project is reloaded,
// with no section window ever opened. Two families of fonts-dejavu-core give
// two different pictures, and both differ from the picture without labels.
TEST_F(SectionWindowTest, TheViewsSectionsLabelTheirContoursInTheArraysFontFamily)
{
  // As the program does at its start.
  SetLabelFontFileResolver(FontconfigLabelFontFile);
  auto labelled = [](TGArray* array, const char* family, bool on) {
    array->SetContoursOn(true);
    array->SetContourColors(0x000000, 0x000000);
    array->SetLevelScheme(LevelSchemeCount, 4, 100, 10, 2, 4, 1, 2);
    array->SetLabels(on, on, 30, 0, 1.0, 0.0);
    TFontRecord font = array->GetLabelFont();
    font.name = family;
    font.size = 14;
    font.style = TFontRecord::Bold;
    array->SetLabelFont(font);
  };
  labelled(potential, "DejaVu Sans Mono", true);
  TFBit3DView* view = OpenVolumeView();
  REQUIRE_VIEW_GL(view);
  view->Viewer->MenuItem(QStringLiteral("PMIOrientFront"))->trigger();
  auto picture = [&] {
    main->RefreshViews();
    return ViewsOf<TFBit3DView>(*main).front()->Viewer->PictureImage();
  };
  const QImage mono = picture();
  labelled(potential, "DejaVu Serif", true);
  const QImage serif = picture();
  labelled(potential, "DejaVu Serif", false);
  const QImage none = picture();
  EXPECT_NE(mono, none) << "no labels at the first opening";
  EXPECT_NE(serif, none);
  EXPECT_NE(mono, serif) << "the labels ignore the array's family";
  EXPECT_TRUE(ViewsOf<TFSectionView>(*main).empty());

  labelled(potential, "DejaVu Sans Mono", true);
  const QString path = dir.filePath("labels.vzt");
  ASSERT_TRUE(main->WriteProject(path));
  ASSERT_TRUE(main->LoadProject(path));
  ProcessPostedEvents();
  ASSERT_EQ(ViewsOf<TFBit3DView>(*main).size(), 1u);
  EXPECT_TRUE(ViewsOf<TFSectionView>(*main).empty());
  auto* loaded = dynamic_cast<TGArray3D*>(main->Gis()->FindArrayByCode(CodePotential));
  ASSERT_NE(loaded, nullptr);
  const QImage reloaded = picture();
  labelled(loaded, "DejaVu Sans Mono", false);
  EXPECT_NE(reloaded, picture()) << "no labels after the reload";
  SetLabelFontFileResolver({});
}

TEST_F(SectionWindowTest, TheProjectRecreatesTheWindowWithoutThe3DView)
{
  TFBit3DView* view = OpenVolumeView();
  view->Viewer->MenuItem(QStringLiteral("PMIAxesScale50"))->trigger();
  view->Viewer->MenuItem(QStringLiteral("PMIOrientFront"))->trigger();
  TFSectionView* section = OpenSection(view);
  ASSERT_NE(section, nullptr);
  section->Viewer->SetZoom(0.8);
  QTest::mousePress(section->Viewer, Qt::LeftButton, {}, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(111, 93), section->Viewer->mapToGlobal(QPointF(111, 93)), Qt::NoButton,
                   Qt::LeftButton, {});
  QCoreApplication::sendEvent(section->Viewer, &move);
  const QImage before = Picture(section);
  const QString caption = section->windowTitle();
  double matrix[9], half[3];
  std::copy(section->Viewer->SectionMatrix(), section->Viewer->SectionMatrix() + 9, matrix);
  section->Viewer->GetAxesScale(&half[0], &half[1], &half[2]);
  const int32_t source = section->SourceWindowId();
  const int32_t arrayId = potential->GetId();
  // The 3D view goes before the save: the section window stands alone.
  qobject_cast<QMdiSubWindow*>(view->parentWidget())->close();
  ProcessPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_TRUE(ViewsOf<TFBit3DView>(*main).empty());

  const QString path = dir.filePath("section.vzt");
  ASSERT_TRUE(main->WriteProject(path));
  ASSERT_TRUE(main->LoadProject(path));
  potential = nullptr; // it went with the project it belonged to
  main->show();
  ProcessPostedEvents();
  auto restored = ViewsOf<TFSectionView>(*main);
  ASSERT_EQ(restored.size(), 1u);
  TFSectionView* again = restored[0];
  EXPECT_EQ(again->windowTitle(), caption);
  EXPECT_EQ(again->GetArrayId(), arrayId);
  EXPECT_EQ(again->SourceWindowId(), source);
  EXPECT_DOUBLE_EQ(again->Viewer->Zoom(), 0.8);
  EXPECT_EQ(again->Viewer->OffsetX(), 11);
  EXPECT_EQ(again->Viewer->OffsetY(), -7);
  for (int i = 0; i < 9; ++i)
    EXPECT_DOUBLE_EQ(again->Viewer->SectionMatrix()[i], matrix[i]) << i;
  double h[3];
  again->Viewer->GetAxesScale(&h[0], &h[1], &h[2]);
  for (int i = 0; i < 3; ++i)
    EXPECT_DOUBLE_EQ(h[i], half[i]) << i;
  // The loaded project's array values, drawn on the saved plane.
  if (auto* sub = qobject_cast<QMdiSubWindow*>(again->parentWidget()))
    sub->resize(520, 520);
  ProcessPostedEvents();
  again->Refresh();
  const QImage after = Picture(again);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(PaintedRect(after), PaintedRect(before));
  EXPECT_EQ(after, before);
}

TEST_F(SectionWindowTest, DeletingTheArrayClosesTheWindow)
{
  TFBit3DView* view = OpenVolumeView();
  TFSectionView* section = OpenSection(view);
  ASSERT_NE(section, nullptr);
  QPointer<TFSectionView> watched(section);
  TGObj* other = main->Gis()->FindArrayByCode(10004);
  ASSERT_NE(other, nullptr);
  main->Gis()->DeleteObject(this, other, true);
  ProcessPostedEvents();
  ASSERT_FALSE(watched.isNull());
  main->Gis()->DeleteObject(this, potential, true);
  ProcessPostedEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull());
}

// A layered irregular array's 3D view has the item too, but no window opens.
TEST_F(SectionWindowTest, NoWindowForALayeredIrregularArray)
{
  TGIS* gis = main->Gis();
  const int32_t sourceId = gis->AddObject(this, std::make_unique<meshtest::TTestMeshSource>(gis), true);
  auto layered = std::make_unique<TGArrayI3D>(gis, sourceId, ValuesAtNodes, 30001);
  layered->SetName("слои");
  const int32_t id = gis->AddObject(this, std::move(layered), true);
  ProcessPostedEvents();
  TFBit3DView* view = OpenVolumeView();
  view->SetArrayId(id);
  view->Refresh();
  ASSERT_EQ(view->GetArrayId(), id);
  main->SetModified(false);
  view->PMISectionView->trigger();
  ProcessPostedEvents();
  EXPECT_TRUE(ViewsOf<TFSectionView>(*main).empty());
  EXPECT_FALSE(main->Modified());
}

// A damaged project record must not leave a plane or scale that cannot be drawn.
TEST(SectionFrame, ADamagedImageKeepsWhatItCannotDraw)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double singular[9] = {1, 0, 0, 2, 0, 0, 0, 0, 1};
  const double turned[9] = {0, 1, 0, -1, 0, 0, 0, 0, 1};
  const struct {
    const char* what;
    double half[3];
    double zoom;
    int32_t offset;
    const double* matrix;
    double depth;
    bool kept;
  } cases[] = {
      {"sound", {0.5, 0.75, 1}, 2, 5, turned, 0.25, false},
      {"zero half extent", {0, 0.75, 1}, 0, 5, singular, 0.25, true},
      {"negative half extent", {-1, 0.75, 1}, -3, 5, singular, nan, true},
      {"infinite half extent", {inf, 0.75, 1}, nan, 5, singular, inf, true},
      {"NaN half extent", {0.5, nan, 1}, 10, 5, singular, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TMemoryStream bytes;
    {
      TTagStream image(&bytes, TagStreamWrite);
      for (int i = 0; i < 3; ++i)
        image.WriteDouble(c.half[i], 1 + i);
      image.WriteDouble(c.zoom, 4);
      image.WriteInt(c.offset, 5);
      image.WriteInt(std::numeric_limits<int32_t>::max(), 6);
      image.WriteBuffer(c.matrix, 72, 7);
      image.WriteDouble(c.depth, 8);
      image.Commit();
    }
    TFmSectionView frame;
    frame.resize(200, 200);
    bytes.SetPosition(0);
    TTagStream image(&bytes, TagStreamRead);
    frame.Load(&image);
    double h[3];
    frame.GetAxesScale(&h[0], &h[1], &h[2]);
    if (c.kept) {
      EXPECT_EQ(h[0], 1);
      EXPECT_EQ(h[1], 1);
      EXPECT_EQ(frame.Zoom(), 1);
      EXPECT_EQ(frame.SectionMatrix()[3], 0);
      EXPECT_EQ(frame.SectionDepth(), 0);
    } else {
      EXPECT_EQ(h[1], 0.75);
      EXPECT_EQ(frame.Zoom(), 2);
      EXPECT_EQ(frame.SectionMatrix()[3], -1);
      EXPECT_EQ(frame.SectionDepth(), 0.25);
    }
    EXPECT_EQ(frame.OffsetX(), 5);
    // An offset far out of sight is held where the picture centre stays a
    // number of pixels the drawing takes.
    EXPECT_LE(frame.OffsetY(), 1000000);
  }
}

// The arrays of the cell information window, chosen in "Массивы".
TEST_F(SectionWindowTest, TheInformationWindowListsTheChosenArrays)
{
  TFArray3DInfo* info = new TFArray3DInfo(main.get(), nullptr);
  info->SetGIS(main->Gis());
  main->AddView(info);
  ProcessPostedEvents();
  std::vector<std::pair<QString, int32_t>> volumes;
  for (int n = 0; TGObj* object = main->Gis()->GetObjectOfType(n, ObjectTypeArray3D); ++n)
    volumes.emplace_back(QString::fromStdString(object->GetName()), object->GetId());
  ASSERT_GE(volumes.size(), 2u);
  info->SetPoints(volumes[1].second, {{0, 0, 0}});

  const struct {
    std::vector<int> check; // list rows to check; none: OK with nothing checked
    int answer;
    bool firstOnly; // nothing checked: the first of the list
  } cases[] = {
      {{0, 2}, QDialog::Accepted, false},
      {{1}, QDialog::Rejected, false},
      {{}, QDialog::Accepted, true},
  };
  for (const auto& c : cases) {
    std::vector<int32_t> expected = info->ArrayIds();
    QStringList names;
    std::vector<int32_t> shownChecked;
    calls.edit = [&](QDialog* dialog) {
      auto* select = static_cast<TFArray3DSelect*>(dialog);
      select->FormActivate();
      std::vector<int32_t> chosen;
      for (int row = 0; row < select->CBarrays->count(); ++row) {
        QListWidgetItem* item = select->CBarrays->item(row);
        names << item->text();
        if (item->checkState() == Qt::Checked)
          shownChecked.push_back(item->data(Qt::UserRole).toInt());
        const bool check = std::find(c.check.begin(), c.check.end(), row) != c.check.end();
        item->setCheckState(check ? Qt::Checked : Qt::Unchecked);
        if (check || (c.firstOnly && row == 0))
          chosen.push_back(item->data(Qt::UserRole).toInt());
      }
      if (c.answer == QDialog::Accepted) {
        select->BokClick();
        expected = chosen;
      }
    };
    calls.dialogAnswers.push_back(c.answer);
    const std::vector<int32_t> listed = info->ArrayIds();
    QTest::mouseDClick(info->SGdata->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    calls.edit = nullptr;
    // Every regular volume once, by name; the listed ones checked.
    EXPECT_EQ(names.size(), static_cast<int>(volumes.size()));
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.toLower() < b.toLower(); });
    EXPECT_EQ(names, sorted);
    std::vector<int32_t> listedSorted = listed, shownSorted = shownChecked;
    std::sort(listedSorted.begin(), listedSorted.end());
    std::sort(shownSorted.begin(), shownSorted.end());
    EXPECT_EQ(shownSorted, listedSorted);
    EXPECT_EQ(info->ArrayIds(), expected);
    EXPECT_EQ(info->SGdata->rowCount(), static_cast<int>(expected.size()));
  }

  // A project without regular volumes: OK on the empty list keeps the choice.
  TGIS empty;
  info->SetGIS(&empty);
  const std::vector<int32_t> kept = info->ArrayIds();
  int shown = -1;
  calls.edit = [&](QDialog* dialog) {
    auto* select = static_cast<TFArray3DSelect*>(dialog);
    select->FormActivate();
    shown = select->CBarrays->count();
    select->BokClick();
  };
  calls.dialogAnswers.push_back(QDialog::Accepted);
  info->SGdataClick();
  calls.edit = nullptr;
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(info->ArrayIds(), kept);
  info->SetGIS(main->Gis());
}

} // namespace
