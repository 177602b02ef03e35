// The view window bases: ids, captions, the window record and the main
// window's broadcasts.
#include "support/ShellTestSupport.h"

#include "data/Stream.h"
#include "gis/GMap.h"
#include "data/TagStream.h"
#include "base/FormGisView.h"
#include "base/ModelView.h"
#include "base/ScriptedModalCalls.h"
#include "base/WindowPlacement.h"

#include <QKeyEvent>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Every call a view receives, in order, across all views of a test.
std::vector<std::string> Journal;

class TTestView : public TFGisView, public TModelView {
public:
  TTestView(TFMain* main, int kind, const char* name) : TFGisView(main, nullptr), name(name)
  {
    SetTag(kind);
  }
  void Refresh() override
  {
    Journal.push_back(name + ".Refresh");
    TFGisView::Refresh();
  }
  void CopyToClipboard() override {}
  void SaveBitmap(const QString&) override {}
  void SetGIS(TGIS* gis) override
  {
    Journal.push_back(name + ".SetGIS");
    TFGisView::SetGIS(gis);
  }
  void ObjectAdded(void*, int32_t id) override { Journal.push_back(name + ".Added" + std::to_string(id)); }
  void ObjectDeleted(void*, int32_t id) override { Journal.push_back(name + ".Deleted" + std::to_string(id)); }
  void SetModel(TFModel* m) override
  {
    if (onSetModel)
      onSetModel();
    model = m;
    Journal.push_back(name + ".SetModel");
  }
  void ShowAutoCaption(const QString& caption) { SetAutoCaption(caption); }

  std::string name;
  TFModel* model = nullptr;
  std::function<void()> onSetModel;
};

class FormSimpleViewTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    Journal.clear();
    main = std::make_unique<TFMain>(QStringList());
    main->SetModelWindowMaker(&maker);
    main->resize(900, 700);
    main->show();
  }

  TTestView* AddView(int kind, const char* name)
  {
    auto* view = new TTestView(main.get(), kind, name);
    main->AddView(view);
    return view;
  }

  std::vector<uint8_t> Save(TFSimpleView* view)
  {
    TMemoryStream stream;
    {
      TTagStream tags(&stream, TagStreamWrite);
      view->SaveToStream(&tags);
      EXPECT_TRUE(tags.Commit());
    }
    return stream.Bytes();
  }

  void Load(TFSimpleView* view, const std::vector<uint8_t>& image)
  {
    TMemoryStream stream(image);
    TTagStream tags(&stream, TagStreamRead);
    view->LoadFromStream(&tags);
  }

  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TTestModelMaker maker;
  std::unique_ptr<TFMain> main;
};

TEST_F(FormSimpleViewTest, WindowIdsAreUniqueAndLoadingLiftsTheCounter)
{
  TTestView* a = AddView(9, "a");
  TTestView* b = AddView(9, "b");
  EXPECT_EQ(b->WindowId(), a->WindowId() + 1);
  EXPECT_EQ(TFSimpleView::NextWindowId(), b->WindowId() + 1);
  int32_t high = TFSimpleView::NextWindowId() + 5;
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    tags.SetGroup(TagGroup::ViewWindow);
    tags.WriteInt(9);
    tags.WriteString("x");
    tags.WriteBlock(nullptr, 0);
    tags.WriteInt(high);
  }
  Load(a, stream.Bytes());
  EXPECT_EQ(a->WindowId(), high);
  EXPECT_EQ(TFSimpleView::NextWindowId(), high + 1);
  TTestView* c = AddView(9, "c");
  EXPECT_EQ(c->WindowId(), high + 1);
  // A lower loaded id leaves the counter where it is.
  Load(b, stream.Bytes());
  EXPECT_EQ(TFSimpleView::NextWindowId(), high + 2);
}

TEST_F(FormSimpleViewTest, CaptionRule)
{
  TTestView* view = AddView(104, "v");
  view->setWindowTitle("start");
  view->Refresh();
  EXPECT_EQ(view->windowTitle(), "start");
  view->ShowAutoCaption(QString::fromUtf8("Объем: E"));
  view->Refresh();
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Объем: E"));
  calls.inputAnswers = {QString::fromUtf8("Мой")};
  view->PMICaption->trigger();
  EXPECT_EQ(calls.inputs.at(0).caption, QString::fromUtf8("Заголовок окна"));
  EXPECT_EQ(calls.inputs.at(0).prompt, QString::fromUtf8("введите новый заголовок"));
  EXPECT_EQ(calls.inputs.at(0).text, QString::fromUtf8("Объем: E"));
  EXPECT_EQ(view->UserCaption(), QString::fromUtf8("Мой"));
  EXPECT_TRUE(view->ViewModified());
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Мой"));
  view->Refresh();
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Мой"));

  // The typed caption sticks across save and load.
  std::vector<uint8_t> image = Save(view);
  EXPECT_FALSE(view->ViewModified());
  TTestView* other = AddView(104, "o");
  other->ShowAutoCaption("auto");
  Load(other, image);
  other->Refresh();
  EXPECT_EQ(other->windowTitle(), QString::fromUtf8("Мой"));

  // Clearing it brings the automatic caption back.
  calls.inputAnswers = {QString()};
  view->PMICaptionClick();
  EXPECT_TRUE(view->UserCaption().isEmpty());
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Объем: E"));
}

