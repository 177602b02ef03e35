// Data menus built from the tree paths of GIS objects.
#include "base/Gisutils.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

QStringList Captions(const QMenu* menu)
{
  QStringList captions;
  for (const QAction* item : menu->actions())
    captions.append(item->text());
  return captions;
}

QStringList Path(const char* a, const char* b = nullptr, const char* c = nullptr)
{
  QStringList path = {QString::fromUtf8(a)};
  for (const char* more : {b, c})
    if (more)
      path.append(QString::fromUtf8(more));
  return path;
}

TEST(Gisutils, PathsSharingALevelMeetInOneSubmenu)
{
  QMenu root;
  QAction* first = AddMenuItemsFromList(&root, Path("Массивы", "Поле"), 11);
  QAction* second = AddMenuItemsFromList(&root, Path("Массивы", "Заряд"), 12);
  ASSERT_EQ(root.actions().size(), 1);
  QMenu* arrays = root.actions().first()->menu();
  ASSERT_NE(arrays, nullptr);
  EXPECT_EQ(Captions(arrays), Path("Заряд", "Поле"));
  EXPECT_EQ(first->data().toInt(), 11);
  EXPECT_EQ(second->data().toInt(), 12);
  EXPECT_EQ(second->parent(), arrays);
}

TEST(Gisutils, SubmenusFirstThenLeavesEachInCodePageOrder)
{
  QMenu root;
  AddMenuItemsFromList(&root, Path("Яма"), 1);
  AddMenuItemsFromList(&root, Path("Ель"), 2);
  AddMenuItemsFromList(&root, Path("Ёж"), 3);
  AddMenuItemsFromList(&root, Path("ёлка"), 4);
  AddMenuItemsFromList(&root, Path("Б", "лист"), 5);
  AddMenuItemsFromList(&root, Path("А", "лист"), 6);
  AddMenuItemsFromList(&root, Path("z"), 7);
  // Code page 1251 puts Ё (A8) and ё (B8) before the other letters (C0..FF);
  // Latin letters come before all of them.
  EXPECT_EQ(Captions(&root), QStringList({"А", "Б", "z", "Ёж", "ёлка", "Ель", "Яма"}));
  EXPECT_NE(root.actions()[0]->menu(), nullptr);
  EXPECT_EQ(root.actions()[2]->menu(), nullptr);
}

TEST(Gisutils, LastLevelAlwaysMakesANewLeaf)
{
  QMenu root;
  AddMenuItemsFromList(&root, Path("Поле"), 1);
  QAction* again = AddMenuItemsFromList(&root, Path("Поле"), 2);
  EXPECT_EQ(root.actions().size(), 2);
  EXPECT_EQ(again->data().toInt(), 2);
  EXPECT_EQ(AddMenuItemsFromList(&root, QStringList(), 3), nullptr);
}

} // namespace
