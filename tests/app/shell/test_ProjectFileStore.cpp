// Project files with the real model: round trips in every form, view windows
// recreated by kind, damaged and hostile files refused with the open project
// left as it was, failed writes that keep the old file and the modified flags,
// and result data loaded into an open project.
#include "support/ProjectTestSupport.h"

#include "data/ByteOrder.h"
#include "data/LzhCoder.h"
#include "data/StreamPrimitives.h"
#include "gis/GArray3D.h"
#include "gis/GIS.h"
#include "gis/ObjectTypeCode.h"
#include "shell/ProjectLock.h"
#include "shell/Projectfile.h"
#include "base/ScriptedModalCalls.h"
#include "model/store/ModelPersistence.h"

#include "../../support/AllocationMeter.h"
#include "../../support/LzhBomb.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace projecttest;

namespace {

const QString FormatError = QString::fromUtf8("Неправильный формат файла");
const QString VersionError = QString::fromUtf8("Неправильная версия файла");
const QString WriteError = QString::fromUtf8("Ошибка записи в файл.");

// A disk that takes no more than 256 bytes per file while the object lives
// (the limit holds for root as well; the signal it raises is ignored, so
// writes just fail).
class TSmallFileLimit {
public:
  TSmallFileLimit() : oldHandler(std::signal(SIGXFSZ, SIG_IGN))
  {
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 256;
    active = setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~TSmallFileLimit()
  {
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
  }
  TSmallFileLimit(const TSmallFileLimit&) = delete;
  TSmallFileLimit& operator=(const TSmallFileLimit&) = delete;
  bool Active() const { return active; }

private:
  void (*oldHandler)(int);
  rlimit saved{};
  bool active = false;
};

// Runs the call on a disk that takes no more than 256 bytes per file.
template <class Call>
auto OnASmallDisk(Call call)
{
  TSmallFileLimit limit;
  EXPECT_TRUE(limit.Active());
  return call();
}

class ProjectFileTest : public ProjectWindowTest {
protected:
  QString Path(const QString& name) const { return dir.filePath(name); }

  // A new project whose model has run to its breakdown (paused there).
  void NewRunProject()
  {
    main->MINewClick();
    main->Model()->SetStopMode(TFModel::StopOnEvent);
    main->BStartClick();
    ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused; }));
    ASSERT_TRUE(main->Model()->StopConditionReached());
  }

  bool SaveAs(const QString& path)
  {
    main->UpdateCaption(path);
    return main->MISaveClick(TSaveSender::Button);
  }

  // The program ends (its locks go with it) and starts again.
  void Restart()
  {
    main.reset();
    ProcessPostedEvents();
    StartMain();
  }

  QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

  QList<int> Kinds() const
  {
    QList<int> kinds;
    for (TFSimpleView* view : main->Views())
      kinds.append(view->Tag());
    return kinds;
  }
};

TEST_F(ProjectFileTest, RunProjectWithViewsOpensEqualAndSavesTheSameImageAgain)
{
  NewRunProject();
  TFakeView* plot = AddFakeView(*main, 9, "время", 9);
  AddFakeView(*main, 104, "дерево", 104);
  AddFakeView(*main, 5, "сечение", 5);
  AddFakeView(*main, 1104, "сводка", 1104);
  main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(plot->parentWidget()));
  ASSERT_EQ(main->ActiveView(), plot);
  const double time = main->Model()->GetTime();
  const int steps = main->Model()->GetStepCount();
  const int series = main->Model()->GetSeriesCount();
  const int objects = main->Gis()->GetObjectCount();

  const QString first = Path("first.vzt");
  ASSERT_TRUE(SaveAs(first));
  std::vector<uint8_t> packed = ReadBytes(first);
  ASSERT_GT(packed.size(), 10u);
  EXPECT_EQ(std::string(packed.begin(), packed.begin() + 6), "%GMFPK");
  std::vector<uint8_t> image = UnpackedImage(first);
  ASSERT_GT(image.size(), 8u);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "%GMF");
  EXPECT_EQ(GetInt32LE(image.data() + 4), 10);
  EXPECT_EQ(GetInt32LE(packed.data() + 6), static_cast<int32_t>(image.size()));

  TFModel* before = main->Model();
  main->OpenProject(first);
  EXPECT_TRUE(calls.messages.empty());
  ASSERT_NE(main->Model(), before);
  EXPECT_EQ(main->CalcState(), CalcPaused);
  EXPECT_EQ(main->Model()->GetTime(), time);
  EXPECT_EQ(main->Model()->GetStepCount(), steps);
  EXPECT_EQ(main->Model()->GetSeriesCount(), series);
  EXPECT_EQ(main->Gis()->GetObjectCount(), objects);
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(main->Modified());
  EXPECT_FALSE(main->Gis()->IsModified());
  EXPECT_FALSE(main->Model()->IsModified());
  // Back to front as they were stacked, the time plot in front again.
  EXPECT_EQ(Kinds(), QList<int>({104, 5, 1104, 9}));
  ASSERT_NE(main->ActiveView(), nullptr);
  EXPECT_EQ(main->ActiveView()->Tag(), 9);
  for (TFSimpleView* view : main->Views()) {
    auto* fake = static_cast<TFakeView*>(view);
    EXPECT_EQ(fake->number, fake->Tag());
    EXPECT_EQ(fake->model, main->Model());
  }
  EXPECT_EQ(static_cast<TFakeView*>(main->ActiveView())->note, "время");

  const QString second = Path("second.vzt");
  ASSERT_TRUE(SaveAs(second));
  EXPECT_EQ(UnpackedImage(second), image);
}

