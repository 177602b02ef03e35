// The report: the commands it sends for the values, materials and pictures,
// the .docx the program's word processor writes, the options dialog and the
// two menu commands with their failure message.
#include "report/RecordingWordBasic.h"
#include "support/MenuPath.h"
#include "support/ProjectTestSupport.h"

#include "base/FormSimpleView.h"
#include "model/FormBitModel.h"
#include "shell/report/DocxWordBasic.h"
#include "shell/report/FormReportOptions.h"
#include "shell/report/ReportFile.h"
#include "shell/report/WordReport.h"

#include <korvane.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QListWidget>
#include <QProcess>
#include <QSaveFile>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

#include <zip.h>

#include <gtest/gtest.h>

namespace {

using namespace projecttest;
using menupath::TriggerThroughMenus;

struct TNumberCase {
  double value;
  QStringList commands;
};

class ReportNumberTest : public ::testing::TestWithParam<TNumberCase> {};

TEST_P(ReportNumberTest, ThreeDigitsAndARaisedExponent)
{
  TRecordingWordBasic word;
  InsertNumber(word, GetParam().value);
  EXPECT_EQ(word.log, GetParam().commands);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReportNumberTest,
    ::testing::Values(TNumberCase{3, {"Insert \"3\""}}, TNumberCase{0.0015, {"Insert \"0.0015\""}},
                      TNumberCase{1.5e-05, {"Insert \"1.5\"", "Insert \"·10\"", "Superscript", "Insert \"-5\"", "Superscript"}},
                      TNumberCase{123456, {"Insert \"1.23\"", "Insert \"·10\"", "Superscript", "Insert \"5\"", "Superscript"}},
                      TNumberCase{2e+08, {"Insert \"2\"", "Insert \"·10\"", "Superscript", "Insert \"8\"", "Superscript"}}));

QImage Filled(int width, int height)
{
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::darkBlue);
  return image;
}

TReportWindow Window(bool inReport, const QString& title, QImage image = Filled(40, 30))
{
  TReportWindow window;
  window.inReport = inReport;
  window.title = title;
  window.picture = [image] { return image; };
  return window;
}

// The captions of the caption rows, one list per row.
std::vector<QStringList> CaptionRows(const QStringList& log)
{
  std::vector<QStringList> rows;
  for (qsizetype k = 0; k < log.size(); ++k) {
    if (log[k] != "TableInsertTable 0, 2, 1")
      continue;
    QStringList row;
    for (qsizetype j = k + 1; j < log.size() && log[j] != "LineDown"; ++j)
      if (log[j].startsWith("Insert \""))
        row << log[j].mid(8, log[j].size() - 9);
    rows.push_back(row);
  }
  return rows;
}

struct TPictureCase {
  const char* name;
  std::vector<bool> included; // from the highest MDI index down
  bool numbering;
  std::vector<QStringList> rows;
};

class ReportPictureTest : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(ReportPictureTest, TwoToARowWithCaptionRows)
{
  const TPictureCase& c = GetParam();
  std::vector<TReportWindow> windows;
  const char* titles[] = {"c", "b", "a"};
  for (size_t k = 0; k < c.included.size(); ++k)
    windows.push_back(Window(c.included[k], titles[k]));
  TRecordingWordBasic word;
  BuildWordReport(word, TReportValues(), windows, c.numbering);
  EXPECT_EQ(CaptionRows(word.log), c.rows);
  size_t pictures = 0;
  for (const QStringList& row : c.rows)
    pictures += static_cast<size_t>(row.size());
  EXPECT_EQ(static_cast<size_t>(word.log.count("EditPaste")), pictures);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportPictureTest,
    ::testing::Values(TPictureCase{"AllThree", {true, true, true}, true, {{"Рис. 1 c", "Рис. 2 b"}, {"Рис. 3 a"}}},
                      TPictureCase{"LastLeftOut", {true, true, false}, true, {{"Рис. 1 c", "Рис. 2 b"}}},
                      TPictureCase{"None", {false, false, false}, true, {}},
                      TPictureCase{"OnlyTheMiddle", {false, true, false}, true, {{"Рис. 1 b"}}},
                      TPictureCase{"NoNumbering", {true, true, true}, false, {{"c", "b"}, {"a"}}}),
    [](const ::testing::TestParamInfo<TPictureCase>& info) { return std::string(info.param.name); });

