// The mesh window of triangulated arrays, opened by the "Данные" button of
// their frames.
#include "MapsTestSupport.h"

#include "../../common/gis/MeshSourceSupport.h"
#include "gis/GArrayI3D.h"
#include "maps/FormGridInfo.h"
#include "maps/FormTriangleSelect.h"

#include <QApplication>
#include <QMouseEvent>

#include <QPlainTextEdit>
#include <QSpinBox>

namespace {

using namespace mapstest;

class GridInfoTest : public TMapsFixture {
protected:
  GridInfoTest()
  {
    gis.SetTransform(0, 0, 100, 200);
    source = Add(std::make_unique<meshtest::TTestMeshSource>(&gis), "S");
  }
  ~GridInfoTest() override { DestroyGridInfo(); }

  template <class Array>
  Array* AddMeshArray(int location, const std::string& name)
  {
    return Add(std::make_unique<Array>(&gis, source->GetId(), location, 0), name);
  }

  // Opens the window through the array's frame; `look` runs while it is shown.
  void Open(TGObj& array, const std::function<void(TFGridInfo&)>& look)
  {
    bool shown = false;
    OpenDataThroughFrame<TFGridInfo>(acting, array, [&](TFGridInfo& window) {
      shown = true;
      look(window);
      return 1;
    }, nullptr);
    EXPECT_TRUE(shown);
  }

  static QString Text(QTableWidget* grid, int row, int col)
  {
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
  }

  static QStringList Headers(QTableWidget* grid)
  {
    QStringList headers;
    for (int c = 0; c < grid->columnCount(); ++c)
      headers << grid->horizontalHeaderItem(c)->text();
    return headers;
  }

  QString WorldX(double u, double v)
  {
    double X = 0, Y = 0;
    gis.RelativeToWorld(u, v, X, Y);
    return QString::number(X, 'g', 6);
  }
  QString WorldY(double u, double v)
  {
    double X = 0, Y = 0;
    gis.RelativeToWorld(u, v, X, Y);
    return QString::number(Y, 'g', 6);
  }
  QString WorldZ(double w)
  {
    gis.RelativeToWorldZ(w);
    return QString::number(w, 'g', 6);
  }

  TActingCalls acting;
  TModalCallsScope actingInstalled{acting};
  meshtest::TTestMeshSource* source = nullptr;
};

TEST_F(GridInfoTest, LayeredArrayListsTheMeshThePrismsAndTheNodeValues)
{
  auto* array = AddMeshArray<TGArrayI3D>(ValuesAtNodes, "L");
  std::vector<double> values;
  for (int n = 0; n < 12; ++n)
    values.push_back(10 + n);
  array->SetData(values.data());
  Open(*array, [&](TFGridInfo& window) {
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral(", "))) << window.windowTitle().toStdString();
    EXPECT_TRUE(window.windowTitle().contains(QStringLiteral(": S, ") + QString::fromStdString(array->GetTypeName()) + QStringLiteral(": L")));
    const QStringList info = window.Minfo->toPlainText().split('\n');
    EXPECT_EQ(info, QStringList({QString::fromUtf8("плановых   узлов: 4"), QString::fromUtf8("плановых  треуг.: 2"),
                                 QString::fromUtf8("узол  по  объему: 12"), QString::fromUtf8("призм. элементов: 3"),
                                 QString::fromUtf8("призм. элементов"), QString::fromUtf8("  на треугольник:"),
                                 QString::fromUtf8("       мин. : 1"), QString::fromUtf8("       макс.: 2"),
                                 QString::fromUtf8("       сред.: 1.5")}));
    EXPECT_EQ(window.Etriangle->maximum(), 1);
    // Triangle 0: nodes 0, 1, 2 in world coordinates; a layered array has no plane "data" column.
    EXPECT_EQ(Headers(window.SGtr), QStringList({"N", QString::fromUtf8("узел"), "x", "y"}));
    EXPECT_EQ(Text(window.SGtr, 1, 1), "1");
    EXPECT_EQ(Text(window.SGtr, 1, 2), WorldX(1, 0));
    EXPECT_EQ(Text(window.SGtr, 2, 3), WorldY(1, 1));
    EXPECT_EQ(Headers(window.SGpr), QStringList({"N", QString::fromUtf8("призма"), QString::fromUtf8("гориз."), "z1",
                                                 "z2", "z3", "data1", "data2", "data3"}));
    ASSERT_EQ(window.SGpr->rowCount(), 3); // two prisms and the empty row
    struct Row {
      QString number, prism, layer, z1, data1, data3;
      QColor background;
    };
    const std::vector<Row> rows = {
        {"1", "0", "A", WorldZ(0), "10", "16", QColor(0xFF, 0xFF, 0xFF)},
        {"2", "1", "B", WorldZ(0.5), "11", "17", QColor(0xE0, 0xE0, 0xE0)},
    };
    for (size_t r = 0; r < rows.size(); ++r) {
      const int row = static_cast<int>(r);
      EXPECT_EQ(Text(window.SGpr, row, 0), rows[r].number) << r;
      EXPECT_EQ(Text(window.SGpr, row, 1), rows[r].prism) << r;
      EXPECT_EQ(Text(window.SGpr, row, 2), rows[r].layer) << r;
      EXPECT_EQ(Text(window.SGpr, row, 3), rows[r].z1) << r;
      EXPECT_EQ(Text(window.SGpr, row, 6), rows[r].data1) << r;
      EXPECT_EQ(Text(window.SGpr, row, 8), rows[r].data3) << r;
      EXPECT_EQ(window.SGpr->item(row, 4)->background().color(), rows[r].background) << r;
    }
    EXPECT_EQ(Text(window.SGpr, 2, 0), "");
    // The spin edit switches the triangle: triangle 1 has one prism, in layer A.
    window.Etriangle->setValue(1);
    EXPECT_EQ(Text(window.SGtr, 2, 1), "3");
    ASSERT_EQ(window.SGpr->rowCount(), 2);
    EXPECT_EQ(Text(window.SGpr, 0, 1), "2");
    EXPECT_EQ(Text(window.SGpr, 0, 2), "A");
  });
  // Looking at the mesh changes nothing.
  EXPECT_FALSE(gis.IsModified());
}

