// The dialogs as a student first meets them, opened from the main window's
// menu and pictured on the display (Xvfb under the test script, 96 dpi): every
// header, heading and label shows whole, the grids show their rows and columns
// without scrolling, and an error leaves the layout as it was. Sizes are
// measured with the fonts the widgets actually use, never in fixed pixels.
#include "support/ProjectTestSupport.h"

#include "data/TimeConversion.h"
#include "maps/Stringgrids.h"
#include "model/dialogs/FormElectrodes.h"
#include "model/dialogs/FormInhomogeneities.h"
#include "model/dialogs/FormParam.h"
#include "model/dialogs/FormParamStud.h"
#include "model/dialogs/ModelDialogCommands.h"
#include "shell/FormFlash.h"
#include "shell/FormOptions.h"
#include "../model/dialogs/ActingModalCalls.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

using namespace projecttest;

namespace {

QImage Picture(QWidget* window)
{
  QImage shot;
  if (QGuiApplication::platformName() == "xcb")
    shot = QGuiApplication::primaryScreen()->grabWindow(window->winId()).toImage();
  else
    shot = window->grab().toImage();
  return shot.convertToFormat(QImage::Format_RGB32);
}

// Keeps the picture beside the test program, for a look by eye.
void Keep(QWidget* window, const char* name)
{
  Picture(window).save(QCoreApplication::applicationDirPath() + "/" + name + ".png");
}

void ShowOnScreen(QWidget* window)
{
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  QTest::qWait(100);
}

// Drawn text leaves more than one colour in its area.
bool HasInk(const QImage& shot, const QRect& area)
{
  QSet<QRgb> colours;
  const QRect inside = area.intersected(shot.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      colours.insert(shot.pixel(x, y));
  return colours.size() > 1;
}

QRect InWindow(const QWidget* widget, const QWidget* window)
{
  return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// Every visible caption of the window shows whole and lies inside it.
void ExpectLabelsWhole(QWidget* window)
{
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (!label->isVisibleTo(window) || label->text().isEmpty() || !label->isVisible())
      continue;
    const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
    if (!label->wordWrap())
      EXPECT_LE(textWidth, label->contentsRect().width()) << label->text().toStdString();
    EXPECT_TRUE(window->rect().contains(InWindow(label, window))) << label->text().toStdString();
  }
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->text().isEmpty())
      continue;
    EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()))
        << button->text().toStdString();
    EXPECT_TRUE(window->rect().contains(InWindow(button, window))) << button->text().toStdString();
  }
}

// The grid shows every column and its first rows without scrolling sideways,
// each header in full, with its text drawn.
void ExpectGridWhole(QTableWidget* grid, QWidget* window, int rows)
{
  ASSERT_TRUE(grid->isVisible());
  const QImage shot = Picture(window);
  QHeaderView* header = grid->horizontalHeader();
  ASSERT_TRUE(header->isVisible());
  const int headerMargin = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  const QRect viewport = grid->viewport()->rect();
  int shownRows = 0;
  for (int r = 0; r < grid->rowCount() && shownRows < rows; ++r) {
    if (grid->isRowHidden(r))
      continue;
    ++shownRows;
    for (int c = 0; c < grid->columnCount(); ++c) {
      const QRect cell = grid->visualRect(grid->model()->index(r, c));
      EXPECT_TRUE(viewport.contains(cell)) << "row " << r << " column " << c;
    }
  }
  EXPECT_EQ(shownRows, rows);
  EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
  const QPoint headerAt = header->mapTo(window, QPoint(0, 0));
  for (int c = 0; c < grid->columnCount(); ++c) {
    const QString text = grid->horizontalHeaderItem(c)->text();
    EXPECT_GE(header->sectionSize(c), header->fontMetrics().horizontalAdvance(text) + headerMargin)
        << text.toStdString();
    const QRect section(headerAt.x() + header->sectionViewportPosition(c), headerAt.y(), header->sectionSize(c),
                        header->height());
    EXPECT_TRUE(HasInk(shot, section.adjusted(2, 2, -2, -2))) << text.toStdString();
  }
}

// The texts of a column fit their cells, on one line.
void ExpectCellsFit(QTableWidget* grid, int column)
{
  const int margin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
  for (int r = 0; r < grid->rowCount(); ++r) {
    const QString text = GridCell(*grid, column, r);
    EXPECT_LE(grid->fontMetrics().horizontalAdvance(text) + margin, grid->columnWidth(column)) << text.toStdString();
    EXPECT_EQ(grid->rowHeight(r), grid->verticalHeader()->defaultSectionSize());
  }
}

struct TLayout {
  QRect geometry;
  QList<int> columns;
  bool operator==(const TLayout&) const = default;
};