TEST(ReportPictures, WindowsWithoutAPictureTakeNoPlaceAndSizeFollowsTheWindow)
{
  std::vector<TReportWindow> windows{Window(true, "empty", QImage()), Window(true, "flat", Filled(0, 10)),
                                     Window(true, "wide", Filled(200, 100))};
  TRecordingWordBasic word;
  BuildWordReport(word, TReportValues(), windows, true);
  EXPECT_EQ(CaptionRows(word.log), (std::vector<QStringList>{{"Рис. 1 wide"}}));
  const qsizetype paste = word.log.indexOf("EditPaste");
  ASSERT_GT(paste, 2);
  EXPECT_EQ(word.log.mid(paste - 2, 6),
            (QStringList{"Insert \"\t\"", "GetSelStartPos", "EditPaste", "GetSelStartPos", "SetSelRange 0, 1",
                         "FormatPicture 1, \"-0.25 cm\", \"-0.25 cm\", \"-0.25 cm\", \"-0.25 cm\", 100, 100, \"8.5 cm\", "
                         "\"4.25 cm\""}));
  EXPECT_EQ(word.log[paste + 4], "CharRight");
}

// The header and the parameters cell of a generator with a spark gap, command
// by command.
TEST(ReportCommands, HeaderAndParametersCell)
{
  TReportValues v;
  v.lastOpenedPath = "/p/run_0002.vzt";
  v.dt = 1e-9;
  v.cellSize1 = 0.001;
  v.cellSize2 = 0.002;
  v.cellSize3 = 0.003;
  v.n1 = 10;
  v.n2 = 20;
  v.n3 = 30;
  v.genU = 1e5;
  v.genC = 1e-9;
  v.genL = 1e-6;
  v.genR0 = 100;
  v.genR1 = 5;
  v.genRT = 2e-9;
  v.genCs = 3e-12;
  TRecordingWordBasic word;
  BuildWordReport(word, v, {}, true);
  const QString symbol = "Font$|Font \"Symbol\"|Insert \"%1\"|Font \"Arial\"";
  const QString times = symbol.arg(QChar(0xB4));
  const QString expected =
      "FileNew \"Normal\"|FilePageSetup 0, 1, \"2.0 cm\", \"1.5 cm\", \"1.5 cm\", \"1.5 cm\"|"
      "InsertPageNumbers 1, 1, 1|ViewHeader|Font \"Arial\", 10|RightPara|Italic|Insert \"/p/run_0002.vzt\"|Italic|"
      "CloseViewHeaderFooter|Font \"Arial\", 10|TableInsertTable 0, 3, 1|"
      "FormatBordersAndShading 3, 0, 0, 0, 0, 0, 0, 0|TableSelectTable|Font \"Arial\", 10|"
      "FormatTabs \"1.0 cm\", \"1 cm\", 0, 0, 0|FormatTabs \"1.5 cm\", \"1 cm\", 0, 0, 0|"
      "FormatTabs \"3.5 cm\", \"1 cm\", 0, 0, 0|StartOfColumn|StartOfRow|"
      "Underline|Insert \"Параметры\"|Underline|Insert \":\n\"|" +
      symbol.arg("D") + "|Insert \"t\"|Insert \"\t=\t\"|Insert \"1\"|Insert \"·10\"|Superscript|Insert \"-9\"|"
      "Superscript|Insert \"\ts\n\"|" +
      symbol.arg("D") + "|Italic|Insert \"l\"|Italic|Insert \"\t=\t\"|Insert \"1\"|" + times + "|Insert \"3\"|" + times +
      "|Insert \"2\"|Insert \"\tmm\n\"|Insert \"Dim.\"|Insert \"\t=\t\"|Insert \"1\"|" + times + "|Insert \"9\"|" + times +
      "|Insert \"4\"|Insert \"\tcm\n\"|Underline|Insert \"Генератор\"|Underline|Insert \":\n\"|"
      "Insert \"U\"|Subscript|Insert \"0\"|Subscript|Insert \"\t=\t\"|Insert \"100\"|Insert \"\tkV\n\"|"
      "Insert \"C\"|Subscript|Insert \"0\"|Subscript|Insert \"\t=\t\"|Insert \"1\"|Insert \"\tnF\n\"|"
      "Insert \"L\"|Subscript|Insert \"0\"|Subscript|Insert \"\t=\t\"|Insert \"1\"|Insert \"\tmkH\n\"|"
      "Insert \"R\"|Insert \"\t=\t\"|Insert \"5\"|Insert \"+(\"|Insert \"100\"|Insert \"-\"|Insert \"5\"|"
      "Insert \")·exp(-t/\"|" +
      symbol.arg("q") + "|Insert \")\"|Insert \"\tOm\n\"|" + symbol.arg("q") +
      "|Insert \"\t=\t\"|Insert \"2\"|Insert \"\tns\n\"|"
      "Insert \"C\"|Subscript|Insert \"s\"|Subscript|Insert \"\t=\t\"|Insert \"3\"|Insert \"\tpF\n\"|NextCell";
  const QStringList lines = expected.split('|');
  ASSERT_GE(word.log.size(), lines.size());
  for (qsizetype k = 0; k < lines.size(); ++k)
    ASSERT_EQ(word.log[k], lines[k]) << "command " << k;
  // The results cell begins right after.
  EXPECT_EQ(word.log.mid(lines.size(), 3), (QStringList{"Underline", "Insert \"Результаты\"", "Underline"}));
}