TEST_F(ProjectFileTest, PlainAndCompressedFilesOfAnotherWriterLoadLikePackedOnes)
{
  NewRunProject();
  AddFakeView(*main, 209, "каналы", 1);
  const QString packed = Path("p.vzt");
  ASSERT_TRUE(SaveAs(packed));
  const std::vector<uint8_t> image = UnpackedImage(packed);
  ASSERT_GT(image.size(), 8u);

  // Plain: the unpacked image itself. Compressed: the same body, packed after the header.
  std::vector<uint8_t> compressed = {'%', 'G', 'M', 'Z', 10, 0, 0, 0};
  std::vector<uint8_t> coded;
  ASSERT_EQ(LzhEncodeBytes(image.data() + 8, image.size() - 8, coded), LzhOk);
  uint8_t length[4];
  PutInt32LE(length, static_cast<int32_t>(image.size() - 8));
  compressed.insert(compressed.end(), length, length + 4);
  compressed.insert(compressed.end(), coded.begin(), coded.end());
  struct TForm {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  for (const TForm& form : {TForm{"plain.vzt", image}, TForm{"compressed.vzt", compressed}}) {
    SCOPED_TRACE(form.name);
    // Beside the packed project, so its lattice side file is there too.
    QFile::copy(Path("p.hex"), Path(QString(form.name).replace(".vzt", ".hex")));
    WriteBytes(Path(form.name), form.bytes);
    TFModel* before = main->Model();
    main->OpenProject(Path(form.name));
    EXPECT_TRUE(calls.messages.empty());
    EXPECT_NE(main->Model(), before);
    EXPECT_EQ(Kinds(), QList<int>({209}));
    EXPECT_EQ(main->CalcState(), CalcPaused);
  }
}

TEST_F(ProjectFileTest, StorageModesWriteFilesTheReaderTakes)
{
  main->MINewClick();
  AddFakeView(*main, 110, "размерность", 3);
  std::vector<uint8_t> plainBody;
  // Temporary images have no name, so a killed program leaves none behind.
  QTemporaryDir temps;
  const QByteArray savedTemp = qgetenv("TMPDIR");
  qputenv("TMPDIR", temps.path().toUtf8());
  const auto tempsLeft = [&] { return QDir(temps.path()).entryList(QDir::Files | QDir::Hidden); };
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    const std::string path = Path(QString("mode%1.vzt").arg(mode)).toStdString();
    ASSERT_TRUE(WriteProjectFile(path, mode, [&](TStream& body) {
      EXPECT_EQ(tempsLeft(), QStringList());
      return TProjectFileStore::WriteBody(*main, body, path);
    }));
    {
      TOpenedProject opened;
      ASSERT_EQ(OpenProjectFile(path, opened), TProjectOpenResult::Ok);
      TProjectBodyLayout layout;
      ASSERT_TRUE(ScanProjectBody(opened.Body(), layout));
      EXPECT_EQ(layout.windowCount, 1);
      std::vector<uint8_t> body(static_cast<size_t>(opened.Body().Remaining()));
      opened.Body().ReadExact(body.data(), body.size());
      if (mode == 0)
        plainBody = body;
      EXPECT_EQ(body, plainBody);
      EXPECT_EQ(tempsLeft(), QStringList());
    }
  }
  qputenv("TMPDIR", savedTemp);
  if (savedTemp.isEmpty())
    qunsetenv("TMPDIR");
}

TEST_F(ProjectFileTest, WindowsOfKindsNotRecreatedAreSkippedAndTheRestLoad)
{
  main->MINewClick();
  AddFakeView(*main, 9, "a", 1);
  AddFakeView(*main, 12, "b", 2);
  AddFakeView(*main, 1105, "c", 3);
  AddFakeView(*main, 14, "d", 4);
  AddFakeView(*main, 209, "e", 5);
  const QString path = Path("kinds.vzt");
  ASSERT_TRUE(SaveAs(path));
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty());
  ASSERT_EQ(Kinds(), QList<int>({9, 209}));
  EXPECT_EQ(static_cast<TFakeView*>(main->Views()[1])->note, "e");
  EXPECT_EQ(static_cast<TFakeView*>(main->Views()[1])->number, 5);
}

TEST_F(ProjectFileTest, ProjectWithoutWindowsStoresTheCountZero)
{
  main->MINewClick();
  const QString path = Path("bare.vzt");
  ASSERT_TRUE(SaveAs(path));
  TOpenedProject opened;
  ASSERT_EQ(OpenProjectFile(path.toStdString(), opened), TProjectOpenResult::Ok);
  TProjectBodyLayout layout;
  ASSERT_TRUE(ScanProjectBody(opened.Body(), layout));
  EXPECT_EQ(layout.windowCount, 0);
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_TRUE(main->Views().isEmpty());
  EXPECT_EQ(main->CalcState(), CalcNotStarted);
}

// --- damaged and hostile files ---------------------------------------------------

struct TDamage {
  const char* name;
  std::function<std::vector<uint8_t>(const std::vector<uint8_t>& packed, const std::vector<uint8_t>& plain)> make;
  QString message;
};

std::vector<uint8_t> Cut(const std::vector<uint8_t>& bytes, size_t size)
{
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::min(size, bytes.size()));
}

std::vector<uint8_t> Header(const char* signature, int32_t value, int32_t extra, size_t junk)
{
  std::vector<uint8_t> bytes(signature, signature + std::strlen(signature));
  uint8_t field[4];
  PutInt32LE(field, value);
  bytes.insert(bytes.end(), field, field + 4);
  if (extra >= 0) {
    PutInt32LE(field, extra);
    bytes.insert(bytes.end(), field, field + 4);
  }
  bytes.insert(bytes.end(), junk, 0x5A);
  return bytes;
}

// The value of record id in the main-window record of a plain image.
std::vector<uint8_t> WithMainRecord(std::vector<uint8_t> plain, int id, int32_t value)
{
  PutInt32LE(plain.data() + 8 + 4 + id * 20 + 16, value);
  return plain;
}

