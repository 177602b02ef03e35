// The object browser: the tree by type with its sorting, the selection of
// several nodes, the frame that follows the selected type, apply to the
// selected objects and delete with the question.
#include "MapsTestSupport.h"

#include "gis/GMap.h"
#include "gis/GMark.h"
#include "gis/GReper.h"
#include "maps/FormOBrowser.h"
#include "maps/FrameCoord.h"
#include "maps/FrameGisBrowser.h"
#include "maps/FrameMark.h"
#include "maps/FrameReper.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace mapstest;

namespace {

class OBrowserTest : public TMapsFixture {
protected:
  void SetUp() override
  {
    map = Add(std::make_unique<TGMap>(&gis), "Подложка", 0, 0, false);
    r2 = Add(std::make_unique<TGReper>(&gis), "R2", 300, 400);
    mark = Add(std::make_unique<TGMark>(&gis), "M", 50, 60);
    r1 = Add(std::make_unique<TGReper>(&gis), "R1", 10, 20);
    r1b = Add(std::make_unique<TGReper>(&gis), "R1", 30, 40);
    potential = AddArray("P", {"Электрика", "Потенциал"}, false);
    field = AddArray("E", {"Электрика", "Напряженность"}, false);
    gis.OnChange = [this](void* sender) { changeSenders.push_back(sender); };
  }
  void TearDown() override { gis.OnChange = nullptr; }

