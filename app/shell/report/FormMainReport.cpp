// The main window's report commands: the options dialog, then the report
// written, shown or printed, with the progress window meanwhile.
#include "shell/FormMain.h"

#include "base/FormSimpleView.h"
#include "base/ModalCalls.h"
#include "model/FormBitModel.h"
#include "shell/report/DocxWordBasic.h"
#include "shell/FormInfo.h"
#include "shell/report/FormReportOptions.h"
#include "shell/report/WordBasic.h"
#include "shell/report/WordReport.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>

TFReportOptions* TFMain::ReportOptions()
{
  if (!FReportOptions)
    FReportOptions = new TFReportOptions(this);
  return FReportOptions;
}

void TFMain::SetWordBasicMaker(std::function<std::unique_ptr<TWordBasic>()> maker) { FWordMaker = std::move(maker); }

void TFMain::MIReportClick(bool print)
{
  TFReportOptions* options = ReportOptions();
  options->FillList(ViewsLastFirst());
  if (ModalCalls().ExecDialog(options) != 1)
    return;
  if (FInfo)
    FInfo->ShowText(QString(print ? "печать" : "форматирование") + " ...", "Подготовка отчета", nullptr);
  QCoreApplication::processEvents();
  if (print)
    PrintWordReport();
  else
    ShowWordReport();
  if (FInfo)
    FInfo->hide();
}

void TFMain::BuildReport(TWordBasic& word)
{
  auto* model = dynamic_cast<TFBitModel*>(FModel);
  // No model, no values: the report ends as one that cannot be written.
  if (!model)
    throw EWordBasicError("no model");
  const TReportValues values = CollectReportValues(*model, FLastOpenedPath);
  std::vector<TReportWindow> windows;
  for (TFSimpleView* view : ViewsLastFirst()) {
    TReportWindow window;
    window.inReport = view->InReport();
    window.title = view->ReportTitle().isEmpty() ? view->windowTitle() : view->ReportTitle();
    window.picture = [view] {
      // Cleared first, so a view that copies nothing gives no picture rather
      // than whatever the clipboard held before.
      QClipboard* clipboard = QApplication::clipboard();
      clipboard->clear();
      view->CopyToClipboard();
      return clipboard->image();
    };
    windows.push_back(std::move(window));
  }
  BuildWordReport(word, values, windows, ReportOptions()->Numbering());
}

std::unique_ptr<TWordBasic> TFMain::MakeWordBasic() const
{
  return FWordMaker ? FWordMaker() : std::make_unique<TDocxWordBasic>();
}

void TFMain::ShowWordReport()
{
  try {
    std::unique_ptr<TWordBasic> word = MakeWordBasic();
    BuildReport(*word);
    word->AppShow();
  } catch (const std::exception&) {
    ShowErrorMessage(this, "Невозможно открыть документ MS Word");
  }
}

void TFMain::PrintWordReport()
{
  try {
    std::unique_ptr<TWordBasic> word = MakeWordBasic();
    BuildReport(*word);
    word->FilePrint();
    word->FileClose(2);
    word->FileExit();
  } catch (const std::exception&) {
    ShowErrorMessage(this, "Невозможно открыть документ MS Word");
  }
}