// The plain image with the model window's own block (record 0) replaced by a
// packed record that claims the given size with the code of 64 KB of zeros.
std::vector<uint8_t> WithPackedModelBlock(const std::vector<uint8_t>& plain, int32_t claimed)
{
  TMemoryStream body(plain);
  body.SetPosition(8);
  TProjectBodyLayout layout;
  if (!ScanProjectBody(body, layout))
    return {};
  body.SetPosition(layout.modelStart);
  TTagStream model(&body, TagStreamRead);
  const std::vector<uint8_t> zeros(1 << 16);
  std::vector<uint8_t> claim(4);
  PutInt32LE(claim.data(), claimed);
  std::vector<uint8_t> coded;
  LzhEncodeBytes(zeros.data(), zeros.size(), coded);
  claim.insert(claim.end(), coded.begin(), coded.end());

  TMemoryStream image;
  StreamWriteInt(image, static_cast<int32_t>(model.Records().size()));
  for (const TTagRecord& record : model.Records()) {
    const bool replaced = record.group == ModelBlock::WindowGroup && record.id == 0;
    const std::vector<uint8_t>& data = replaced ? claim : record.data;
    for (int32_t field : {replaced ? ~0 : record.id, record.group, static_cast<int32_t>(data.size()),
                          static_cast<int32_t>(data.size())})
      StreamWriteInt(image, field);
    image.WriteExact(data.data(), data.size());
  }
  std::vector<uint8_t> bytes(plain.begin(), plain.begin() + layout.modelStart);
  bytes.insert(bytes.end(), image.Bytes().begin(), image.Bytes().end());
  bytes.insert(bytes.end(), plain.begin() + layout.windowsStart, plain.end());
  return bytes;
}

const TDamage Damages[] = {
  {"foreign", [](auto&, auto&) { return std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r'}; },
   FormatError},
  {"empty", [](auto&, auto&) { return std::vector<uint8_t>{}; }, FormatError},
  {"versionNine", [](auto&, auto&) { return Header("%GMF", 9, -1, 40); }, VersionError},
  {"packedCutInSignature", [](auto& p, auto&) { return Cut(p, 5); }, FormatError},
  {"packedCutInLength", [](auto& p, auto&) { return Cut(p, 8); }, FormatError},
  {"packedCutEarly", [](auto& p, auto&) { return Cut(p, 30); }, FormatError},
  {"packedCutHalf", [](auto& p, auto&) { return Cut(p, p.size() / 2); }, FormatError},
  {"packedCutLastByte", [](auto& p, auto&) { return Cut(p, p.size() - 1); }, FormatError},
  {"packedClaimsTwoGigabytes", [](auto&, auto&) { return Header("%GMFPK", 0x7FFFFFFF, -1, 10); }, FormatError},
  {"packedClaimsOneGigabyte", [](auto&, auto&) { return Header("%GMFPK", 1 << 30, -1, 10); }, FormatError},
  {"packedNegativeLength", [](auto&, auto&) { return Header("%GMFPK", -5, -1, 10); }, FormatError},
  {"compressedClaimsOneGigabyte", [](auto&, auto&) { return Header("%GMZ", 10, 1 << 30, 8); }, FormatError},
  {"compressedClaimsTooMuch", [](auto&, auto&) { return Header("%GMZ", 10, 0x7FFFFFFF, 8); }, FormatError},
  {"packedForeignInside",
   [](auto&, auto&) {
     std::vector<uint8_t> inner(100, 'x');
     std::vector<uint8_t> coded;
     LzhEncodeBytes(inner.data(), inner.size(), coded);
     std::vector<uint8_t> bytes = Header("%GMFPK", 100, -1, 0);
     bytes.insert(bytes.end(), coded.begin(), coded.end());
     return bytes;
   },
   FormatError},
  {"plainCutInBody", [](auto&, auto& plain) { return Cut(plain, plain.size() * 3 / 4); }, FormatError},
  {"plainCutAtHeader", [](auto&, auto& plain) { return Cut(plain, 8); }, FormatError},
  {"plainWithTrailingBytes",
   [](auto&, auto& plain) {
     std::vector<uint8_t> bytes = plain;
     bytes.push_back(0);
     bytes.push_back(0);
     return bytes;
   },
   FormatError},
  {"compressedZeroBomb", [](auto&, auto&) { return lzhbomb::CompressedProjectBomb(); }, FormatError},
  {"packedZeroBomb",
   [](auto&, auto&) {
     std::vector<uint8_t> bytes{'%', 'G', 'M', 'F', 'P', 'K'};
     const std::vector<uint8_t> image = lzhbomb::PackedZeros(1 << 30);
     bytes.insert(bytes.end(), image.begin(), image.end());
     return bytes;
   },
   FormatError},
  {"packedModelRecordClaimsOneGigabyte", [](auto&, auto& plain) { return WithPackedModelBlock(plain, 1 << 30); },
   FormatError},
  {"windowCountTooHigh", [](auto&, auto& plain) { return WithMainRecord(plain, 11, 1000000); }, FormatError},
  {"windowCountNegative", [](auto&, auto& plain) { return WithMainRecord(plain, 11, -3); }, FormatError},
  {"recordCountTooHigh",
   [](auto&, auto& plain) {
     std::vector<uint8_t> bytes = plain;
     PutInt32LE(bytes.data() + 8, 0x7FFFFFF0);
     return bytes;
   },
   FormatError},
};

void PrintTo(const TDamage& damage, std::ostream* out)
{
  *out << damage.name;
}

class DamagedFileTest : public ProjectFileTest, public ::testing::WithParamInterface<TDamage> {};

TEST_P(DamagedFileTest, IsRefusedWithAMessageAndTheOpenProjectStays)
{
  main->MINewClick();
  TFakeView* view = AddFakeView(*main, 9, "x", 1);
  const QString good = Path("good.vzt");
  ASSERT_TRUE(SaveAs(good));
  const std::vector<uint8_t> packed = ReadBytes(good);
  const std::vector<uint8_t> plain = UnpackedImage(good);
  const QString bad = Path("bad.vzt");
  WriteBytes(bad, GetParam().make(packed, plain));

  TFModel* model = main->Model();
  TGIS* gis = main->Gis();
  const QString caption = main->windowTitle();
  AllocationMeter::TScope meter;
  main->OpenProject(bad);
  EXPECT_LT(meter.Bytes(), size_t{100} << 20);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, GetParam().message);
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_EQ(main->Model(), model);
  EXPECT_EQ(main->Gis(), gis);
  EXPECT_EQ(main->Views(), QList<TFSimpleView*>({view}));
  EXPECT_EQ(main->CalcState(), CalcNotStarted);
  EXPECT_EQ(main->ProjectFileName(), good);
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(main->RecentProjects().contains(bad));

  // As result data the same file is refused with the texts that end in a period.
  calls.messages.clear();
  main->SetCalcState(CalcStopped);
  main->LoadResultFile(bad);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, GetParam().message + ".");
  EXPECT_EQ(main->Model(), model);
  EXPECT_EQ(main->ProjectFileName(), good);
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFileTest, ::testing::ValuesIn(Damages),
                         [](const ::testing::TestParamInfo<TDamage>& info) { return std::string(info.param.name); });