  void Open()
  {
    browser.SetGis(&gis, nullptr);
    browser.show();
  }
  QTreeWidget* Tree() const { return browser.GisBrowser->Tree; }
  QTreeWidgetItem* Node(const QStringList& path) const { return NodeAt(Tree(), path); }
  // The object node of an object: the last node on its path whose id is the object's.
  QTreeWidgetItem* NodeOf(const TGObj* object) const
  {
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it)
      if (TFmGisBrowser::NodeId(*it) == object->GetId())
        return *it;
    return nullptr;
  }
  void Select(QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
  {
    if (modifiers.testFlag(Qt::ControlModifier))
      QTest::keyPress(Tree(), Qt::Key_Control, Qt::ControlModifier);
    if (modifiers.testFlag(Qt::ShiftModifier))
      QTest::keyPress(Tree(), Qt::Key_Shift, Qt::ShiftModifier);
    Tree()->setCurrentItem(node);
    if (modifiers != Qt::NoModifier)
      QTest::keyRelease(Tree(), modifiers.testFlag(Qt::ControlModifier) ? Qt::Key_Control : Qt::Key_Shift,
                        Qt::NoModifier);
  }
  template <class Frame>
  Frame* FrameAs() const
  {
    return dynamic_cast<Frame*>(browser.Frame());
  }

  TGMap* map = nullptr;
  TGReper* r1 = nullptr;
  TGReper* r1b = nullptr;
  TGReper* r2 = nullptr;
  TGMark* mark = nullptr;
  TGArray* potential = nullptr;
  TGArray* field = nullptr;
  std::vector<void*> changeSenders;
  TFOBrowser browser;
};

TEST_F(OBrowserTest, TreeGroupsObjectsByTypeInKeyOrder)
{
  Open();
  // The map came first and took the first place; later groups still sort by type code.
  EXPECT_EQ(Captions(Tree()), QStringList({"Реперы", "Метки", "Массивы", "Карты"}));
  // Objects of one name get a node each.
  EXPECT_EQ(Captions(Tree(), Node({"Реперы"})), QStringList({"R1", "R1", "R2"}));
  // Arrays of one category share its group; quantities sort by name.
  EXPECT_EQ(Captions(Tree(), Node({"Массивы"})), QStringList({"Электрика"}));
  EXPECT_EQ(Captions(Tree(), Node({"Массивы", "Электрика"})), QStringList({"Напряженность", "Потенциал"}));
  QTreeWidgetItem* group = Node({"Реперы"});
  EXPECT_EQ(TFmGisBrowser::NodeId(group), TFmGisBrowser::GroupNodeMarker);
  EXPECT_EQ(TFmGisBrowser::NodeImage(group), TFmGisBrowser::GroupImage);
  QTreeWidgetItem* quantity = Node({"Массивы", "Электрика", "Потенциал"});
  EXPECT_EQ(TFmGisBrowser::NodeId(quantity), potential->GetId());
  EXPECT_EQ(TFmGisBrowser::NodeImage(quantity), TFmGisBrowser::ObjectImage);
  EXPECT_EQ(Tree()->currentItem(), nullptr);
  EXPECT_TRUE(browser.LIntro->isVisible());
}

TEST_F(OBrowserTest, EmptyGisShowsAnEmptyTree)
{
  TGIS empty;
  browser.SetGis(&empty, nullptr);
  browser.show();
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
}

TEST_F(OBrowserTest, CtrlTogglesAndShiftTakesARunOfSiblings)
{
  Open();
  const QList<QTreeWidgetItem*>& selection = browser.GisBrowser->Selection();
  QTreeWidgetItem* reperGroup = Node({"Реперы"});
  Select(reperGroup->child(0));
  Select(reperGroup->child(2), Qt::ControlModifier);
  EXPECT_EQ(selection, QList<QTreeWidgetItem*>({reperGroup->child(0), reperGroup->child(2)}));
  // Listed nodes are drawn on navy when current, on silver otherwise.
  EXPECT_EQ(reperGroup->child(2)->background(0).color(), QColor(0x00, 0x00, 0x80));
  EXPECT_EQ(reperGroup->child(0)->background(0).color(), QColor(0xC0, 0xC0, 0xC0));
  EXPECT_EQ(reperGroup->child(1)->background(0).color(), QColor(Qt::white));
  Select(reperGroup->child(0), Qt::ControlModifier);
  EXPECT_EQ(selection, QList<QTreeWidgetItem*>({reperGroup->child(2)}));
  // The run goes from the anchor towards the new node, both included.
  Select(reperGroup->child(1), Qt::ShiftModifier);
  EXPECT_EQ(selection, QList<QTreeWidgetItem*>({reperGroup->child(2), reperGroup->child(1)}));
  Select(reperGroup->child(0), Qt::ShiftModifier);
  EXPECT_EQ(selection, QList<QTreeWidgetItem*>({reperGroup->child(2), reperGroup->child(1), reperGroup->child(0)}));
  // Under another parent the new node alone is selected.
  Select(NodeOf(mark), Qt::ShiftModifier);
  EXPECT_EQ(selection, QList<QTreeWidgetItem*>({NodeOf(mark)}));
}

TEST_F(OBrowserTest, CtrlClickOnTheSelectedNodeTakesItOutOfTheSelection)
{
  Open();
  QTreeWidgetItem* reperGroup = Node({"Реперы"});
  Tree()->expandAll();
  const auto click = [this](QTreeWidgetItem* node, Qt::KeyboardModifiers modifiers) {
    if (modifiers != Qt::NoModifier)
      QTest::keyPress(Tree(), Qt::Key_Control, Qt::ControlModifier);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, Tree()->visualItemRect(node).center());
  };
  click(reperGroup->child(0), Qt::NoModifier);
  click(reperGroup->child(1), Qt::ControlModifier);
  ASSERT_EQ(browser.GisBrowser->Selection().size(), 2);
  click(reperGroup->child(1), Qt::ControlModifier);
  EXPECT_EQ(browser.GisBrowser->Selection(), QList<QTreeWidgetItem*>({reperGroup->child(0)}));
}

TEST_F(OBrowserTest, OneFrameServesObjectsOfOneTypeAndGoesWithAGroup)
{
  Open();
  Select(NodeOf(r1));
  auto* frame = FrameAs<TFmReper>();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->parentWidget(), &browser);
  EXPECT_EQ(frame->Ecaption->text(), "R1");
  EXPECT_EQ(browser.Lobject->text(), "Репер:");
  EXPECT_EQ(browser.Lname->text(), "R1");
  EXPECT_TRUE(browser.Bapplay->isEnabled());
  Select(NodeOf(r2));
  EXPECT_EQ(FrameAs<TFmReper>(), frame);
  EXPECT_EQ(frame->Ecaption->text(), "R2");
  Select(NodeOf(mark));
  EXPECT_NE(FrameAs<TFmMark>(), nullptr);
  Select(Node({"Реперы"}));
  EXPECT_EQ(browser.Frame(), nullptr);
  EXPECT_TRUE(browser.LIntro->isVisible());
  EXPECT_TRUE(browser.Lobject->text().isEmpty());
  EXPECT_FALSE(browser.Bapplay->isEnabled());
}

