#pragma once
// Helpers of the project-file and calculation tests: the breakdown model on a
// small lattice with a needle electrode (it breaks down in a few hundred
// steps), view windows of every kind that record what reaches them, and the
// unpacked image of a project file.

#include "support/ShellTestSupport.h"

#include "data/PackedFile.h"
#include "data/TagStream.h"
#include "model/FormBitModel.h"
#include "model/TempFileName.h"
#include "shell/BitModelWindowMaker.h"
#include "shell/ProjectFileStore.h"
#include "base/FormGisView.h"
#include "base/ModelView.h"
#include "base/ScriptedModalCalls.h"
#include "model/dialogs/ModelDialogCommands.h"
#include "../model/dialogs/ActingModalCalls.h"

#include <korvane.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace projecttest {

// A 7 x 10 x 7 lattice with a needle from the middle of the lower plate
// through half the gap; growth without chance.
inline void SetUpNeedle(THeap& h, int side = 7, int height = 10)
{
  THeapSetLatticeSize(&h, side, height, side);
  h.GrowthType = 1;
  const int c = side / 2;
  for (int i2 = 1; i2 <= height / 2; ++i2)
    h.ElectrodeCodes[c + side * (c + side * i2)] = -3.0;
}

inline std::unique_ptr<TFModel> MakeNeedleModel()
{
  auto model = std::make_unique<TFBitModel>();
  SetUpNeedle(*model->GetEngine());
  model->UpdateLatticeSize();
  return model;
}

// New projects get the needle model: no parameter dialog, the lattice's geo
// reference and layers, the potential drawing of the real maker.
class TNeedleModelMaker : public TModelWindowMaker {
public:
  std::unique_ptr<TFModel> CreateModel(TFMain&) override { return MakeNeedleModel(); }
  void SetUpNewProject(TFMain& main) override
  {
    TBitModelWindowMaker::ApplyGeoReference(main);
    if (auto* model = dynamic_cast<TFBitModel*>(main.Model())) {
      model->UpdateLatticeSize();
      model->SetSaveFlags(0);
    }
  }
  void FinishNewProject(TFMain& main) override { TBitModelWindowMaker().FinishNewProject(main); }
};

// A view window of any kind that stores a note of its own and counts what the
// main window tells it. It reads the model on every notice, so a notice that
// reached it with a destroyed model would be caught by the sanitizer.
class TFakeView : public TFGisView, public TModelView {
public:
  TFakeView(TFMain* main, int kind, TFModel* model = nullptr) : TFGisView(main, nullptr), model(model)
  {
    SetTag(kind);
  }

  void SaveToStream(TTagStream* stream) override
  {
    if (failSave)
      throw EStreamError("no space left on the device"); // a disk that fills during the save
    TFGisView::SaveToStream(stream);
    stream->SetGroup(5000 + Tag());
    stream->WriteString(note);
    stream->WriteInt(number);
  }
  void LoadFromStream(TTagStream* stream) override
  {
    TFGisView::LoadFromStream(stream);
    stream->SetGroup(5000 + Tag());
    stream->Read(note);
    stream->Read(number);
  }
  void Refresh() override
  {
    ++refreshes;
    if (model)
      lastState = model->GetState();
    TFGisView::Refresh();
  }
  void CopyToClipboard() override {}
  void SaveBitmap(const QString&) override {}
  void ObjectAdded(void*, int32_t) override
  {
    ++added;
    if (model)
      lastState = model->GetState();
  }
  void ObjectDeleted(void*, int32_t) override { ++deleted; }
  void SetModel(TFModel* m) override { model = m; }

  TFModel* model;
  std::string note;
  int32_t number = 0;
  int refreshes = 0;
  int added = 0;
  int deleted = 0;
  int lastState = -1;
  bool failSave = false;
};

inline void RegisterFakeViews(TViewFactory& factory)
{
  for (int kind : {104, 5, 9, 10, 11, 110, 209, 1104})
    factory.Register(kind, [kind](TFMain& main, TFModel* model) { return new TFakeView(&main, kind, model); });
}

inline TFakeView* AddFakeView(TFMain& main, int kind, const std::string& note, int32_t number)
{
  auto* view = new TFakeView(&main, kind, main.Model());
  view->note = note;
  view->number = number;
  main.AddView(view);
  return view;
}

inline std::vector<uint8_t> ReadBytes(const QString& path)
{
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  QByteArray bytes = f.readAll();
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline void WriteBytes(const QString& path, const std::vector<uint8_t>& bytes)
{
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

// The plain image inside a packed project file (empty when it does not unpack).
inline std::vector<uint8_t> UnpackedImage(const QString& path)
{
  std::string temp = MakeTempFileName();
  std::vector<uint8_t> image;
  if (LzhUnpackFile(path.toStdString(), temp, "%GMFPK"))
    image = ReadBytes(QString::fromStdString(temp));
  std::remove(temp.c_str());
  return image;
}

// Lets the event loop wait for events, so the worker's sends are served the
// moment they arrive.
inline bool ServeUntil(const std::function<bool()>& done, int milliseconds = 30000)
{
  QTimer tick;
  tick.start(20);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!done() && std::chrono::steady_clock::now() < end)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return done();
}

// A shown main window with the real project files, the needle model, the fake
// views and scripted modal calls; a folder for the files of the test.
class ProjectWindowTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ASSERT_TRUE(dir.isValid());
    RegisterFakeViews(store.Views());
    StartMain();
  }
  // A main window of a program just started, on the test's project files.
  void StartMain()
  {
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&store);
    main->SetModelWindowMaker(&maker);
    main->resize(900, 600);
    main->show();
    ProcessPostedEvents();
  }
  void TearDown() override
  {
    main.reset();
    ProcessPostedEvents();
  }

  QTemporaryDir dir;
  TScriptedModalCalls calls;
  TModalCallsScope scope{calls};
  TProjectFileStore store;
  TNeedleModelMaker maker;
  std::unique_ptr<TFMain> main;
};

// A new project of the needle model in a main window that is not shown, with
// the model's dialogs; the test acts while a dialog is "shown".
class ModelDialogsTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    CreateModelDialogs(&dialogOwner);
    main = std::make_unique<TFMain>(QStringList());
    main->SetProjectFiles(&store);
    main->SetModelWindowMaker(&maker);
    main->MINewClick();
    ASSERT_NE(main->Model(), nullptr);
  }
  void TearDown() override
  {
    main.reset();
    ProcessPostedEvents();
    ForgetModelDialogs();
  }

  QWidget dialogOwner;
  TActingModalCalls calls;
  TModalCallsScope scope{calls};
  TProjectFileStore store;
  TNeedleModelMaker maker;
  std::unique_ptr<TFMain> main;
};

} // namespace projecttest