// Random damage to a packed and a plain project: every file either loads or is
// refused, never more. KESTOVAR_FUZZ_ITERATIONS runs it longer (under the
// sanitizers, for instance) and KESTOVAR_FUZZ_SEED draws other damage.
TEST_F(ProjectFileTest, RandomDamageIsLoadedOrRefusedButNeverMore)
{
  NewRunProject();
  AddFakeView(*main, 9, "время", 9);
  AddFakeView(*main, 104, "дерево", 104);
  const QString good = Path("good.vzt");
  ASSERT_TRUE(SaveAs(good));
  const std::vector<uint8_t> packed = ReadBytes(good);
  const std::vector<uint8_t> plain = UnpackedImage(good);
  int iterations = 40;
  if (const char* wanted = std::getenv("KESTOVAR_FUZZ_ITERATIONS"))
    iterations = std::max(1, std::atoi(wanted));
  uint32_t seed = 20261210;
  if (const char* wanted = std::getenv("KESTOVAR_FUZZ_SEED"))
    seed = static_cast<uint32_t>(std::strtoul(wanted, nullptr, 10));
  std::mt19937 random(seed);
  const QString bad = Path("fuzz.vzt");
  int refused = 0;
  for (int i = 0; i < iterations; ++i) {
    std::vector<uint8_t> bytes = (i % 2 == 0) ? plain : packed;
    const int kind = static_cast<int>(random() % 5);
    if (kind == 3) {
      bytes.resize(random() % bytes.size());
    } else if (kind == 4) {
      // Counts and sizes inside the records: an aligned int32 becomes an extreme.
      static const int32_t extremes[] = {0, -1, 1, 0x7FFFFFFF, INT32_MIN, 1000000, 65536};
      const int fields = 1 + static_cast<int>(random() % 3);
      for (int f = 0; f < fields && bytes.size() >= 4; ++f) {
        const size_t at = (random() % (bytes.size() / 4)) * 4;
        PutInt32LE(bytes.data() + at, extremes[random() % std::size(extremes)]);
      }
    } else {
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int f = 0; f < flips && !bytes.empty(); ++f) {
        size_t at = random() % bytes.size();
        // The headers and the records' length fields are hit more often than chance would.
        if (kind == 1)
          at = random() % std::min<size_t>(bytes.size(), 600);
        bytes[at] = kind == 2 ? static_cast<uint8_t>(0xFF) : static_cast<uint8_t>(random());
      }
    }
    WriteBytes(bad, bytes);
    calls.messages.clear();
    // The last file may have loaded and run on: no save question in between.
    if (main->Model() && main->CalcState() == CalcRunning)
      main->BAbortClick();
    ProcessPostedEvents();
    main->SetModified(false);
    if (main->Gis())
      main->Gis()->SetModified(false);
    if (main->Model())
      main->Model()->SetModified(false);
    TFModel* model = main->Model();
    const int views = static_cast<int>(main->Views().size());
    main->OpenProject(bad);
    if (main->Model() == model) {
      ++refused;
      // A file that did not load says why.
      ASSERT_FALSE(calls.messages.empty()) << "iteration " << i;
      const QString caption = calls.messages[0].caption;
      EXPECT_TRUE(caption == QString::fromUtf8("Ошибка") || caption == QString::fromUtf8("Критическая ошибка"))
        << "iteration " << i;
      EXPECT_EQ(main->Views().size(), views) << "iteration " << i;
    } else if (main->Model()) {
      EXPECT_GE(main->CalcState(), CalcNotStarted);
      EXPECT_LE(main->CalcState(), CalcStopped);
    }
  }
  EXPECT_GT(refused, 0);
  RecordProperty("loaded", iterations - refused);
  RecordProperty("refused", refused);
}

// --- failed writes -------------------------------------------------------------

TEST_F(ProjectFileTest, SaveUnderAFileThatIsNoFolderFailsAndKeepsTheFlags)
{
  main->MINewClick();
  const QString blocker = Path("plain-file");
  WriteBytes(blocker, {1, 2, 3});
  main->SetModified(true);
  main->Model()->SetModified(true);
  main->Gis()->SetModified(true);
  EXPECT_FALSE(SaveAs(blocker + "/project.vzt"));
  ASSERT_EQ(calls.messages.size(), 1u);
  // The file and the system's reason on the line below the text.
  EXPECT_EQ(calls.messages[0].text,
            WriteError + "\n" + blocker + "/project.vzt: " + QString::fromLocal8Bit(std::strerror(ENOTDIR)));
  EXPECT_EQ(calls.messages[0].caption, QString::fromUtf8("Ошибка"));
  EXPECT_TRUE(main->Modified());
  EXPECT_TRUE(main->Model()->IsModified());
  EXPECT_TRUE(main->Gis()->IsModified());
}