TEST_F(FormSimpleViewTest, CancelledCaptionDialogChangesNothing)
{
  TTestView* view = AddView(104, "v");
  view->ShowAutoCaption(QString::fromUtf8("Объем: E"));
  view->Refresh();
  view->PMICaptionClick(); // no answer: cancelled
  EXPECT_TRUE(view->UserCaption().isEmpty());
  EXPECT_FALSE(view->ViewModified());
  EXPECT_EQ(view->windowTitle(), QString::fromUtf8("Объем: E"));
}

TEST_F(FormSimpleViewTest, WindowRecordIsWrittenAndReadBack)
{
  TTestView* view = AddView(110, "v");
  view->setWindowTitle(QString::fromUtf8("Размерность"));
  view->SetReportTitle(QString::fromUtf8("Рисунок"));
  view->SetInReport(false);
  view->SetUserCaption(QString::fromUtf8("Мой"));
  PlacedWidget(view)->setGeometry(20, 30, 300, 200);
  std::vector<uint8_t> image = Save(view);

  TMemoryStream stream(image);
  TTagStream tags(&stream, TagStreamRead);
  tags.SetGroup(TagGroup::ViewWindow);
  EXPECT_EQ(tags.ReadInt(-1), 110);
  EXPECT_EQ(tags.ReadString(""), "Размерность");
  std::vector<uint8_t> placementBytes;
  ASSERT_TRUE(tags.ReadRawRecord(placementBytes));
  ASSERT_EQ(placementBytes.size(), 44u);
  TWindowPlacement placement;
  ASSERT_TRUE(placement.FromBytes(placementBytes));
  EXPECT_EQ(placement.length, 44);
  EXPECT_EQ(placement.showCmd, ShowNormal);
  EXPECT_EQ(placement.NormalRect(), QRect(20, 30, 300, 200));
  EXPECT_EQ(tags.ReadInt(-1), view->WindowId());
  EXPECT_EQ(tags.ReadString(""), "Рисунок");
  EXPECT_FALSE(tags.ReadBool(true));
  EXPECT_EQ(tags.ReadString(""), "Мой");

  TTestView* copy = AddView(110, "c");
  Load(copy, image);
  EXPECT_EQ(copy->windowTitle(), QString::fromUtf8("Размерность"));
  EXPECT_EQ(copy->ReportTitle(), QString::fromUtf8("Рисунок"));
  EXPECT_FALSE(copy->InReport());
  EXPECT_EQ(copy->UserCaption(), QString::fromUtf8("Мой"));
  EXPECT_EQ(copy->WindowId(), view->WindowId());
  EXPECT_EQ(PlacedWidget(copy)->geometry(), QRect(20, 30, 300, 200));
  EXPECT_FALSE(copy->ViewModified());
}

TEST_F(FormSimpleViewTest, MaximisedWindowKeepsItsNormalRectangle)
{
  TTestView* view = AddView(104, "v");
  PlacedWidget(view)->setGeometry(25, 35, 260, 180);
  PlacedWidget(view)->showMaximized();
  TWindowPlacement placement = GetWindowPlacement(view);
  EXPECT_EQ(placement.showCmd, ShowMaximized);
  EXPECT_EQ(placement.NormalRect(), QRect(25, 35, 260, 180));
  std::vector<uint8_t> image = Save(view);
  TTestView* copy = AddView(104, "c");
  Load(copy, image);
  EXPECT_TRUE(PlacedWidget(copy)->isMaximized());
  PlacedWidget(copy)->showNormal();
  EXPECT_EQ(PlacedWidget(copy)->geometry(), QRect(25, 35, 260, 180));
}

TEST_F(FormSimpleViewTest, ShortRecordLeavesTheFields)
{
  TTestView* view = AddView(9, "v");
  PlacedWidget(view)->setGeometry(40, 50, 250, 150);
  view->SetReportTitle("keep");
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    tags.SetGroup(TagGroup::ViewWindow);
    tags.WriteInt(9);
    tags.WriteString("caption");
    tags.WriteBlock("short", 5);
  }
  int32_t id = view->WindowId();
  Load(view, stream.Bytes());
  EXPECT_EQ(view->windowTitle(), "caption");
  EXPECT_EQ(PlacedWidget(view)->geometry(), QRect(40, 50, 250, 150));
  EXPECT_EQ(view->WindowId(), id);
  EXPECT_EQ(view->ReportTitle(), "keep");
  EXPECT_TRUE(view->InReport());
}