struct TVoltageCase {
  const char* name;
  double tau, genU, genRT;
  const char* heading;
  bool decay; // the spark-gap term and the θ line
};

class ReportVoltageTest : public ::testing::TestWithParam<TVoltageCase> {};

TEST_P(ReportVoltageTest, OneBlockByTheGeneratorSettings)
{
  const TVoltageCase& c = GetParam();
  TReportValues values;
  values.tau = c.tau;
  values.genU = c.genU;
  values.genRT = c.genRT;
  values.genR1 = 5;
  TRecordingWordBasic word;
  BuildWordReport(word, values, {}, true);
  for (const char* heading : {"Переменное", "Генератор", "Постоянное"})
    EXPECT_EQ(word.log.contains(QString("Insert \"%1\"").arg(heading)), QString(heading) == c.heading) << heading;
  EXPECT_EQ(word.log.contains("Insert \"+(\""), c.decay);
  if (QString(c.heading) == "Генератор")
    EXPECT_EQ(word.Text().contains("R\t=\t5\tOm\n"), !c.decay);
}

INSTANTIATE_TEST_SUITE_P(Settings, ReportVoltageTest,
                         ::testing::Values(TVoltageCase{"RiseTime", 1e-8, 1e5, 1e-9, "Переменное", false},
                                           TVoltageCase{"Generator", 0, 1e5, 0, "Генератор", false},
                                           TVoltageCase{"GeneratorWithSparkGap", 0, 1e5, 1e-9, "Генератор", true},
                                           TVoltageCase{"Constant", 0, 0, 0, "Постоянное", false}),
                         [](const ::testing::TestParamInfo<TVoltageCase>& info) { return std::string(info.param.name); });

TEST(ReportMaterials, HeaderSymbolsAndOneLinePerMaterial)
{
  TReportValues values;
  values.materials = {{1, 2.5, 30, 4, 5, 6, 7, 8, 9, 10}, {2, 3.5, 40, 4, 5, 6, 7, 8, 9, 11}};
  TRecordingWordBasic word;
  BuildWordReport(word, values, {}, true);
  // Only the letter of the last header is a Symbol character.
  const qsizetype k = word.log.indexOf("Insert \"k\"");
  ASSERT_GT(k, 0);
  EXPECT_EQ(word.log[k - 1], "Font \"Symbol\"");
  EXPECT_EQ(word.log.mid(k + 1, 2), (QStringList{"Font \"Arial\"", "Insert \", m\""}));
  const QString text = word.Text();
  EXPECT_TRUE(text.contains("m1\n22.5\n3.530\n40")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("10\n11")) << text.toStdString();
}

// A view window with a picture of the given size on copy, or none.
class TPictureCopyView : public TFSimpleView {
public:
  TPictureCopyView(TFMain* main, const QString& caption, QSize size) : TFSimpleView(main, nullptr), size(size)
  {
    SetUserCaption(caption);
    setWindowTitle(caption);
  }
  void CopyToClipboard() override
  {
    if (!size.isEmpty())
      QApplication::clipboard()->setImage(Filled(size.width(), size.height()));
  }
  void SaveBitmap(const QString&) override {}
  QSize size;
};