TEST_F(ProjectFileTest, SaveThatRunsOutOfSpaceKeepsTheOldFileAndTheFlags)
{
  NewRunProject();
  TFakeView* view = AddFakeView(*main, 9, "время", 9);
  const QString path = Path("full.vzt");
  ASSERT_TRUE(SaveAs(path));
  const std::vector<uint8_t> old = ReadBytes(path);
  const QStringList before = QDir(dir.path()).entryList(QDir::Files);
  main->SetModified(true);
  main->Model()->SetModified(true);
  main->Gis()->SetModified(true);
  view->SetViewModified(true);

  const bool saved_ok = OnASmallDisk([&] { return main->MISaveClick(TSaveSender::MenuSave); });

  EXPECT_FALSE(saved_ok);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.startsWith(WriteError + "\n")) << calls.messages[0].text.toStdString();
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_TRUE(main->Modified());
  EXPECT_TRUE(main->Model()->IsModified());
  EXPECT_TRUE(main->Gis()->IsModified());
  EXPECT_TRUE(view->ViewModified());
  EXPECT_FALSE(main->RecentProjects().contains(path));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before) << "nothing left behind";

  // A step file that cannot be written is reported and keeps its number.
  calls.messages.clear();
  main->SetStepCounter(4);
  const bool stepWritten = OnASmallDisk([&] { return main->SaveStep(); });
  EXPECT_FALSE(stepWritten);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.startsWith(WriteError + "\n")) << calls.messages[0].text.toStdString();
  EXPECT_EQ(main->StepCounter(), 4);
  EXPECT_FALSE(QFileInfo::exists(Path("full_0004.vzt")));
  EXPECT_TRUE(main->SaveStep());
  EXPECT_TRUE(QFileInfo::exists(Path("full_0004.vzt")));
}

// The side file is written before the view windows: a project write that
// fails after it once left the new side file beside the old project, and the
// run could no longer be continued from either.
TEST_F(ProjectFileTest, AProjectWriteThatFailsAfterTheSideFileKeepsTheOldPair)
{
  NewRunProject();
  TFakeView* view = AddFakeView(*main, 9, "время", 9);
  const QString path = Path("pair.vzt");
  ASSERT_TRUE(SaveAs(path));
  const std::vector<uint8_t> oldProject = ReadBytes(path);
  const std::vector<uint8_t> oldSide = ReadBytes(Path("pair.hex"));
  ASSERT_FALSE(oldSide.empty());
  const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

  auto* bit = dynamic_cast<TFBitModel*>(main->Model());
  bit->GetEngine()->StepCount += 5; // a lattice that no longer matches the old project
  view->failSave = true;
  EXPECT_FALSE(main->MISaveClick(TSaveSender::MenuSave));
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.startsWith(WriteError + "\n" + path)) << calls.messages[0].text.toStdString();
  EXPECT_EQ(ReadBytes(path), oldProject);
  EXPECT_EQ(ReadBytes(Path("pair.hex")), oldSide);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before) << "nothing left behind";

  bit->GetEngine()->StepCount -= 5;
  calls.messages.clear();
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty());
  ASSERT_NE(dynamic_cast<TFBitModel*>(main->Model()), nullptr);
  EXPECT_TRUE(dynamic_cast<TFBitModel*>(main->Model())->IsSideFileLoaded());
  EXPECT_EQ(main->CalcState(), CalcPaused);
}

// A packed project unpacks into a temporary file: a full temporary folder is
// the machine's fault, and the message says so instead of blaming the file.
TEST_F(ProjectFileTest, AFullTemporaryFolderIsNoDamagedFile)
{
  main->MINewClick();
  const QString path = Path("valid.vzt");
  ASSERT_TRUE(SaveAs(path));
  TFModel* model = main->Model();
  OnASmallDisk([&] { main->OpenProject(path); });

  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.startsWith(QString::fromUtf8("Невозможно открыть файл \"") + path + "\": "))
      << calls.messages[0].text.toStdString();
  EXPECT_GT(calls.messages[0].text.size(), QString::fromUtf8("Невозможно открыть файл \"\": ").size() + path.size());
  EXPECT_EQ(main->Model(), model);
}

// A save killed in the middle leaves its temporaries in the project folder;
// the next save there removes them (those of a save under way are locked).
TEST_F(ProjectFileTest, ASaveRemovesWhatAKilledSaveLeftInTheFolder)
{
  NewRunProject();
  const QString path = Path("killed.vzt");
  const QString leftover = Path(QString(TSiblingTempFile::Prefix) + "killed.vzt.Ab12Cd");
  const QString sideLeftover = Path(QString(TSiblingTempFile::Prefix) + "killed.hex.Ef34Gh");
  for (const QString& name : {leftover, sideLeftover}) {
    WriteBytes(name, std::vector<uint8_t>(1000, 7));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
  }
  TSiblingTempFile underWay(Path("other.vzt").toStdString());
  QFile aged(QString::fromStdString(underWay.Path()));
  ASSERT_TRUE(aged.open(QIODevice::ReadWrite));
  aged.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
  aged.close();

  ASSERT_TRUE(SaveAs(path));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({".killed.vzt.lock", "killed.hex", "killed.vzt", QFileInfo(aged).fileName()}));
}

