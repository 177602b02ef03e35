// The report and the picture export of the program's real view windows: a 3D
// view and three charts of a paused run, reported through the menu whatever
// window is maximised, the document read back and, where LibreOffice is
// installed, turned into a PDF whose pages, pictures and texts are checked.
#include "support/MenuPath.h"
#include "support/ProjectTestSupport.h"

#include "gis/GObj.h"
#include "plots/FormDimPlot.h"
#include "plots/FormSelectTimeSeries.h"
#include "plots/FormTimePlot.h"
#include "plots/FormTreePlot.h"
#include "shell/PlotWindowMakers.h"
#include "shell/ViewMakers.h"
#include "shell/report/DocxWordBasic.h"
#include "views3d/FormBit3DView.h"
#include "views3d/FrameCubuiqe.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <zip.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace projecttest;
using menupath::TriggerThroughMenus;

constexpr int CodePotential = 20001;

// The pictures of a .docx in the order of the document (image1, image2 ...).
std::vector<QImage> DocxPictures(const QString& file)
{
  std::vector<QImage> pictures;
  int error = 0;
  zip_t* archive = zip_open(QFile::encodeName(file).constData(), ZIP_RDONLY, &error);
  if (!archive)
    return pictures;
  for (int k = 1;; ++k) {
    const QByteArray name = QString("word/media/image%1.png").arg(k).toUtf8();
    zip_stat_t stat;
    if (zip_stat(archive, name.constData(), 0, &stat) != 0)
      break;
    QByteArray bytes(static_cast<qsizetype>(stat.size), '\0');
    zip_file_t* part = zip_fopen(archive, name.constData(), 0);
    zip_fread(part, bytes.data(), stat.size);
    zip_fclose(part);
    pictures.push_back(QImage::fromData(bytes, "PNG"));
  }
  zip_close(archive);
  return pictures;
}

double Aspect(QSize size)
{
  return double(size.width()) / size.height();
}

// Output of a tool, or nothing when it cannot be run.
QString ToolOutput(const QString& program, const QStringList& arguments, int milliseconds = 120000)
{
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(milliseconds) || process.exitStatus() != QProcess::NormalExit)
    return QString();
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The program's own view windows in place of the recording ones.
class ReportOfViewWindowsTest : public ProjectWindowTest {
protected:
  void SetUp() override
  {
    ProjectWindowTest::SetUp();
    RegisterViewMakers(store.Views());
    RegisterPlotWindows(store.Views());
    main->SetViewFactory(&store.Views());
    main->resize(1100, 800);
    ProcessPostedEvents();
    main->MINewClick();
    main->UpdateCaption(dir.filePath("needle.vzt"));
    // A run paused at its first event: the charts have something to show.
    main->Model()->SetStopMode(TFModel::StopOnEvent);
    main->BStartClick();
    ASSERT_TRUE(ServeUntil([&] { return main->CalcState() == CalcPaused || main->CalcState() == CalcStopped; }));
    // Saved and opened again: the report is of a project file, named in its header.
    ASSERT_TRUE(main->MISaveClick(TSaveSender::MenuSave));
    main->OpenProject(dir.filePath("needle.vzt"));
    ASSERT_EQ(main->LastOpenedPath(), QFileInfo(dir.filePath("needle.vzt")).canonicalFilePath());
    ProcessPostedEvents();
  }
  template <class T> T* OpenThroughMenu(QAction* item)
  {
    const qsizetype before = main->Views().size();
    EXPECT_TRUE(TriggerThroughMenus(*main, item)) << item->objectName().toStdString();
    ProcessPostedEvents();
    if (main->Views().size() != before + 1)
      return nullptr;
    return qobject_cast<T*>(main->Views().last());
  }

  // A 3D view of the potential and the three charts, each at a size of its own.
  void OpenWindows()
  {
    auto* cube = OpenThroughMenu<TFBit3DView>(main->MINewCubuiqe);
    ASSERT_NE(cube, nullptr);
    emit cube->Viewer->PopupMenu()->aboutToShow();
    const int32_t potential = main->Gis()->FindArrayByCode(CodePotential)->GetId();
    for (QAction* item : cube->PMIArrays->actions())
      if (item->data().toInt() == potential)
        item->trigger();
    auto* time = OpenThroughMenu<TFTimePlot>(main->MINewPlot);
    ASSERT_NE(time, nullptr);
    ASSERT_GT(main->Model()->GetSeriesCount(), 1);
    time->SeriesItemClick(KeyOf(*main->Model()->GetSeries(0)));
    time->SeriesItemClick(KeyOf(*main->Model()->GetSeries(1)));
    timePlot = time;
    ASSERT_NE(OpenThroughMenu<TFTreePlot>(main->MINewTreePlot), nullptr);
    ASSERT_NE(OpenThroughMenu<TFDimPlot>(main->MIDimension), nullptr);
    const QSize frames[] = {QSize(460, 380), QSize(520, 300), QSize(330, 290), QSize(300, 360)};
    int k = 0;
    for (TFSimpleView* view : main->Views())
      view->parentWidget()->resize(frames[k++]);
    ProcessPostedEvents();
    for (TFSimpleView* view : main->Views())
      normal[view] = view->size();
  }