void PrintTo(const TLayout& layout, std::ostream* out)
{
  const QRect& g = layout.geometry;
  *out << g.x() << "," << g.y() << " " << g.width() << "x" << g.height() << " columns";
  for (int width : layout.columns)
    *out << " " << width;
}

TLayout LayoutOf(QWidget* dialog, const QList<QTableWidget*>& grids)
{
  TLayout layout{dialog->geometry(), {}};
  for (QTableWidget* grid : grids)
    for (int c = 0; c < grid->columnCount(); ++c)
      layout.columns.push_back(grid->columnWidth(c));
  return layout;
}

// The options dialog is made by the program's start, not with the model's dialogs.
class DialogScreenshotTest : public ModelDialogsTest {
protected:
  void SetUp() override
  {
    FOptions = new TFOptions();
    ModelDialogsTest::SetUp();
  }
  void TearDown() override
  {
    ModelDialogsTest::TearDown();
    delete FOptions;
    FOptions = nullptr;
  }
};

TEST_F(DialogScreenshotTest, ParameterDialogShowsItsGridsWholeAndKeepsItsLayoutAfterAnError)
{
  TLayout first;
  QString loadedStep;
  calls.whileShown = [&](QDialog* dialog) {
    ASSERT_EQ(dialog, FParam);
    ShowOnScreen(FParam);
    FParam->PageControl->setCurrentIndex(1);
    QTest::qWait(50);
    ExpectGridWhole(FParam->SGww, FParam, FParam->SGww->rowCount());
    ExpectCellsFit(FParam->SGww, 0);
    EXPECT_EQ(GridCell(*FParam->SGww, 0, 0), "( -2, -3 )");
    ExpectLabelsWhole(FParam);
    Keep(FParam, "param_potential");
    FParam->PageControl->setCurrentIndex(3);
    QTest::qWait(50);
    ExpectGridWhole(FParam->SGmm, FParam, FParam->SGmm->rowCount());
    EXPECT_FALSE(FParam->SGmm->verticalScrollBar()->isVisible());
    ExpectLabelsWhole(FParam);
    Keep(FParam, "param_material");
    first = LayoutOf(FParam, {FParam->SGww, FParam->SGmm});

    // A refused field: the dialog stays as it was, the field shows its old value.
    loadedStep = FParam->Edt->text();
    FParam->Edt->setText("abc");
    FParam->Bok->click();
    QTest::qWait(100);
    EXPECT_TRUE(FParam->isVisible());
    EXPECT_EQ(FParam->Edt->text(), loadedStep);
    EXPECT_EQ(LayoutOf(FParam, {FParam->SGww, FParam->SGmm}), first);
    ExpectLabelsWhole(FParam);
    FParam->hide();
  };
  calls.dialogAnswers = {QDialog::Rejected};
  main->MIModelParams->trigger();
  ASSERT_EQ(calls.messages.size(), 1u);
  EXPECT_TRUE(calls.messages[0].text.contains(QString::fromUtf8("рост")));

  // Opened again, it comes back the same.
  calls.whileShown = [&](QDialog*) {
    ShowOnScreen(FParam);
    EXPECT_EQ(LayoutOf(FParam, {FParam->SGww, FParam->SGmm}), first);
    FParam->hide();
  };
  calls.dialogAnswers = {QDialog::Rejected};
  main->MIModelParams->trigger();
}

TEST_F(DialogScreenshotTest, StudentParameterDialogShowsEveryCaption)
{
  calls.whileShown = [&](QDialog* dialog) {
    ASSERT_EQ(dialog, FParamStud);
    ShowOnScreen(FParamStud);
    ExpectLabelsWhole(FParamStud);
    Keep(FParamStud, "param_student");
    for (QLineEdit* edit : FParamStud->findChildren<QLineEdit*>()) {
      EXPECT_TRUE(edit->isVisible());
      EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(edit->text()));
    }
    FParamStud->hide();
  };
  calls.dialogAnswers = {QDialog::Rejected};
  main->MIModelParamsStud->trigger();
  EXPECT_EQ(calls.dialogs.size(), 1u);
}