void SetAge(const QString& path, int seconds)
{
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
  file.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

QStringList PairHalves(const QStringList& files)
{
  return files.filter(QString(TSiblingTempFile::PairPrefix));
}

// A save is killed after its project file went in place and before its side
// file did. The only whole lattice is then beside the project; a save of
// another project in the folder keeps it, and the next open takes it, puts it
// in place and continues the run from it.
class KilledBetweenCommitsTest : public ProjectFileTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KilledBetweenCommitsTest, LeavesAPairTheNextOpenRecoversAndContinues)
{
  const bool overAnOldPair = GetParam();
  NewRunProject();
  const QString path = Path("run.vzt");
  const QString side = Path("run.hex");
  if (overAnOldPair) {
    ASSERT_TRUE(SaveAs(path));
    SetAge(side, 7200);
  }
  auto* bit = dynamic_cast<TFBitModel*>(main->Model());
  bit->GetEngine()->StepCount += 5; // a lattice the old side file does not match
  const int32_t steps = bit->GetEngine()->StepCount;
  store.SetSideFileCommitSeam([] { return false; });
  EXPECT_FALSE(SaveAs(path));
  store.SetSideFileCommitSeam({});
  const QStringList halves = PairHalves(Files());
  ASSERT_EQ(halves.size(), 1) << Files().join(' ').toStdString();
  EXPECT_EQ(QFileInfo::exists(side), overAnOldPair);
  SetAge(Path(halves[0]), 3600);

  Restart();
  main->MINewClick();
  ASSERT_TRUE(SaveAs(Path("other.vzt")));
  EXPECT_EQ(PairHalves(Files()), halves) << "a save in the folder keeps the only whole lattice";

  calls.messages.clear();
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty()) << calls.messages[0].text.toStdString();
  bit = dynamic_cast<TFBitModel*>(main->Model());
  ASSERT_NE(bit, nullptr);
  EXPECT_TRUE(bit->IsSideFileLoaded());
  EXPECT_EQ(bit->GetEngine()->StepCount, steps);
  EXPECT_EQ(main->CalcState(), CalcPaused);
  EXPECT_TRUE(PairHalves(Files()).isEmpty());
  EXPECT_TRUE(QFileInfo::exists(side));

  // The pair on disk is whole again: the next program continues from it too.
  Restart();
  main->OpenProject(path);
  bit = dynamic_cast<TFBitModel*>(main->Model());
  ASSERT_NE(bit, nullptr);
  EXPECT_TRUE(bit->IsSideFileLoaded());
  EXPECT_EQ(main->CalcState(), CalcPaused);
  main->BStartClick();
  EXPECT_TRUE(ServeUntil([&] { return bit->GetEngine()->StepCount > steps; }));
  main->BPauseClick();
  EXPECT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused; }));
}

INSTANTIATE_TEST_SUITE_P(Saves, KilledBetweenCommitsTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "OverAnOldPair" : "FirstSave");
                         });

// Another program that has the project open holds it: this one is told so and
// opens or writes nothing; a lock file whose program died blocks nobody.
TEST_F(ProjectFileTest, ASecondProgramIsToldTheProjectIsOpenElsewhere)
{
  main->MINewClick();
  const QString path = Path("shared.vzt");
  ASSERT_TRUE(SaveAs(path));
  Restart();
  const std::vector<uint8_t> saved = ReadBytes(path);
  const QString told = QString::fromUtf8("Проект уже открыт в другом окне программы: ") + path;
  {
    std::unique_ptr<TProjectLock> other;
    ASSERT_EQ(TProjectLock::Take(path.toStdString(), other), TProjectLock::TResult::Taken);
    calls.messages.clear();
    main->OpenProject(path);
    ASSERT_EQ(calls.messages.size(), 1u);
    EXPECT_EQ(calls.messages[0].text.toStdString(), told.toStdString());
    EXPECT_EQ(main->Model(), nullptr);

    // Nor does it write over the project with one of its own.
    main->MINewClick();
    calls.messages.clear();
    EXPECT_FALSE(SaveAs(path));
    ASSERT_EQ(calls.messages.size(), 1u);
    EXPECT_EQ(calls.messages[0].text.toStdString(), told.toStdString());
    EXPECT_EQ(ReadBytes(path), saved);
  }
  // What a killed program left: its lock file, no lock on it.
  WriteBytes(QString::fromStdString(TProjectLock::LockFileName(path.toStdString())), {'9', '9', '9', '\n'});
  Restart();
  calls.messages.clear();
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty());
  EXPECT_NE(main->Model(), nullptr);
  EXPECT_EQ(main->ProjectFileName(), path);
  // The program holds the project it opened.
  std::unique_ptr<TProjectLock> other;
  EXPECT_EQ(TProjectLock::Take(path.toStdString(), other), TProjectLock::TResult::HeldElsewhere);
}

// A step file of a run opens as its project and is saved under the project's
// name, so to the lock both are one project: opened from either, the other is
// refused elsewhere. A file merely named like a step (no run yet) is its own.
TEST_F(ProjectFileTest, AStepFileAndItsProjectAreOneProjectToTheLock)
{
  main->MINewClick();
  const QString project = Path("model.vzt");
  ASSERT_TRUE(SaveAs(project));
  ASSERT_TRUE(main->SaveStep());
  const QString step = main->StepFileName(0);
  ASSERT_TRUE(QFileInfo::exists(step));
  main->MINewClick();
  const QString lookalike = Path("data_7.vzt");
  ASSERT_TRUE(SaveAs(lookalike));
  const QString told = QString::fromUtf8("Проект уже открыт в другом окне программы: ") + project;

  struct TCase {
    QString opened, held, free;
  };
  for (const TCase& c : {TCase{step, project, step}, TCase{lookalike, lookalike, Path("data.vzt")}}) {
    Restart();
    calls.messages.clear();
    main->OpenProject(c.opened);
    EXPECT_TRUE(calls.messages.empty()) << calls.messages[0].text.toStdString();
    EXPECT_EQ(main->ProjectFileName(), c.held);
    std::unique_ptr<TProjectLock> other;
    EXPECT_EQ(TProjectLock::Take(c.held.toStdString(), other), TProjectLock::TResult::HeldElsewhere)
        << c.opened.toStdString();
    EXPECT_EQ(TProjectLock::Take(c.free.toStdString(), other), TProjectLock::TResult::Taken) << c.opened.toStdString();
    other.reset();
    // Its own project saves as ever.
    EXPECT_TRUE(main->MISaveClick(TSaveSender::Button));
    EXPECT_TRUE(calls.messages.empty()) << calls.messages[0].text.toStdString();
  }

  // Another program has the project open: its step file is refused here too.
  Restart();
  std::unique_ptr<TProjectLock> other;
  ASSERT_EQ(TProjectLock::Take(project.toStdString(), other), TProjectLock::TResult::Taken);
  calls.messages.clear();
  main->OpenProject(step);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text.toStdString(), told.toStdString());
  EXPECT_EQ(main->Model(), nullptr);
}