TEST_F(OBrowserTest, ApplyWritesOnlyTheTouchedGroupIntoEverySelectedObject)
{
  r1->SetShowName(true);
  r2->SetShowName(false);
  Open();
  QTreeWidgetItem* reperGroup = Node({"Реперы"});
  Select(reperGroup->child(0));
  Select(reperGroup->child(2), Qt::ShiftModifier);
  auto* frame = FrameAs<TFmReper>();
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->IsMultiple());
  frame->Ecaption->selectAll();
  QTest::keyClicks(frame->Ecaption, "N");
  browser.BapplayClick();
  for (TGReper* reper : {r1, r1b, r2})
    EXPECT_EQ(reper->GetName(), "N");
  EXPECT_DOUBLE_EQ(r2->GetWorldX(), 300);
  EXPECT_DOUBLE_EQ(r2->GetWorldY(), 400);
  EXPECT_TRUE(r1->GetShowName());
  EXPECT_FALSE(r2->GetShowName());
  EXPECT_TRUE(gis.IsModified());
  EXPECT_EQ(changeSenders, std::vector<void*>({&browser}));
  // The rebuilt tree shows the new names and the object again.
  EXPECT_EQ(Captions(Tree(), Node({"Реперы"})), QStringList({"N", "N", "N"}));
  EXPECT_EQ(browser.CurrentObject(), r2);
}

TEST_F(OBrowserTest, ApplySkipsObjectsOfAnotherTypeAndWritesAllOfOneInSingleMode)
{
  Open();
  Select(NodeOf(r2));
  auto* frame = FrameAs<TFmReper>();
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->IsMultiple());
  // Single mode writes every field, touched or not.
  frame->Coords->SetPosition(111, 222);
  browser.BapplayClick();
  EXPECT_DOUBLE_EQ(r2->GetWorldX(), 111);
  EXPECT_DOUBLE_EQ(r2->GetWorldY(), 222);
  EXPECT_EQ(mark->GetName(), "M");
}

struct TDeleteCase {
  const char* name;
  QStringList path;
  bool ctrlSecond;
  const char* question;
};

class OBrowserDeleteTest : public OBrowserTest, public ::testing::WithParamInterface<TDeleteCase> {};

TEST_P(OBrowserDeleteTest, AsksInTheRightNumber)
{
  Open();
  const TDeleteCase& c = GetParam();
  Select(Node(c.path));
  if (c.ctrlSecond)
    Select(Node(c.path)->parent()->child(1), Qt::ControlModifier);
  calls.messageAnswers = {QMessageBox::No};
  browser.BdeleteClick();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].caption, "Удаление");
  EXPECT_EQ(calls.messages[0].text, QString::fromUtf8(c.question));
  EXPECT_EQ(gis.GetObjectCount(), 7);
}