class ReportCommandTest : public ProjectWindowTest {
protected:
  void SetUp() override
  {
    ProjectWindowTest::SetUp();
    main->MINewClick();
    main->SetWordBasicMaker([this] {
      auto word = std::make_unique<TRecordingWordBasic>();
      word->failAt = failAt;
      word->keep = &lastLog;
      ++made;
      return std::unique_ptr<TWordBasic>(std::move(word));
    });
  }
  TPictureCopyView* AddView(const QString& caption, QSize size = QSize(40, 30))
  {
    auto* view = new TPictureCopyView(main.get(), caption, size);
    main->AddView(view);
    return view;
  }
  int failAt = -1;
  int made = 0;
  QStringList lastLog;
};

TEST_F(ReportCommandTest, PreviewAndPrintAfterTheOptionsDialog)
{
  AddView("first");
  AddView("info", QSize());
  AddView("third");
  QApplication::clipboard()->setImage(Filled(5, 5));
  calls.dialogAnswers = {1};
  ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportWord));
  ASSERT_EQ(made, 1);
  EXPECT_EQ(lastLog.front(), "FileNew \"Normal\"");
  EXPECT_EQ(lastLog.back(), "AppShow");
  // The window whose copy gives nothing is left out, not given the old clipboard.
  EXPECT_EQ(CaptionRows(lastLog), (std::vector<QStringList>{{"Рис. 1 third", "Рис. 2 first"}}));

  calls.dialogAnswers = {1};
  ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportPrint));
  ASSERT_EQ(made, 2);
  EXPECT_EQ(lastLog.mid(lastLog.size() - 3), (QStringList{"Fileprint", "FileClose 2", "FileExit"}));

  // A cancelled dialog writes nothing.
  ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportWord));
  EXPECT_EQ(made, 2);
  EXPECT_TRUE(calls.messages.empty());
}

TEST_F(ReportCommandTest, EveryFailedCommandEndsWithTheMessage)
{
  AddView("view");
  TRecordingWordBasic full;
  main->BuildReport(full);
  full.AppShow();
  for (int n = 0; n < static_cast<int>(full.log.size()); ++n) {
    failAt = n;
    calls.messages.clear();
    main->ShowWordReport();
    ASSERT_EQ(calls.messages.size(), 1u) << n;
    EXPECT_EQ(calls.messages[0].text, "Невозможно создать документ отчета.");
    EXPECT_EQ(calls.messages[0].caption, "Ошибка");
    EXPECT_EQ(calls.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(lastLog.size(), n);
  }
}

TEST_F(ReportCommandTest, ValuesOfTheModelWithoutElectrodesShowNoVoltage)
{
  auto* model = dynamic_cast<TFBitModel*>(main->Model());
  ASSERT_NE(model, nullptr);
  THeap* heap = model->GetEngine();
  const int32_t electrodes = heap->ElectrodeCount;
  heap->ElectrodeCount = 0;
  const TReportValues values = CollectReportValues(*model, "p.vzt");
  heap->ElectrodeCount = electrodes;
  EXPECT_EQ(values.u0max, 0.0);
  EXPECT_EQ(values.lastOpenedPath, "p.vzt");
  EXPECT_EQ(values.n1, heap->N1);
  EXPECT_EQ(values.materials.size(), static_cast<size_t>(heap->MaterialCount));
}

TEST_F(ReportCommandTest, WithoutAModelTheReportEndsWithTheMessage)
{
  main->CloseProject();
  calls.dialogAnswers = {1};
  ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportWord));
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].text, "Невозможно создать документ отчета.");
}