// A save killed at any point leaves temporary files beside the project: the
// next open of that project removes them, also when they are younger than the
// program; those of other files and of saves under way stay.
TEST_F(ProjectFileTest, OpeningAProjectRemovesWhatKilledSavesOfItLeft)
{
  NewRunProject();
  const QString path = Path("left.vzt");
  ASSERT_TRUE(SaveAs(path));
  const QString prefix = TSiblingTempFile::Prefix;
  const QStringList leftovers = {prefix + "left.vzt.Ab12Cd", QString(TSiblingTempFile::PairPrefix) + "left.hex.Ef34Gh"};
  const QString foreign = prefix + "other.vzt.Ij56Kl";
  for (const QString& name : leftovers + QStringList{foreign})
    WriteBytes(Path(name), std::vector<uint8_t>(100, 7));
  TSiblingTempFile underWay(path.toStdString());
  const QStringList expected = Files().filter(QRegularExpression("^(?!~gfm)")) +
                               QStringList{foreign, QFileInfo(QString::fromStdString(underWay.Path())).fileName()};

  main->OpenProject(path);
  ASSERT_EQ(main->ProjectFileName(), path);
  QStringList files = Files();
  QStringList wanted = expected;
  files.sort();
  wanted.sort();
  EXPECT_EQ(files, wanted);
}

// A FIFO where a file is expected would hold open() for good: it is refused at once.
TEST_F(ProjectFileTest, AFifoInPlaceOfASideFileOrAProjectIsRefusedAtOnce)
{
  NewRunProject();
  const QString path = Path("fifo.vzt");
  ASSERT_TRUE(SaveAs(path));
  ASSERT_TRUE(QFile::remove(Path("fifo.hex")));
  ASSERT_EQ(mkfifo(Path("fifo.hex").toLocal8Bit().constData(), 0600), 0);
  calls.messages.clear();
  main->OpenProject(path);
  EXPECT_EQ(main->CalcState(), CalcStopped);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.contains(Path("fifo.hex"))) << calls.messages[0].text.toStdString();

  ASSERT_EQ(mkfifo(Path("pipe.vzt").toLocal8Bit().constData(), 0600), 0);
  TFModel* model = main->Model();
  EXPECT_FALSE(main->LoadProject(Path("pipe.vzt")));
  EXPECT_EQ(main->Model(), model);
}

// A number that is no number where the model computes with it: the file is
// refused as damaged, naming the field, and the open project stays.
struct TNonFinite {
  const char* name;
  std::function<std::string(TFMain&)> spoil; // returns the field the message names
};

TGArray3D* FirstVolume(TFMain& main)
{
  return dynamic_cast<TGArray3D*>(main.Gis()->GetObjectOfType(0, ObjectTypeArray3D));
}