// The group headings stand over their columns, in full.
void ExpectHeadingsOver(TModelTableDialog* dialog, const QList<std::tuple<QString, int, int>>& groups)
{
  ASSERT_EQ(dialog->GroupHeadings().size(), groups.size());
  const QImage shot = Picture(dialog);
  QHeaderView* header = dialog->SGdata->horizontalHeader();
  const int headerLeft = header->mapTo(dialog, QPoint(0, 0)).x();
  for (int i = 0; i < groups.size(); ++i) {
    const auto& [text, first, last] = groups[i];
    QLabel* heading = dialog->GroupHeadings()[i];
    EXPECT_EQ(heading->text(), text);
    EXPECT_TRUE(heading->isVisible()) << text.toStdString();
    const QRect at = InWindow(heading, dialog);
    EXPECT_EQ(at.left(), headerLeft + header->sectionViewportPosition(first)) << text.toStdString();
    EXPECT_EQ(at.right(), headerLeft + header->sectionViewportPosition(last) + header->sectionSize(last) - 1);
    EXPECT_LE(at.bottom(), header->mapTo(dialog, QPoint(0, 0)).y()) << "above the column headers";
    EXPECT_LE(heading->fontMetrics().horizontalAdvance(text), at.width()) << text.toStdString();
    EXPECT_TRUE(HasInk(shot, at)) << text.toStdString();
  }
}

TEST_F(DialogScreenshotTest, ElectrodeTableShowsItsGroupHeadingsAndHeaders)
{
  calls.whileShown = [&](QDialog* dialog) {
    ASSERT_EQ(dialog, FElectrodes);
    ShowOnScreen(FElectrodes);
    ExpectHeadingsOver(FElectrodes, {{QString::fromUtf8("точка начала"), 0, 3}, {QString::fromUtf8("точка конца"), 4, 7}});
    ExpectGridWhole(FElectrodes->SGdata, FElectrodes, FElectrodes->SGdata->rowCount() - 1);
    ExpectLabelsWhole(FElectrodes);
    Keep(FElectrodes, "electrodes");
    FElectrodes->hide();
  };
  calls.dialogAnswers = {QDialog::Rejected};
  main->MIElectrodes->trigger();
}

TEST_F(DialogScreenshotTest, InhomogeneityTableHasDropDownCellsThatOpenOnAClickAnywhere)
{
  calls.whileShown = [&](QDialog* dialog) {
    ASSERT_EQ(dialog, FInhomogeneities);
    TFInhomogeneities* table = FInhomogeneities;
    ShowOnScreen(table);
    ExpectHeadingsOver(table, {{QString::fromUtf8("положение центра"), 0, 2}, {QString::fromUtf8("размеры"), 3, 5}});
    ExpectGridWhole(table->SGdata, table, 1);
    EXPECT_EQ(table->SGdata->horizontalHeaderItem(11)->text(), QString::fromUtf8("прозр."));
    ExpectLabelsWhole(table);
    Keep(table, "inhomogeneities");

    // The button at the right of the shape and transparency cells: grey, with a black arrow.
    const QImage shot = Picture(table);
    const QPoint viewportAt = table->SGdata->viewport()->mapTo(table, QPoint(0, 0));
    for (int col : {9, 11}) {
      const QRect cell = table->SGdata->visualRect(table->SGdata->model()->index(1, col)).translated(viewportAt);
      const int buttonLeft = cell.right() - 11;
      EXPECT_EQ(shot.pixel(buttonLeft + 1, cell.bottom() - 1) & 0xFFFFFF, 0xC0C0C0u) << col;
      const int arrowTop = cell.top() + std::max(1, (cell.height() - 5) / 2);
      EXPECT_EQ(shot.pixel(buttonLeft + 6, arrowTop + 1) & 0xFFFFFF, 0u) << col;
    }
    // The longest names stay clear of the button.
    const int margin = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table->SGdata) + 1);
    for (auto [col, text] : {std::pair{9, "эллипсоид"}, std::pair{9, "\"кубик\""}, std::pair{11, "100%"}})
      EXPECT_LE(table->SGdata->fontMetrics().horizontalAdvance(QString::fromUtf8(text)) + margin + 12,
                table->SGdata->columnWidth(col))
          << text;
    // A click in the middle of the cell, far from the button, opens the menu.
    for (auto [col, menu] : {std::pair{9, table->PMshape}, std::pair{11, table->PMalpha}}) {
      const QRect cell = table->SGdata->visualRect(table->SGdata->model()->index(1, col));
      QTest::mouseClick(table->SGdata->viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 3, cell.center().y()));
      EXPECT_TRUE(WaitFor([menu = menu] { return menu->isVisible(); })) << col;
      EXPECT_EQ(table->PopupCol(), col);
      menu->hide();
    }
    table->hide();
  };
  calls.dialogAnswers = {QDialog::Rejected};
  main->MIinhomogeneities->trigger();
}

