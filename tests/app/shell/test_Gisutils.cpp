// Data menus built from the tree paths of GIS objects.
#include "base/Gisutils.h"

#include "gis/GArray.h"
#include "gis/GIS.h"
#include "gis/GPoint.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList Captions(const QMenu* menu)
{
  QStringList captions;
  for (const QAction* item : menu->actions())
    captions.append(item->text());
  return captions;
}

// Objects of one GIS whose tree paths the menus follow: a point's path is its
// plural type name and its name, an array's its type, then its value names.
class GisutilsMenus : public ::testing::Test {
protected:
  const TGObj& Point(const char* name)
  {
    auto point = std::make_unique<TGPoint>(&gis);
    point->SetName(name);
    TGObj& added = *point;
    gis.AddObject(nullptr, std::move(point), true);
    return added;
  }
  const TGObj& Array(std::vector<std::string> valueNames)
  {
    auto array = std::make_unique<TGArray>(&gis, 2, 2, 0);
    array->SetName("массив");
    array->SetLevelNames(&valueNames);
    TGObj& added = *array;
    gis.AddObject(nullptr, std::move(array), true);
    return added;
  }

  TGIS gis;
  QMenu root;
};

TEST_F(GisutilsMenus, PathsSharingALevelMeetInOneSubmenuFromTheFirstLevelAsked)
{
  const TGObj& field = Array({"Электрические", "Поле"});
  const TGObj& charge = Array({"Электрические", "Заряд"});
  QAction* first = AddMenuItemsFromList(&root, field, 1);
  QAction* second = AddMenuItemsFromList(&root, charge, 1);
  ASSERT_EQ(Captions(&root), QStringList{QString::fromUtf8("Электрические")});
  QMenu* group = root.actions().first()->menu();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(Captions(group), QStringList({"Заряд", "Поле"}));
  EXPECT_EQ(first->data().toInt(), field.GetId());
  EXPECT_EQ(second->data().toInt(), charge.GetId());
  EXPECT_EQ(second->parent(), group);

  // From level 0 the path starts with the plural type name.
  QMenu fromTop;
  AddMenuItemsFromList(&fromTop, field, 0);
  ASSERT_EQ(Captions(&fromTop), QStringList{QString::fromStdString(field.GetTreePathText(0))});
  ASSERT_NE(fromTop.actions().first()->menu(), nullptr);
  EXPECT_EQ(Captions(fromTop.actions().first()->menu()), QStringList{QString::fromUtf8("Электрические")});
}

TEST_F(GisutilsMenus, SubmenusFirstThenLeavesEachInCodePageOrder)
{
  for (const char* name : {"Яма", "Ель", "Ёж", "ёлка"})
    AddMenuItemsFromList(&root, Point(name), 1);
  AddMenuItemsFromList(&root, Array({"Б", "лист"}), 1);
  AddMenuItemsFromList(&root, Array({"А", "лист"}), 1);
  AddMenuItemsFromList(&root, Point("z"), 1);
  // Code page 1251 puts Ё (A8) and ё (B8) before the other letters (C0..FF);
  // Latin letters come before all of them.
  EXPECT_EQ(Captions(&root), QStringList({"А", "Б", "z", "Ёж", "ёлка", "Ель", "Яма"}));
  EXPECT_NE(root.actions()[0]->menu(), nullptr);
  EXPECT_EQ(root.actions()[2]->menu(), nullptr);
}

TEST_F(GisutilsMenus, LastLevelAlwaysMakesANewLeaf)
{
  AddMenuItemsFromList(&root, Point("Поле"), 1);
  const TGObj& twin = Point("Поле");
  QAction* again = AddMenuItemsFromList(&root, twin, 1);
  EXPECT_EQ(root.actions().size(), 2);
  EXPECT_EQ(again->data().toInt(), twin.GetId());
  EXPECT_EQ(AddMenuItemsFromList(&root, twin, twin.GetTreePathLength()), nullptr);
  EXPECT_EQ(root.actions().size(), 2);
}

} // namespace
