// The inspector takes the project's GIS from the main window and probes again
// when the views are refreshed.
#include "support/ProjectTestSupport.h"

#include "gis/GArray.h"
#include "gis/GIS.h"
#include "maps/FormInspector.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

using namespace projecttest;

class InspectorFollowsProjectTest : public ProjectWindowTest {
protected:
  void SetUp() override
  {
    FInspector = &inspector;
    ProjectWindowTest::SetUp();
  }
  void TearDown() override
  {
    ProjectWindowTest::TearDown();
    FInspector = nullptr;
  }

  TGArray* AddArray(double value)
  {
    auto array = std::make_unique<TGArray>(main->Gis(), 1, 1, 0);
    array->SetRelativeRect(0, 0, 1, 1);
    array->Fill(value);
    array->SetName("probe");
    TGArray* kept = array.get();
    main->Gis()->AddObject(nullptr, std::move(array), true);
    return kept;
  }

  TFInspector inspector;
};

TEST_F(InspectorFollowsProjectTest, GisOfEachProjectAndRefreshWithViews)
{
  main->MINewClick();
  ASSERT_NE(main->Gis(), nullptr);
  EXPECT_EQ(inspector.Gis(), main->Gis());
  TGArray* array = AddArray(4);
  inspector.Probe(0.5, 0.5);
  EXPECT_TRUE(inspector.Lname->text().contains("probe"));
  EXPECT_TRUE(inspector.Lvalue->text().endsWith("4\n"));

  // Without a view window a refresh leaves the inspector alone.
  array->Fill(5);
  main->RefreshViews();
  EXPECT_TRUE(inspector.Lvalue->text().endsWith("4\n"));

  AddFakeView(*main, 104, "", 0);
  main->RefreshViews();
  EXPECT_TRUE(inspector.Lvalue->text().endsWith("5\n"));

  main->CloseProject();
  EXPECT_EQ(inspector.Gis(), nullptr);
}

} // namespace
