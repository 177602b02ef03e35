// A caption shows whole in the title bar: the dialogs are wide enough for it.
#include "support/ProjectTestSupport.h"

#include "base/CaptionWidth.h"
#include "base/QtModalCalls.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>

#include <gtest/gtest.h>

using namespace projecttest;

namespace {

// Widths the dialogs had when they were shown, against what their captions need.
struct TShownWidth {
  QString caption;
  int width = 0;
  int needed = 0;
};

class CaptionTest : public ModelDialogsTest {
protected:
  std::vector<TShownWidth> ShownWhile(const std::function<void()>& command)
  {
    std::vector<TShownWidth> shown;
    calls.whileShown = [&](QDialog* dialog) {
      dialog->show();
      shown.push_back({dialog->windowTitle(), dialog->frameGeometry().width(), CaptionWidth(*dialog)});
      dialog->hide();
    };
    command();
    calls.whileShown = nullptr;
    return shown;
  }
};

TEST_F(CaptionTest, DialogsOfTheMenusAreWideEnoughForTheirCaptions)
{
  std::vector<TShownWidth> shown;
  for (QAction* item : {main->MIModelParamsStud, main->MIModelParams, main->MIReportWord}) {
    std::vector<TShownWidth> more = ShownWhile([item] { item->trigger(); });
    EXPECT_EQ(more.size(), 1u) << item->text().toStdString();
    shown.insert(shown.end(), more.begin(), more.end());
  }
  for (const TShownWidth& each : shown) {
    EXPECT_FALSE(each.caption.isEmpty());
    EXPECT_GE(each.width, each.needed) << each.caption.toStdString();
  }
}

TEST(InputBoxCaption, TheInputBoxIsWideEnoughForItsCaption)
{
  TQtModalCalls qt;
  int width = 0, needed = 0;
  QTimer::singleShot(0, [&] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      width = box->frameGeometry().width();
      needed = CaptionWidth(*box);
      qobject_cast<QDialog*>(box)->reject();
    }
  });
  EXPECT_FALSE(qt.InputBox(nullptr, QString::fromUtf8("Индекс изображений"), QString::fromUtf8("начальное значение"),
                           "0"));
  EXPECT_GT(needed, 0);
  EXPECT_GE(width, needed);
}

} // namespace