TEST_F(ReportCommandTest, OptionsListTicksEveryWindowAndWritesChoicesOnOk)
{
  TPictureCopyView* plain = AddView("plain");
  TPictureCopyView* user = AddView("user");
  TPictureCopyView* titled = AddView("titled");
  titled->SetReportTitle("Report title");
  user->SetUserCaption("User caption");
  user->setWindowTitle("window caption");
  for (TFSimpleView* view : {static_cast<TFSimpleView*>(plain), static_cast<TFSimpleView*>(user)})
    view->SetInReport(false);
  TFReportOptions& options = *main->ReportOptions();
  options.FillList(main->ViewsLastFirst());
  ASSERT_EQ(options.CLBwins->count(), 3);
  EXPECT_EQ(options.CLBwins->item(0)->text(), "Report title");
  EXPECT_EQ(options.CLBwins->item(1)->text(), "User caption");
  EXPECT_EQ(options.CLBwins->item(2)->text(), "plain");
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(options.CLBwins->item(k)->checkState(), Qt::Checked);

  // Nothing selected: the menu renames nothing.
  options.RenameSelected();
  EXPECT_TRUE(calls.inputs.empty());
  options.CLBwins->setCurrentRow(0);
  calls.inputAnswers = {QString("titled")};
  options.RenameSelected();
  ASSERT_EQ(calls.inputs.size(), 1u);
  EXPECT_EQ(calls.inputs[0].caption, "Переименовать");
  EXPECT_EQ(calls.inputs[0].prompt, "название:");
  EXPECT_EQ(calls.inputs[0].text, "Report title");
  options.CLBwins->item(2)->setCheckState(Qt::Unchecked);
  calls.inputAnswers = {QString("New name")};
  options.RenameAt(options.CLBwins->visualItemRect(options.CLBwins->item(1)).center());

  // Escape cancels: the windows keep what they had.
  QTest::keyClick(options.CLBwins, Qt::Key_Escape);
  EXPECT_EQ(options.result(), 2);
  EXPECT_EQ(titled->ReportTitle(), "Report title");
  EXPECT_FALSE(user->InReport());

  // Enter in the list is OK.
  QTest::keyClick(options.CLBwins, Qt::Key_Return);
  EXPECT_EQ(options.result(), 1);
  EXPECT_EQ(titled->ReportTitle(), ""); // renamed to its own caption
  EXPECT_EQ(user->ReportTitle(), "New name");
  EXPECT_TRUE(user->InReport());
  EXPECT_FALSE(plain->InReport());
}

struct TReportNameCase {
  const char* name;
  const char* project;   // relative to the test folder; "" for a name without a folder
  std::vector<const char*> taken;
  const char* expected; // relative to the test folder
};

class ReportFileNameTest : public ::testing::TestWithParam<TReportNameCase> {};

TEST_P(ReportFileNameTest, BesideTheProjectNamedAfterItAndTheDay)
{
  const TReportNameCase& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath("p/other"));
  for (const char* name : c.taken)
    QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
  const QString project = QString(c.project).contains('/') ? dir.filePath(c.project) : QString(c.project);
  EXPECT_EQ(ReportFileName(project, dir.filePath("p/other"), QDate(2026, 3, 9)), dir.filePath(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFileNameTest,
    ::testing::Values(TReportNameCase{"Saved", "p/run.vzt", {}, "p/run - отчет 2026-03-09.docx"},
                      TReportNameCase{"Taken", "p/run.vzt", {"p/run - отчет 2026-03-09.docx", "p/run - отчет 2026-03-09 (2).docx"},
                                      "p/run - отчет 2026-03-09 (3).docx"},
                      TReportNameCase{"NeverSaved", "Новый", {}, "p/other/Новый - отчет 2026-03-09.docx"},
                      TReportNameCase{"FolderGone", "gone/run.vzt", {}, "p/other/run - отчет 2026-03-09.docx"}),
    [](const ::testing::TestParamInfo<TReportNameCase>& info) { return std::string(info.param.name); });

TEST(ReportPictures, LaidOutAtTheNormalSizeOrWidenedToBeRead)
{
  EXPECT_EQ(PrintLayoutSize(QSize(640, 480)), QSize(640, 480));
  EXPECT_EQ(PrintLayoutSize(QSize(1200, 300)), QSize(1200, 300));
  EXPECT_EQ(PrintLayoutSize(QSize(120, 100)), QSize(400, 333));
  EXPECT_EQ(PrintLayoutSize(QSize(100, 400)), QSize(400, 1600));
  EXPECT_EQ(PrintLayoutSize(QSize()).width(), 400);
  EXPECT_GE(PrintLayoutSize(QSize(1, 1)).width() * PrintScale, 600);
}

// The report of a saved project through the menu, with the program's own
// word processor: where it goes, with which mode, and what the student is told.
class ReportFileTest : public ProjectWindowTest {
protected:
  void SetUp() override
  {
    ProjectWindowTest::SetUp();
    main->MINewClick();
    main->UpdateCaption(dir.filePath("run.vzt"));
    path = qgetenv("PATH");
  }
  void TearDown() override
  {
    qputenv("PATH", path);
    ProjectWindowTest::TearDown();
  }
  QString Expected(int n = 1) const
  {
    const QString base = dir.filePath("run - отчет " + QDate::currentDate().toString("yyyy-MM-dd"));
    return n == 1 ? base + ".docx" : QString("%1 (%2).docx").arg(base).arg(n);
  }
  // A stand-in for LibreOffice that notes its arguments and ends with the status.
  void FakeOffice(int status)
  {
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    QFile script(dir.filePath("bin/soffice"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QString("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\nexit %2\n").arg(dir.filePath("args")).arg(status).toUtf8());
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(dir.filePath("bin")));
  }
  QByteArray path;
};

TEST_F(ReportFileTest, ShownBesideTheProjectAndSaidWhereWhenNothingOpensIt)
{
  calls.urlsOpen = false;
  calls.dialogAnswers = {1};
  ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportWord));
  ASSERT_TRUE(QFileInfo::exists(Expected()));
  ASSERT_EQ(calls.urls.size(), 1u);
  EXPECT_EQ(calls.urls[0].toLocalFile(), Expected());
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_EQ(calls.messages[0].icon, QMessageBox::Information);
  EXPECT_TRUE(calls.messages[0].text.contains(Expected())) << calls.messages[0].text.toStdString();
  // The mode other saved files get.
  QSaveFile saved(dir.filePath("saved"));
  ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
  ASSERT_TRUE(saved.commit());
  EXPECT_EQ(QFileInfo(Expected()).permissions(), QFileInfo(dir.filePath("saved")).permissions());

  // The next report of the day does not overwrite the first; opened, it says nothing.
  calls.urlsOpen = true;
  calls.dialogAnswers = {1};
  ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportWord));
  EXPECT_TRUE(QFileInfo::exists(Expected(2)));
  EXPECT_EQ(calls.messages.size(), 1u);
}