TEST_F(FormSimpleViewTest, KindComesFromTheClassNotFromTheFile)
{
  TTestView* view = AddView(104, "v");
  TMemoryStream stream;
  {
    TTagStream tags(&stream, TagStreamWrite);
    tags.SetGroup(TagGroup::ViewWindow);
    tags.WriteInt(4);
  }
  Load(view, stream.Bytes());
  EXPECT_EQ(view->Tag(), 104);
}

TEST_F(FormSimpleViewTest, GisViewSelectsItsGroupAfterTheWindowRecord)
{
  TTestView* view = AddView(14, "v");
  TMemoryStream stream;
  TTagStream tags(&stream, TagStreamWrite);
  view->SaveToStream(&tags);
  EXPECT_EQ(tags.GetGroup(), TagGroup::GisView);
  TTagStream reader(nullptr, TagStreamRead);
  view->LoadFromStream(&reader);
  EXPECT_EQ(reader.GetGroup(), TagGroup::GisView);
}

TEST_F(FormSimpleViewTest, BroadcastsGoFromTheLastChildToTheFirstSkippingKindZero)
{
  AddView(9, "a");
  AddView(0, "zero");
  AddView(110, "b");
  Journal.clear();
  main->RefreshViews();
  EXPECT_EQ(Journal, (std::vector<std::string>{"b.Refresh", "a.Refresh"}));
  Journal.clear();
  main->OnGisObjectAdded(nullptr, 7);
  main->OnGisObjectDeleted(nullptr, 8);
  EXPECT_EQ(Journal, (std::vector<std::string>{"b.Added7", "a.Added7", "b.Deleted8", "a.Deleted8"}));
}

TEST_F(FormSimpleViewTest, GisAndModelReachTheViewsAndTheOldModelGoesLast)
{
  TTestView* a = AddView(9, "a");
  AddView(0, "zero");
  TTestView* plain = AddView(5, "s");
  main->MINewClick();
  // CloseProject took the windows; new ones see the next project.
  a = AddView(9, "a");
  plain = AddView(5, "s");
  TTestView* info = AddView(1104, "i");
  Journal.clear();
  TFModel* first = main->Model();
  auto* second = new TTestModel();
  main->SetModelWindow(second);
  EXPECT_EQ(Journal, (std::vector<std::string>{"i.SetModel", "a.SetModel"}));
  EXPECT_EQ(a->model, second);
  EXPECT_EQ(info->model, second);
  EXPECT_EQ(plain->model, nullptr);
  EXPECT_EQ(second->GetHost(), main.get());
  EXPECT_NE(first, second);
  Journal.clear();
  auto* gis = new TBitGIS(nullptr);
  main->SetProjectGis(gis);
  EXPECT_EQ(Journal, (std::vector<std::string>{"i.SetGIS", "s.SetGIS", "a.SetGIS"}));
  EXPECT_EQ(a->ViewGis(), gis);
  main->SetModelWindow(nullptr);
  EXPECT_EQ(a->model, nullptr);
  EXPECT_EQ(main->Model(), nullptr);
}

TEST_F(FormSimpleViewTest, OldModelLivesUntilEveryViewHasTheNewOne)
{
  bool firstDestroyed = false;
  auto* first = new TTestModel();
  first->destroyed = &firstDestroyed;
  main->SetModelWindow(first);
  TTestView* view = AddView(209, "t");
  view->SetModel(first);
  bool oldAliveAtBroadcast = false;
  view->onSetModel = [&] { oldAliveAtBroadcast = !firstDestroyed; };
  auto* second = new TTestModel();
  main->SetModelWindow(second);
  EXPECT_TRUE(oldAliveAtBroadcast);
  EXPECT_EQ(view->model, second);
  EXPECT_TRUE(firstDestroyed);
}

TEST_F(FormSimpleViewTest, ObjectEventsOfTheGisReachTheViews)
{
  main->MINewClick();
  AddView(9, "a");
  Journal.clear();
  int32_t id = main->Gis()->AddObjectAt(nullptr, std::make_unique<TGMap>(main->Gis()), 0, 0, true);
  EXPECT_EQ(Journal, (std::vector<std::string>{"a.Added" + std::to_string(id)}));
}

TEST_F(FormSimpleViewTest, CloseProjectRemovesTheWindows)
{
  main->MINewClick();
  AddView(9, "a");
  AddView(104, "b");
  main->CloseProject();
  EXPECT_TRUE(main->Views().isEmpty());
  EXPECT_EQ(main->Gis(), nullptr);
  EXPECT_EQ(main->Model(), nullptr);
}

TEST_F(FormSimpleViewTest, KeyHookReceivesTheKeys)
{
  TTestView* view = AddView(9, "v");
  int seen = 0;
  view->SetKeyHook([&](int key, Qt::KeyboardModifiers) { seen = key; });
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F5, Qt::NoModifier);
  QCoreApplication::sendEvent(view, &press);
  EXPECT_EQ(seen, Qt::Key_F5);
}

} // namespace