INSTANTIATE_TEST_SUITE_P(Counts, OBrowserDeleteTest,
                         ::testing::Values(TDeleteCase{"OneObject", {"Метки", "M"}, false, "Удалить объект ?"},
                                           TDeleteCase{"TwoSelected", {"Реперы", "R1"}, true, "Удалить объекты ?"},
                                           // One node, but a group of three.
                                           TDeleteCase{"AGroup", {"Реперы"}, false, "Удалить объекты ?"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OBrowserTest, DeletingAGroupDeletesWhatTheGisLetsGo)
{
  Open();
  Select(NodeOf(r1));
  Select(Node({"Реперы"}));
  calls.messageAnswers = {QMessageBox::Yes, QMessageBox::Yes};
  browser.BdeleteClick();
  EXPECT_EQ(gis.CountObjectsOfType(ObjectTypeReper), 0);
  // The emptied group stays.
  ASSERT_NE(Node({"Реперы"}), nullptr);
  EXPECT_EQ(Node({"Реперы"})->childCount(), 0);
  // Model arrays are not removable: they and their nodes stay.
  Select(Node({"Массивы", "Электрика"}));
  browser.BdeleteClick();
  EXPECT_EQ(gis.GetObjectOfType(0, ObjectTypeArray), potential);
  EXPECT_EQ(Node({"Массивы", "Электрика"})->childCount(), 2);
}

TEST_F(OBrowserTest, DeletingTheShownObjectTakesItsFrameFirst)
{
  Open();
  Select(NodeOf(mark));
  ASSERT_NE(browser.Frame(), nullptr);
  calls.messageAnswers = {QMessageBox::Yes};
  browser.BdeleteClick();
  EXPECT_EQ(browser.Frame(), nullptr);
  EXPECT_EQ(gis.CountObjectsOfType(ObjectTypeMark), 0);
  EXPECT_EQ(NodeAt(Tree(), {"Метки", "M"}), nullptr);
  EXPECT_EQ(browser.CurrentObject(), nullptr);
}

TEST_F(OBrowserTest, WithNothingSelectedApplyAndDeleteAreDisabled)
{
  Open();
  EXPECT_FALSE(browser.Bapplay->isEnabled());
  EXPECT_FALSE(browser.Bdelete->isEnabled());
  QTest::keyClick(Tree(), Qt::Key_Delete);
  EXPECT_TRUE(calls.messages.empty());
  Select(NodeOf(mark));
  EXPECT_TRUE(browser.Bdelete->isEnabled());
  // The Delete key of the tree asks like the button.
  QTest::keyClick(Tree(), Qt::Key_Delete);
  EXPECT_EQ(calls.messages.size(), 1u);
}

TEST_F(OBrowserTest, ReopeningShowsTheLastObjectWithItsFrame)
{
  Open();
  Select(NodeOf(r2));
  TEditorFrame* frame = browser.Frame();
  browser.BcloseClick();
  EXPECT_EQ(browser.result(), 1);
  Open();
  EXPECT_EQ(browser.Frame(), frame);
  EXPECT_EQ(Tree()->currentItem(), NodeOf(r2));
}

TEST_F(OBrowserTest, OpensOnTheObjectItIsGiven)
{
  browser.SetGis(&gis, mark);
  browser.show();
  EXPECT_EQ(Tree()->currentItem(), NodeOf(mark));
  EXPECT_NE(FrameAs<TFmMark>(), nullptr);
  EXPECT_FALSE(browser.LIntro->isVisible());
}

TEST_F(OBrowserTest, AFrameWhoseObjectLeftTheGisIsDropped)
{
  Open();
  Select(NodeOf(r2));
  browser.hide();
  gis.DeleteObject(nullptr, r2, true);
  Open();
  EXPECT_EQ(browser.Frame(), nullptr);
  EXPECT_EQ(Tree()->currentItem(), nullptr);
  EXPECT_TRUE(browser.LIntro->isVisible());
}

TEST_F(OBrowserTest, AnotherGisOrAClosedProjectDropsTheFrame)
{
  Open();
  Select(NodeOf(r2));
  browser.hide();
  browser.ForgetGis();
  EXPECT_EQ(browser.Frame(), nullptr);
  EXPECT_EQ(Tree()->topLevelItemCount(), 0);
  Open();
  Select(NodeOf(mark));
  browser.hide();
  TGIS other;
  browser.SetGis(&other, nullptr);
  EXPECT_EQ(browser.Frame(), nullptr);
  EXPECT_EQ(browser.CurrentObject(), nullptr);
}

TEST_F(OBrowserTest, AnObjectTheCheckRefusesShowsItsFrameDisabledAndIsNotWritten)
{
  browser.SetEditableCheck([](const TGObj& object) { return object.GetTypeCode() != ObjectTypeMark; });
  Open();
  Select(NodeOf(mark));
  ASSERT_NE(browser.FrameWidget(), nullptr);
  EXPECT_FALSE(browser.FrameWidget()->isEnabled());
  EXPECT_FALSE(browser.Bapplay->isEnabled());
  FrameAs<TFmMark>()->Ecaption->setText("X");
  browser.BapplayClick();
  EXPECT_EQ(mark->GetName(), "M");
}

} // namespace