TEST_F(ReportFileTest, PrintingSaysWhereItWentAndNamesLibreOfficeWhenItFails)
{
  struct {
    int office; // -1: none installed
    QMessageBox::Icon icon;
    const char* says;
  } cases[] = {{0, QMessageBox::Information, "отправлен на печать"},
               {1, QMessageBox::Warning, "LibreOffice"},
               {-1, QMessageBox::Warning, "LibreOffice"}};
  int n = 0;
  for (const auto& c : cases) {
    if (c.office >= 0)
      ASSERT_NO_FATAL_FAILURE(FakeOffice(c.office));
    else
      qputenv("PATH", QFile::encodeName(dir.filePath("nowhere")));
    calls.messages.clear();
    calls.dialogAnswers = {1};
    ASSERT_TRUE(TriggerThroughMenus(*main, main->MIReportPrint));
    ++n;
    ASSERT_EQ(calls.messages.size(), 1u) << c.office;
    EXPECT_EQ(calls.messages[0].icon, c.icon) << c.office;
    EXPECT_TRUE(calls.messages[0].text.contains(QString::fromUtf8(c.says))) << calls.messages[0].text.toStdString();
    EXPECT_TRUE(calls.messages[0].text.contains(Expected(n))) << calls.messages[0].text.toStdString();
    EXPECT_FALSE(calls.messages[0].text.contains("Word"));
    if (c.office == 0) {
      QFile args(dir.filePath("args"));
      ASSERT_TRUE(args.open(QIODevice::ReadOnly));
      EXPECT_EQ(QString::fromUtf8(args.readAll()).split('\n', Qt::SkipEmptyParts),
                (QStringList{"--headless", "-p", Expected(n)}));
    }
  }
}