  // The report through "Инструменты" → "Отчет" → "Просмотр ...", written where the test says.
  QString Report(const QString& name)
  {
    const QString file = dir.filePath(name);
    main->SetWordBasicMaker([file] { return std::make_unique<TDocxWordBasic>(file); });
    calls.dialogAnswers = {1};
    EXPECT_TRUE(TriggerThroughMenus(*main, main->MIReportWord));
    EXPECT_TRUE(calls.messages.empty()) << calls.messages.front().text.toStdString();
    return file;
  }

  std::map<TFSimpleView*, QSize> normal;
  TFTimePlot* timePlot = nullptr;
};

TEST_F(ReportOfViewWindowsTest, PicturesAreReadableWhateverWindowIsMaximised)
{
  ASSERT_NO_FATAL_FAILURE(OpenWindows());
  const QList<TFSimpleView*> views = main->ViewsLastFirst();
  ASSERT_EQ(views.size(), 4);
  // No window maximised, then each in turn.
  for (int maximised = -1; maximised < views.size(); ++maximised) {
    for (TFSimpleView* view : views)
      view->parentWidget()->showNormal();
    if (maximised >= 0)
      views[maximised]->parentWidget()->showMaximized();
    ProcessPostedEvents();
    std::map<TFSimpleView*, QSize> onScreen;
    for (TFSimpleView* view : views)
      onScreen[view] = view->size();
    const std::vector<QImage> pictures = DocxPictures(Report(QString("report%1.docx").arg(maximised + 1)));
    ASSERT_EQ(pictures.size(), 4u) << maximised;
    for (size_t k = 0; k < pictures.size(); ++k) {
      TFSimpleView* view = views[static_cast<qsizetype>(k)];
      const std::string which = view->windowTitle().toStdString() + " with " + std::to_string(maximised);
      EXPECT_EQ(view->NormalClientSize(), normal[view]) << which;
      EXPECT_GE(pictures[k].width(), 600) << which;
      EXPECT_NEAR(Aspect(pictures[k].size()), Aspect(normal[view]), 0.02) << which;
      // The report changed nothing on the screen.
      EXPECT_EQ(view->size(), onScreen[view]) << which;
    }
  }
}

// A chart exported right after its rebuild shows what it shows once Qt Charts
// has laid it out: the legend and the right axis are in the picture.
TEST_F(ReportOfViewWindowsTest, ChartPicturesTakenRightAfterARebuildHaveTheirLegend)
{
  ASSERT_NO_FATAL_FAILURE(OpenWindows());
  ProcessPostedEvents();
  timePlot->Refresh();
  const QString now = dir.filePath("now.bmp");
  timePlot->SaveBitmap(now);
  ProcessPostedEvents();
  EXPECT_FALSE(timePlot->Chart()->legend()->markers().isEmpty());
  EXPECT_EQ(QImage(now).convertToFormat(QImage::Format_RGB888), timePlot->Picture());
}

// The document as LibreOffice reads it: converted to PDF, its page, its
// pictures (their number, size and shape) and the texts of the tables.
TEST_F(ReportOfViewWindowsTest, LibreOfficeReadsTheReportWithItsPictures)
{
  const QString office = QStandardPaths::findExecutable("soffice");
  const bool required = std::getenv("KESTOVAR_REQUIRE_OFFICE") != nullptr;
  if (office.isEmpty() || QStandardPaths::findExecutable("pdfimages").isEmpty()) {
    if (required)
      FAIL() << "LibreOffice (soffice) and poppler-utils are needed";
    GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
  }
  ASSERT_NO_FATAL_FAILURE(OpenWindows());
  const QList<TFSimpleView*> views = main->ViewsLastFirst();
  views[1]->parentWidget()->showMaximized();
  ProcessPostedEvents();
  const QString docx = Report("report.docx");
  // A profile of its own: another LibreOffice running on the machine is not disturbed.
  const QString profile = QUrl::fromLocalFile(dir.filePath("profile")).toString();
  ToolOutput(office, {"-env:UserInstallation=" + profile, "--headless", "--convert-to", "pdf", "--outdir", dir.path(), docx});
  const QString pdf = dir.filePath("report.pdf");
  ASSERT_TRUE(QFileInfo::exists(pdf));

  const QRegularExpression pages("Pages:\\s+(\\d+)");
  const QRegularExpressionMatch count = pages.match(ToolOutput("pdfinfo", {pdf}));
  ASSERT_TRUE(count.hasMatch());
  EXPECT_GE(count.captured(1).toInt(), 1);
  EXPECT_LE(count.captured(1).toInt(), 2);

  const QString text = ToolOutput("pdftotext", {"-enc", "UTF-8", pdf, "-"});
  for (const char* expected : {"Параметры", "Результаты", "Генератор", "Dim.", "kV", "ns", "Рис. 1", "Рис. 4"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
  EXPECT_TRUE(text.contains("needle.vzt")) << text.toStdString();

  // pdfimages -list: page num type width height ... one line per picture.
  std::vector<QSize> images;
  for (const QString& line : ToolOutput("pdfimages", {"-list", pdf}).split('\n')) {
    const QStringList cells = line.simplified().split(' ');
    if (cells.size() > 4 && cells[2] == "image")
      images.emplace_back(cells[3].toInt(), cells[4].toInt());
  }
  ASSERT_EQ(images.size(), 4u);
  for (size_t k = 0; k < images.size(); ++k) {
    TFSimpleView* view = views[static_cast<qsizetype>(k)];
    EXPECT_GE(images[k].width(), 600) << k;
    EXPECT_NEAR(Aspect(images[k]), Aspect(normal[view]), 0.02) << k;
  }
}

} // namespace