TEST_F(GridInfoTest, PlaneArrayShowsItsValuesInTheTriangleTable)
{
  struct Case {
    int location;
    QStringList data; // the "data" column of the three corners of triangle 1
  };
  const std::vector<Case> cases = {
      {ValuesAtNodes, {"5", "7", "8"}},
      {ValuesPerElement, {"21", "", ""}},
  };
  for (const Case& c : cases) {
    auto* array = AddMeshArray<TGArrayI>(c.location, "P");
    const std::vector<double> values =
        c.location == ValuesAtNodes ? std::vector<double>{5, 6, 7, 8} : std::vector<double>{20, 21};
    array->SetData(const_cast<double*>(values.data()));
    Open(*array, [&](TFGridInfo& window) {
      window.Etriangle->setValue(1);
      ASSERT_EQ(Headers(window.SGtr), QStringList({"N", QString::fromUtf8("узел"), "x", "y", "data"}));
      for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Text(window.SGtr, row, 4), c.data[row]) << c.location << " " << row;
      // Prisms are listed without a value column for a plane array.
      EXPECT_EQ(window.SGpr->columnCount(), 6);
    });
  }
}

TEST_F(GridInfoTest, PrismCountsPerTriangleAndAMeshWithoutTriangles)
{
  struct Case {
    std::vector<int32_t> ranges;
    QString smallest, largest, mean;
  };
  const std::vector<Case> cases = {
      {{0, 3, 6, 11, 12}, "1", "5", "3"},
      {{0, 3, 6, 10}, "3", "4", "3.33"},
      {{0}, "0", "0", "0"}, // no triangles: nothing to divide by
  };
  auto* array = AddMeshArray<TGArrayI3D>(ValuesAtNodes, "L");
  const TIrregularMesh kept = source->mesh;
  for (const Case& c : cases) {
    source->mesh.triangleCount = static_cast<int32_t>(c.ranges.size()) - 1;
    source->mesh.prismRanges = const_cast<int32_t*>(c.ranges.data());
    source->mesh.surfacePrisms = nullptr; // the layers of these counts are not built
    Open(*array, [&](TFGridInfo& window) {
      const QStringList info = window.Minfo->toPlainText().split('\n');
      ASSERT_EQ(info.size(), 9);
      EXPECT_EQ(info[6], QString::fromUtf8("       мин. : ") + c.smallest);
      EXPECT_EQ(info[7], QString::fromUtf8("       макс.: ") + c.largest);
      EXPECT_EQ(info[8], QString::fromUtf8("       сред.: ") + c.mean);
      if (c.ranges.size() == 1) {
        EXPECT_EQ(window.Etriangle->maximum(), 0);
        EXPECT_EQ(window.SGtr->rowCount() > 0 ? Text(window.SGtr, 0, 0) : QString(), "");
        EXPECT_EQ(window.SGpr->rowCount(), 1);
        EXPECT_EQ(Text(window.SGpr, 0, 0), "");
      }
    });
  }
  source->mesh = kept;
}

void Mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
  QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

void Click(QWidget* target, QPoint at)
{
  Mouse(target, QEvent::MouseButtonPress, at, Qt::LeftButton);
  Mouse(target, QEvent::MouseButtonRelease, at, Qt::NoButton);
}

// Opens the picker from the mesh window; `pick` runs while it is shown.
void Pick(TActingCalls& acting, TFGridInfo& window, const std::function<void(TFTriangleSelect&)>& pick)
{
  const auto outer = acting.onExec;
  acting.onExec = [&](QDialog* dialog) {
    auto* picker = dynamic_cast<TFTriangleSelect*>(dialog);
    EXPECT_NE(picker, nullptr);
    if (picker) {
      picker->Image->resize(100, 100);
      picker->Redraw();
      pick(*picker);
    }
    return 2; // closed with the title-bar button
  };
  window.Bselect->click();
  acting.onExec = outer;
}

TEST_F(GridInfoTest, PickerClickFollowsInTheSpinEditAndDragsOnlyPan)
{
  auto* array = AddMeshArray<TGArrayI3D>(ValuesAtNodes, "L");
  // Triangle 0 lies above the diagonal of the square's picture (y grows downwards), triangle 1 below it.
  Open(*array, [&](TFGridInfo& window) {
    Pick(acting, window, [&](TFTriangleSelect& picker) {
      EXPECT_EQ(picker.Selected, 0);
      Click(picker.Image, QPoint(20, 80));
      EXPECT_EQ(picker.Selected, 1);
      EXPECT_EQ(window.Etriangle->value(), 1);
      EXPECT_EQ(window.SGpr->rowCount(), 2); // the window followed at once
      EXPECT_EQ(picker.Picture.pixelColor(20, 80), QColor(0x00, 0xC0, 0x00));
      EXPECT_EQ(picker.Picture.pixelColor(80, 20), QColor(Qt::white));
      // A drag pans by the distance and never selects.
      Mouse(picker.Image, QEvent::MouseButtonPress, QPoint(80, 20), Qt::LeftButton);
      Mouse(picker.Image, QEvent::MouseMove, QPoint(40, 20), Qt::LeftButton);
      Mouse(picker.Image, QEvent::MouseButtonRelease, QPoint(40, 20), Qt::NoButton);
      EXPECT_DOUBLE_EQ(picker.PanX, 0.4);
      EXPECT_EQ(picker.Selected, 1);
      // Zoomed out, a click beside the mesh changes nothing.
      picker.PanX = 0;
      picker.Bzoomout->click();
      Click(picker.Image, QPoint(5, 5));
      EXPECT_EQ(picker.Selected, 1);
      EXPECT_EQ(window.Etriangle->value(), 1);
    });
    EXPECT_EQ(window.Etriangle->value(), 1);
  });
}

TEST_F(GridInfoTest, PickerZoomAndPanMoveTheVisibleWindow)
{
  auto* array = AddMeshArray<TGArrayI3D>(ValuesAtNodes, "L");
  struct Step {
    QPushButton* TFTriangleSelect::*button;
    double x1, x2, y1, y2;
  };
  const std::vector<Step> steps = {
      {&TFTriangleSelect::Bzoomin, 0.25, 0.75, 0.25, 0.75},
      {&TFTriangleSelect::Bzoomin, 0.375, 0.625, 0.375, 0.625},
      {&TFTriangleSelect::Bright, 0.5, 0.75, 0.375, 0.625},
      {&TFTriangleSelect::Bdn, 0.5, 0.75, 0.5, 0.75},
      {&TFTriangleSelect::Bleft, 0.375, 0.625, 0.5, 0.75},
      {&TFTriangleSelect::Bup, 0.375, 0.625, 0.375, 0.625},
      {&TFTriangleSelect::Bzoomout, 0.25, 0.75, 0.25, 0.75},
  };
  Open(*array, [&](TFGridInfo& window) {
    Pick(acting, window, [&](TFTriangleSelect& picker) {
      picker.Zoom = 1;
      picker.PanX = picker.PanY = 0;
      for (size_t i = 0; i < steps.size(); ++i) {
        (picker.*(steps[i].button))->click();
        const TFTriangleSelect::TWindow shown = picker.VisibleWindow();
        EXPECT_DOUBLE_EQ(shown.x1, steps[i].x1) << i;
        EXPECT_DOUBLE_EQ(shown.x2, steps[i].x2) << i;
        EXPECT_DOUBLE_EQ(shown.y1, steps[i].y1) << i;
        EXPECT_DOUBLE_EQ(shown.y2, steps[i].y2) << i;
      }
    });
  });
}

} // namespace