TEST_F(DialogScreenshotTest, OptionsDialogShowsEveryCaption)
{
  bool shown = false;
  calls.whileShown = [&](QDialog* dialog) {
    ASSERT_EQ(dialog, FOptions);
    shown = true;
    ShowOnScreen(FOptions);
    ExpectLabelsWhole(FOptions);
    Keep(FOptions, "options");
    for (QLineEdit* edit : FOptions->findChildren<QLineEdit*>()) {
      const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
      EXPECT_GE(edit->width() - 2 * frame, edit->fontMetrics().horizontalAdvance(TFOptions::WidestTimeText))
          << edit->objectName().toStdString();
    }
    for (QGroupBox* group : FOptions->findChildren<QGroupBox*>())
      EXPECT_GE(group->width(), group->fontMetrics().horizontalAdvance(group->title())) << group->title().toStdString();
    FOptions->hide();
  };
  calls.dialogAnswers = {QDialog::Rejected};
  main->MIOptions->trigger();
  EXPECT_TRUE(shown);
}

TEST_F(DialogScreenshotTest, StatusPanelsShowTheirTextsWhole)
{
  main->resize(800, 600);
  ShowOnScreen(main.get());
  main->UpdateStatus();
  EXPECT_EQ(main->StatusText(1), QString::fromUtf8("расчет не запущен"));
  const QString iteration = QString::fromStdString(DurationToText(1.23456789e-7, 120, 0));
  for (const QString& text : {QString::fromUtf8("расчет не запущен"), iteration}) {
    main->SetStatusText(1, text);
    QTest::qWait(50);
    QStatusBar* bar = main->statusBar();
    const QImage shot = Picture(main.get());
    for (int panel = 1; panel < 4; ++panel) {
      auto* label = bar->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(panel));
      ASSERT_NE(label, nullptr);
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width())
          << label->text().toStdString();
      const QRect at = InWindow(label, main.get());
      EXPECT_LE(at.right(), main->width() - 1) << "panel " << panel << " inside the window";
      if (!label->text().isEmpty())
        EXPECT_TRUE(HasInk(shot, at.adjusted(2, 2, -2, -2))) << panel;
    }
  }
}

TEST(SplashScreenshot, PictureReachesTheTopAndBottomEdges)
{
  QWidget mainWindow;
  TFFlash flash(&mainWindow);
  flash.FormCreate(false, false);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&flash));
  QTest::qWait(100);
  const QImage shot = Picture(&flash);
  ASSERT_EQ(shot.size(), QSize(300, 225));
  // The sky's gradient runs to the edges: no band of another colour above or below.
  const auto near = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 16 && std::abs(qGreen(a) - qGreen(b)) <= 16 &&
           std::abs(qBlue(a) - qBlue(b)) <= 16;
  };
  for (int x : {4, 12, 288, 295}) {
    EXPECT_TRUE(near(shot.pixel(x, 1), shot.pixel(x, 16))) << "top, x " << x;
    EXPECT_TRUE(near(shot.pixel(x, shot.height() - 2), shot.pixel(x, shot.height() - 17))) << "bottom, x " << x;
  }
  flash.Finish();
}

}  // namespace

namespace {

// How far a button's picture strays from its own background colour.
long Ink(const QImage& shot, const QRect& button)
{
  const QRgb background = shot.pixel(button.left() + 1, button.top() + 1);
  long sum = 0;
  for (int y = button.top(); y <= button.bottom(); ++y)
    for (int x = button.left(); x <= button.right(); ++x) {
      const QRgb p = shot.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(background)) + std::abs(qGreen(p) - qGreen(background)) +
             std::abs(qBlue(p) - qBlue(background));
    }
  return sum;
}

TEST(ToolBarScreenshot, DisabledRunButtonsArePlainlyFainterThanEnabledOnes)
{
  TTestModelMaker maker;
  TFMain main({});
  main.SetModelWindowMaker(&maker);
  main.MINewClick();
  main.resize(900, 600);
  ShowOnScreen(&main);
  // Before a run only the start button may be pressed.
  ASSERT_TRUE(main.Bstart->isEnabled());
  ASSERT_FALSE(main.Bpause->isEnabled());
  ASSERT_FALSE(main.Bstop->isEnabled());
  // Each button against itself: pictured as the program left it, then enabled.
  const auto inkOf = [&](QAction* action) {
    QWidget* button = main.TBmodel->widgetForAction(action);
    return Ink(Picture(&main), InWindow(button, &main).adjusted(1, 1, -1, -1));
  };
  for (QAction* action : {main.Bpause, main.Bstop}) {
    const long faint = inkOf(action);
    action->setEnabled(true);
    QTest::qWait(50);
    const long plain = inkOf(action);
    EXPECT_GT(plain, 0) << action->objectName().toStdString();
    EXPECT_LT(faint, plain / 2) << action->objectName().toStdString();
  }
}

}  // namespace