THeap& Engine(TFMain& main)
{
  return *dynamic_cast<TFBitModel*>(main.Model())->GetEngine();
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

const TNonFinite NonFinites[] = {
  {"engineVoltage", [](TFMain& m) { Engine(m).GenU = NaN; return std::string("GenU"); }},
  {"engineTimeStep", [](TFMain& m) { Engine(m).DtGrowth = -Inf; return std::string("DtGrowth"); }},
  {"materialPermittivity", [](TFMain& m) { Engine(m).Materials[0].Eps = Inf; return std::string("Eps"); }},
  {"electrodePotential", [](TFMain& m) { Engine(m).ElectrodePots[1] = NaN; return std::string("ElectrodePots"); }},
  {"electrodeDiameter",
   [](TFMain& m) {
     auto& electrodes = dynamic_cast<TFBitModel*>(m.Model())->Electrodes();
     electrodes.emplace_back();
     electrodes.back().endDiameter = Inf;
     return "электрод " + std::to_string(electrodes.size());
   }},
  {"inhomogeneityCharge",
   [](TFMain& m) {
     auto& inhomogeneities = dynamic_cast<TFBitModel*>(m.Model())->Inhomogeneities();
     inhomogeneities.emplace_back();
     inhomogeneities.back().upper[0] = 1e-3;
     inhomogeneities.back().charge = NaN;
     return std::string("неоднородность 1");
   }},
  {"modelStopTime", [](TFMain& m) { m.Model()->SetStopTime(Inf); return std::string("время остановки"); }},
  {"arrayCell",
   [](TFMain& m) {
     FirstVolume(m)->GetVolumeData()[3] = -Inf;
     return FirstVolume(m)->TGObj::GetName();
   }},
  {"objectPosition",
   [](TFMain& m) {
     FirstVolume(m)->SetXY(NaN, 0.0);
     return FirstVolume(m)->TGObj::GetName();
   }},
};

class NonFiniteFieldTest : public ProjectFileTest, public ::testing::WithParamInterface<TNonFinite> {};

TEST_P(NonFiniteFieldTest, IsRefusedAsADamagedFileNamingTheField)
{
  main->MINewClick();
  ASSERT_NE(FirstVolume(*main), nullptr);
  const std::string field = GetParam().spoil(*main);
  const QString path = Path("spoilt.vzt");
  ASSERT_TRUE(SaveAs(path));
  Restart();
  calls.messages.clear();
  main->OpenProject(path);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.startsWith(FormatError + "\n")) << calls.messages[0].text.toStdString();
  EXPECT_TRUE(calls.messages[0].text.contains(QString::fromStdString(field)))
      << calls.messages[0].text.toStdString();
  EXPECT_EQ(main->Model(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Fields, NonFiniteFieldTest, ::testing::ValuesIn(NonFinites),
                         [](const ::testing::TestParamInfo<TNonFinite>& info) { return std::string(info.param.name); });

// The "no value" mark is a number like any other: cells without a value load.
TEST_F(ProjectFileTest, CellsWithoutAValueStillLoad)
{
  main->MINewClick();
  FirstVolume(*main)->GetVolumeData()[0] = 1e300;
  FirstVolume(*main)->GetVolumeData()[1] = -1e300;
  const QString path = Path("empty_cells.vzt");
  ASSERT_TRUE(SaveAs(path));
  Restart();
  calls.messages.clear();
  main->OpenProject(path);
  EXPECT_TRUE(calls.messages.empty()) << calls.messages[0].text.toStdString();
  ASSERT_EQ(main->ProjectFileName(), path);
  EXPECT_EQ(FirstVolume(*main)->GetVolumeData()[0], 1e300);
  EXPECT_EQ(FirstVolume(*main)->GetVolumeData()[1], -1e300);
}

TEST_F(ProjectFileTest, SaveIntoAReadOnlyFolderKeepsTheOldFile)
{
  if (geteuid() == 0)
    GTEST_SKIP() << "root writes into read-only folders; the other write failures cover this";
  main->MINewClick();
  const QString folder = Path("locked");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = folder + "/p.vzt";
  ASSERT_TRUE(SaveAs(path));
  const std::vector<uint8_t> old = ReadBytes(path);
  main->SetModified(true);
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
  const bool written = main->MISaveClick(TSaveSender::MenuSave);
  QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadBytes(path), old);
  EXPECT_TRUE(main->Modified());
}

// --- result data -----------------------------------------------------------------

TEST_F(ProjectFileTest, ResultDataKeepTheWindowsAndHandThemTheNewModel)
{
  NewRunProject();
  const QString path = Path("res.vzt");
  ASSERT_TRUE(SaveAs(path));
  main->BStopClick();
  ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcStopped; }));
  main->SetStepCounter(7);
  ASSERT_TRUE(main->SaveStep());
  const QString step = Path("res_0007.vzt");
  ASSERT_TRUE(QFileInfo::exists(step));
  const int steps = main->Model()->GetStepCount();

  // A fresh project of the same GIS, whose windows the result data must keep.
  main->OpenProject(path);
  TFakeView* plot = AddFakeView(*main, 9, "время", 9);
  TFakeView* tree = AddFakeView(*main, 104, "дерево", 104);
  // An object the file has and the open GIS lacks comes back.
  const int objects = main->Gis()->GetObjectCount();
  ASSERT_GT(objects, 0);
  ASSERT_TRUE(main->Gis()->DeleteObject(nullptr, main->Gis()->GetObject(0), true));
  TFModel* old = main->Model();
  main->SetCalcState(CalcStopped);
  // The deletion is a change of the project: the save question comes first.
  calls.messageAnswers = {QMessageBox::No};
  main->LoadResultFile(step);
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_NE(main->Model(), old);
  EXPECT_EQ(main->Views(), QList<TFSimpleView*>({plot, tree}));
  EXPECT_EQ(plot->model, main->Model());
  EXPECT_EQ(tree->model, main->Model());
  EXPECT_EQ(main->Gis()->GetObjectCount(), objects);
  EXPECT_EQ(main->Model()->GetStepCount(), steps);
  EXPECT_EQ(main->StepCounter(), 8);
  EXPECT_EQ(main->ProjectFileName(), path);
  EXPECT_FALSE(main->Modified());
}

TEST_F(ProjectFileTest, NothingIsLoadedOrOpenedWhileTheModelRuns)
{
  main->MINewClick();
  const QString path = Path("busy.vzt");
  ASSERT_TRUE(SaveAs(path));
  main->Model()->SetStopMode(TFModel::StopNever);
  main->BStartClick();
  ASSERT_EQ(main->CalcState(), CalcRunning);
  TFModel* model = main->Model();
  main->LoadResultFile(path);
  main->OpenProject(path);
  main->OnDropFiles({path}, main->TBnavigator->mapToGlobal(QPoint(5, 5)));
  EXPECT_EQ(main->Model(), model);
  EXPECT_EQ(main->CalcState(), CalcRunning);
  EXPECT_TRUE(calls.messages.empty());
  main->BAbortClick();
}

} // namespace

namespace {

// A few hundred coded bytes that claim a gigabyte are refused after the first
// few kilobytes the decoder gives, in either envelope.
TEST(ProjectFileBombTest, IsRefusedAfterTheFirstBytesItExpandsTo)
{
  QTemporaryDir dir;
  std::vector<uint8_t> packed{'%', 'G', 'M', 'F', 'P', 'K'};
  const std::vector<uint8_t> image = lzhbomb::PackedZeros(1 << 30);
  packed.insert(packed.end(), image.begin(), image.end());
  const std::vector<uint8_t> compressed = lzhbomb::CompressedProjectBomb();
  EXPECT_LT(compressed.size(), 450u);
  for (const std::vector<uint8_t>* bomb : std::initializer_list<const std::vector<uint8_t>*>{&compressed, &packed}) {
    const QString path = dir.filePath("bomb.vzt");
    WriteBytes(path, *bomb);
    TOpenedProject opened;
    EXPECT_EQ(OpenProjectFile(path.toStdString(), opened), TProjectOpenResult::BadFormat);
    EXPECT_GT(opened.BytesDecoded(), 0);
    EXPECT_LT(opened.BytesDecoded(), int64_t{1} << 20);
  }
}

} // namespace