// The program's own word processor: the document it writes for a report.
TEST(DocxReport, TheDocumentHoldsTextTablesAndPictures)
{
  TReportValues values;
  values.lastOpenedPath = "/data/run_0003.vzt";
  values.dt = 1.5e-9;
  values.genU = 2e5;
  values.materials = {{1, 2.5, 30, 4, 5, 6, 7, 8, 9, 10}};
  std::vector<TReportWindow> windows{Window(true, "Объем", Filled(40, 30))};
  TDocxWordBasic word;
  BuildWordReport(word, values, windows, true);
  const QString document = QString::fromUtf8(word.DocumentXml());
  for (const char* expected : {"Параметры", "Результаты", "Генератор", "Рис. 1 Объем", "κ</w:t>", ", m</w:t>",
                               "Δ</w:t>", "w:pos=\"2552\"", "<w:tab w:val=\"center\" w:pos=\"7655\"/>",
                               "cx=\"3060000\" cy=\"2296800\"", "w:val=\"superscript\"", "<w:tbl>",
                               "w:top=\"1134\"", "<w:bottom w:val=\"single\" w:sz=\"8\""})
    EXPECT_TRUE(document.contains(QString::fromUtf8(expected))) << expected;
  for (const QByteArray& part : {word.DocumentXml(), word.HeaderXml(), word.FooterXml()}) {
    QXmlStreamReader reader(part);
    while (!reader.atEnd())
      reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  }
  EXPECT_TRUE(QString::fromUtf8(word.HeaderXml()).contains("/data/run_0003.vzt"));
  EXPECT_TRUE(QString::fromUtf8(word.FooterXml()).contains(" PAGE "));

  QTemporaryDir dir;
  const QString file = dir.filePath("report.docx");
  ASSERT_TRUE(word.WriteDocx(file));
  int error = 0;
  zip_t* archive = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &error);
  ASSERT_NE(archive, nullptr);
  for (const char* part : {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/_rels/document.xml.rels",
                           "word/header1.xml", "word/footer1.xml", "word/media/image1.png"})
    EXPECT_GE(zip_name_locate(archive, part, 0), 0) << part;
  zip_close(archive);
  EXPECT_FALSE(word.WriteDocx(dir.filePath("missing/report.docx")));
}

TEST(DocxReport, CommandsOutOfPlaceAreRejected)
{
  TDocxWordBasic word;
  EXPECT_THROW(word.Insert("x"), EWordBasicError);
  word.FileNew("Normal");
  EXPECT_THROW(word.NextCell(), EWordBasicError);
  EXPECT_THROW(word.FormatPicture(1, "", "", "", "", 100, 100, "8.5 cm", "1 cm"), EWordBasicError);
  EXPECT_THROW(word.EditPaste(QImage()), EWordBasicError);
}

// Where LibreOffice is installed, the document opens in it and its text holds
// the captions and the values.
TEST(DocxReport, LibreOfficeReadsTheDocument)
{
  const QString office = QStandardPaths::findExecutable("soffice");
  if (office.isEmpty())
    GTEST_SKIP() << "LibreOffice is not installed";
  TReportValues values;
  values.genU = 2e5;
  TDocxWordBasic word;
  BuildWordReport(word, values, {Window(true, "Объем")}, true);
  QTemporaryDir dir;
  ASSERT_TRUE(word.WriteDocx(dir.filePath("report.docx")));
  QProcess convert;
  convert.start(office, {"--headless", "--convert-to", "txt:Text", "--outdir", dir.path(), dir.filePath("report.docx")});
  ASSERT_TRUE(convert.waitForFinished(120000));
  QFile text(dir.filePath("report.txt"));
  ASSERT_TRUE(text.open(QIODevice::ReadOnly));
  const QString content = QString::fromUtf8(text.readAll());
  for (const char* expected : {"Параметры", "Генератор", "200", "Рис. 1 Объем"})
    EXPECT_TRUE(content.contains(QString::fromUtf8(expected))) << expected;
}

TEST(DocxReport, ShownDocumentIsWrittenAndOpened)
{
  TScriptedModalCalls calls;
  TModalCallsScope scope(calls);
  QTemporaryDir dir;
  TDocxWordBasic word(dir.filePath("r.docx"));
  BuildWordReport(word, TReportValues(), {}, true);
  word.AppShow();
  ASSERT_EQ(calls.urls.size(), 1u);
  EXPECT_EQ(calls.urls[0].toLocalFile(), dir.filePath("r.docx"));
  EXPECT_EQ(word.WrittenFile(), dir.filePath("r.docx"));
  EXPECT_TRUE(QFileInfo(word.WrittenFile()).size() > 0);
  // Opened: nothing more to say.
  EXPECT_EQ(word.Feedback().icon, QMessageBox::NoIcon);
}

} // namespace
