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

#include "data/qt/RegistrySettings.h"
#include "shell/report/ReportFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <functional>

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
    // At the size the window has when restored, whatever is maximised now,
    // and finer than the screen for print.
    window.picture = [view] { return view->PrintPicture(PrintLayoutSize(view->NormalClientSize()), PrintScale); };
    windows.push_back(std::move(window));
  }
  BuildWordReport(word, values, windows, ReportOptions()->Numbering());
}

std::unique_ptr<TWordBasic> TFMain::MakeWordBasic() const
{
  if (FWordMaker)
    return FWordMaker();
  QString folder = ReadLastProjectFolder();
  if (folder.isEmpty())
    folder = QDir::homePath();
  return std::make_unique<TDocxWordBasic>(ReportFileName(FProjectFileName, folder, QDate::currentDate()));
}

namespace {

const char* const ReportFailed = "Невозможно создать документ отчета.";

void ShowFeedback(QWidget* owner, const TWordBasic& word)
{
  const TWordFeedback feedback = word.Feedback();
  if (feedback.icon != QMessageBox::NoIcon)
    ModalCalls().Message(owner, feedback.icon, "Отчет", feedback.text, QMessageBox::Ok);
}

// Builds the report, hands it on, says what became of it; every failure ends
// in one message.
void WriteReport(TFMain& main, TWordBasic& word, const std::function<void(TWordBasic&)>& handOn)
{
  try {
    main.BuildReport(word);
    handOn(word);
    ShowFeedback(&main, word);
  } catch (const EReportFileError& e) {
    ShowErrorMessage(&main, QString(ReportFailed) + "\n" + e.Text());
  } catch (const std::exception&) {
    ShowErrorMessage(&main, ReportFailed);
  }
}

} // namespace

void TFMain::ShowWordReport()
{
  WriteReport(*this, *MakeWordBasic(), [](TWordBasic& word) { word.AppShow(); });
}

void TFMain::PrintWordReport()
{
  WriteReport(*this, *MakeWordBasic(), [](TWordBasic& word) {
    word.FilePrint();
    word.FileClose(2);
    word.FileExit();
  });
}
