#include "shell/report/WordReport.h"

#include "model/FormBitModel.h"
#include "shell/report/WordBasic.h"

#include <korvane.h>


#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const QString Dot = QString::fromUtf8("·");

void InsertText(TWordBasic& word, const QString& text) { word.Insert(text); }

// Text between two calls of a format switch that toggles it on and off.
void InsertToggled(TWordBasic& word, void (TWordBasic::*toggle)(), const QString& text)
{
  (word.*toggle)();
  word.Insert(text);
  (word.*toggle)();
}

void InsertUnderlined(TWordBasic& word, const QString& text) { InsertToggled(word, &TWordBasic::Underline, text); }

void InsertItalic(TWordBasic& word, const QString& text) { InsertToggled(word, &TWordBasic::Italic, text); }

void InsertSubscript(TWordBasic& word, const QString& text) { InsertToggled(word, &TWordBasic::Subscript, text); }

void InsertSuperscript(TWordBasic& word, const QString& text) { InsertToggled(word, &TWordBasic::Superscript, text); }

void InsertSymbol(TWordBasic& word, const QString& text)
{
  const QString font = word.FontName();
  word.Font("Symbol", std::nullopt);
  word.Insert(text);
  word.Font(font, std::nullopt);
}

void InsertSymbolSuperscript(TWordBasic& word, const QString& text)
{
  const QString font = word.FontName();
  word.Superscript();
  word.Font("Symbol", std::nullopt);
  word.Insert(text);
  word.Font(font, std::nullopt);
  word.Superscript();
}

// The multiplication sign of the Symbol font.
void InsertTimes(TWordBasic& word) { InsertSymbol(word, QString(QChar(0xB4))); }

// label \t = \t number \t unit, the line's end included in the unit text.
void ValueLine(TWordBasic& word, double value, const QString& unitAndEnd)
{
  word.Insert("\t=\t");
  InsertNumber(word, value);
  word.Insert(unitAndEnd);
}

void SelectTableInArial(TWordBasic& word)
{
  word.TableSelectTable();
  word.Font("Arial", 10);
}

void ParametersCell(TWordBasic& word, const TReportValues& v)
{
  InsertUnderlined(word, "Параметры");
  InsertText(word, ":\n");
  InsertSymbol(word, "D");
  InsertText(word, "t");
  ValueLine(word, v.dt, "\ts\n");
  InsertSymbol(word, "D");
  InsertItalic(word, "l");
  word.Insert("\t=\t");
  InsertNumber(word, v.cellSize1 * 1000);
  InsertTimes(word);
  InsertNumber(word, v.cellSize3 * 1000);
  InsertTimes(word);
  InsertNumber(word, v.cellSize2 * 1000);
  InsertText(word, "\tmm\n");
  InsertText(word, "Dim.");
  word.Insert("\t=\t");
  InsertNumber(word, v.n1 * v.cellSize1 * 100);
  InsertTimes(word);
  InsertNumber(word, v.n3 * v.cellSize3 * 100);
  InsertTimes(word);
  InsertNumber(word, v.n2 * v.cellSize2 * 100);
  InsertText(word, "\tcm\n");
  if (v.tau != 0) {
    InsertUnderlined(word, "Переменное");
    InsertUnderlined(word, " U");
    InsertText(word, ":\n");
    InsertText(word, "U");
    InsertText(word, "\t=\t");
    InsertText(word, "U");
    InsertSubscript(word, "0");
    InsertText(word, "(1-e");
    InsertSuperscript(word, "-");
    InsertSuperscript(word, "t/");
    InsertSymbolSuperscript(word, "q");
    InsertText(word, ")");
    InsertText(word, "\n");
    InsertSymbol(word, "q");
    ValueLine(word, v.tau * 1e9, "\tns\n");
    InsertText(word, "U");
    InsertSubscript(word, "0");
    ValueLine(word, v.u0max * 0.001, "\tkV\n");
  } else if (v.genU != 0) {
    InsertUnderlined(word, "Генератор");
    InsertText(word, ":\n");
    InsertText(word, "U");
    InsertSubscript(word, "0");
    ValueLine(word, v.genU * 0.001, "\tkV\n");
    InsertText(word, "C");
    InsertSubscript(word, "0");
    ValueLine(word, v.genC * 1e9, "\tnF\n");
    InsertText(word, "L");
    InsertSubscript(word, "0");
    ValueLine(word, v.genL * 1e6, "\tmkH\n");
    InsertText(word, "R");
    word.Insert("\t=\t");
    InsertNumber(word, v.genR1);
    if (v.genRT != 0) {
      InsertText(word, "+(");
      InsertNumber(word, v.genR0);
      InsertText(word, "-");
      InsertNumber(word, v.genR1);
      InsertText(word, ")" + Dot + "exp(-t/");
      InsertSymbol(word, "q");
      InsertText(word, ")");
      InsertText(word, "\tOm\n");
      InsertSymbol(word, "q");
      ValueLine(word, v.genRT * 1e9, "\tns\n");
    } else {
      InsertText(word, "\tOm\n");
    }
    InsertText(word, "C");
    InsertSubscript(word, "s");
    ValueLine(word, v.genCs * 1e12, "\tpF\n");
  } else {
    InsertUnderlined(word, "Постоянное");
    InsertUnderlined(word, " U");
    InsertText(word, ":\n");
    InsertText(word, "U");
    ValueLine(word, v.u0max * 0.001, "\tkV\n");
  }
  word.NextCell();
}

void ResultsCell(TWordBasic& word, const TReportValues& v)
{
  InsertUnderlined(word, "Результаты");
  InsertText(word, ":\n");
  for (const auto& [sub, value] : {std::pair<const char*, double>{"i", v.ti}, {"s", v.ts}, {"b", v.tb}}) {
    InsertText(word, "t");
    InsertSubscript(word, sub);
    ValueLine(word, value * 1e9, "\tns\n");
  }
  InsertText(word, "t\t=\t");
  InsertNumber(word, v.time * 1e9);
  InsertText(word, "\tns\n");
  InsertText(word, "U");
  ValueLine(word, v.appliedVoltage * 0.001, "\tkV\n");
  InsertText(word, "N");
  ValueLine(word, v.repeatCount, "\n");
  InsertText(word, "n\t=\t");
  InsertNumber(word, v.elementCount);
  InsertText(word, "\n");
  InsertText(word, "n");
  InsertSubscript(word, "ch");
  word.Insert("\t=\t");
  InsertNumber(word, v.channelCount);
  word.NextCell();
}

void StructureCell(TWordBasic& word, const TReportValues& v)
{
  InsertText(word, "\n");
  InsertText(word, "l\t=\t");
  InsertNumber(word, v.channelLength * 100);
  InsertText(word, "\tcm\n");
  InsertText(word, "r\t=\t");
  InsertNumber(word, v.structureSize * 100);
  InsertText(word, "\tcm\n");
  InsertText(word, "D\t=\t");
  InsertNumber(word, v.dimension);
  InsertText(word, "\n");
  const double meanDepth = v.limbHorizontal != 0 ? v.limbArea / v.limbHorizontal : 0.0;
  InsertSymbol(word, "X");
  ValueLine(word, v.limbArea * 1e6, "\tmm");
  InsertSuperscript(word, "2");
  InsertText(word, "\n");
  InsertText(word, "<d>");
  ValueLine(word, meanDepth * 1000, "\tmm\n");
  InsertText(word, "d");
  InsertSubscript(word, "max");
  ValueLine(word, v.limbMaxDepth * 1000, "\tmm\n");
  InsertItalic(word, "l");
  InsertSubscript(word, "2");
  ValueLine(word, v.limbLengthAbove * 1000, "\tmm\n");
  InsertText(word, "s");
  InsertSubscript(word, "12");
  ValueLine(word, v.limbRatio, "\t\n");
  InsertItalic(word, "L");
  InsertSubscript(word, "2");
  ValueLine(word, v.limbsLength * 1000, "\tmm");
  word.LineDown();
  InsertText(word, "\n");
}

void MaterialsTable(TWordBasic& word, const TReportValues& v)
{
  word.TableInsertTable(0, 10, 2);
  word.FormatBordersAndShading(3, 0, 0, 0, 2, 0, 0, 0);
  SelectTableInArial(word);
  word.StartOfColumn();
  word.StartOfRow();
  word.TableColumnWidth("1 cm", "0.3 cm", 0, 0, 0, 1);
  InsertText(word, "N");
  word.NextCell();
  word.TableColumnWidth("1 cm", "0.3 cm", 0, 0, 0, 1);
  InsertSymbol(word, "e");
  word.NextCell();
  InsertText(word, "E");
  InsertSubscript(word, "c");
  InsertText(word, ", MV/m");
  word.NextCell();
  InsertSymbol(word, "a");
  InsertText(word, ", m");
  InsertSuperscript(word, "2");
  InsertText(word, "/V");
  InsertSuperscript(word, "2");
  InsertText(word, Dot + "s");
  word.NextCell();
  InsertSymbol(word, "g");
  InsertSubscript(word, "0");
  InsertText(word, ", S" + Dot + "m");
  word.NextCell();
  InsertSymbol(word, "c");
  InsertText(word, ", S" + Dot + "m");
  InsertSuperscript(word, "2");
  InsertText(word, "/J");
  word.NextCell();
  InsertSymbol(word, "x");
  InsertText(word, ", s");
  InsertSuperscript(word, "-1");
  word.NextCell();
  InsertText(word, "E");
  InsertSubscript(word, "c");
  InsertSuperscript(word, "min");
  InsertText(word, " MV/m");
  word.NextCell();
  InsertSymbol(word, "b");
  InsertText(word, ", m");
  InsertSuperscript(word, "3");
  InsertText(word, "/J");
  word.NextCell();
  // Only the letter is a Symbol character: the unit stays in the table's font.
  InsertSymbol(word, "k");
  InsertText(word, ", m");
  word.TableSelectRow();
  word.BorderLineStyle(1);
  word.BorderBottom(1);
  word.Cancel();
  word.LineDown();
  for (int column = 0; column < 10; ++column) {
    if (column > 0)
      word.NextCell();
    for (size_t j = 0; j < v.materials.size(); ++j) {
      if (j > 0)
        InsertText(word, "\n");
      InsertNumber(word, v.materials[j][static_cast<size_t>(column)]);
    }
  }
  word.LineDown();
}

QString Caption(const TReportWindow& window, int figure, bool numbering)
{
  return numbering ? "Рис. " + QString::number(figure) + " " + window.title : window.title;
}

void CaptionRow(TWordBasic& word, const std::vector<QString>& captions)
{
  InsertText(word, "\n");
  word.TableInsertTable(0, 2, 1);
  word.FormatBordersAndShading(3, 0, 0, 0, 0, 0, 0, 0);
  SelectTableInArial(word);
  word.StartOfColumn();
  word.StartOfRow();
  InsertText(word, captions[0]);
  if (captions.size() > 1) {
    word.NextCell();
    InsertText(word, captions[1]);
  }
  word.LineDown();
}

void Pictures(TWordBasic& word, const std::vector<TReportWindow>& windows, bool numbering)
{
  word.FormatTabs("4.5 cm", "1 cm", 1, 0, 0);
  word.FormatTabs("13.5 cm", "1 cm", 1, 0, 0);
  std::vector<QString> row;
  int figures = 0;
  for (const TReportWindow& window : windows) {
    if (!window.inReport || !window.picture)
      continue;
    const QImage image = window.picture();
    // A window without a picture, or without a width to keep the ratio of,
    // takes no place in the rows and no figure number.
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
      continue;
    ++figures;
    row.push_back(Caption(window, figures, numbering));
    char height[32];
    std::snprintf(height, sizeof height, "%.3g cm", 8.5 * image.height() / image.width());
    InsertText(word, "\t");
    const int start = word.GetSelStartPos();
    word.EditPaste(image);
    const int end = word.GetSelStartPos();
    word.SetSelRange(start, end);
    word.FormatPicture(1, "-0.25 cm", "-0.25 cm", "-0.25 cm", "-0.25 cm", 100, 100, "8.5 cm", height);
    word.CharRight();
    if (row.size() == 2) {
      CaptionRow(word, row);
      row.clear();
    }
  }
  if (!row.empty())
    CaptionRow(word, row);
}

} // namespace

QSize PrintLayoutSize(QSize normalClientSize)
{
  // 400 pixels drawn twice as fine still show the tick labels readably at 8.5 cm.
  constexpr int narrowest = 400;
  if (normalClientSize.width() <= 0 || normalClientSize.height() <= 0)
    return QSize(narrowest, narrowest * 3 / 4);
  if (normalClientSize.width() >= narrowest)
    return normalClientSize;
  const int height = static_cast<int>(std::lround(double(normalClientSize.height()) * narrowest /
                                                  normalClientSize.width()));
  return QSize(narrowest, std::max(1, height));
}

void InsertNumber(TWordBasic& word, double value)
{
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3g", value);
  const QString text = QString::fromLatin1(buffer);
  const qsizetype e = text.indexOf('e');
  if (e < 0) {
    word.Insert(text);
    return;
  }
  QString exponent = text.mid(e + 2);
  while (exponent.size() > 1 && exponent.startsWith('0'))
    exponent.remove(0, 1);
  if (text[e + 1] == '-')
    exponent.prepend('-');
  word.Insert(text.left(e));
  word.Insert(Dot + "10");
  InsertSuperscript(word, exponent);
}

void BuildWordReport(TWordBasic& word, const TReportValues& values, const std::vector<TReportWindow>& windows,
                     bool numbering)
{
  word.FileNew("Normal");
  word.FilePageSetup(0, 1, "2.0 cm", "1.5 cm", "1.5 cm", "1.5 cm");
  word.InsertPageNumbers(1, 1, 1);
  word.ViewHeader();
  word.Font("Arial", 10);
  word.RightPara();
  InsertItalic(word, values.lastOpenedPath);
  word.CloseViewHeaderFooter();
  word.Font("Arial", 10);

  word.TableInsertTable(0, 3, 1);
  word.FormatBordersAndShading(3, 0, 0, 0, 0, 0, 0, 0);
  SelectTableInArial(word);
  word.FormatTabs("1.0 cm", "1 cm", 0, 0, 0);
  word.FormatTabs("1.5 cm", "1 cm", 0, 0, 0);
  word.FormatTabs("3.5 cm", "1 cm", 0, 0, 0);
  word.StartOfColumn();
  word.StartOfRow();
  ParametersCell(word, values);
  ResultsCell(word, values);
  StructureCell(word, values);
  MaterialsTable(word, values);
  Pictures(word, windows, numbering);
}

TReportValues CollectReportValues(TFBitModel& model, const QString& lastOpenedPath)
{
  TReportValues v;
  v.lastOpenedPath = lastOpenedPath;
  // The worker must not change the record while one moment is read from it.
  model.SuspendThread();
  if (THeap* heap = model.GetEngine()) {
    v.dt = heap->Dt;
    v.cellSize1 = heap->CellSize1;
    v.cellSize2 = heap->CellSize2;
    v.cellSize3 = heap->CellSize3;
    v.n1 = heap->N1;
    v.n2 = heap->N2;
    v.n3 = heap->N3;
    v.tau = heap->Tau;
    v.genU = heap->GenU;
    v.genC = heap->GenC;
    v.genL = heap->GenL;
    v.genR0 = heap->GenR0;
    v.genR1 = heap->GenR1;
    v.genRT = heap->GenRT;
    v.genCs = heap->GenCs;
    // Without electrodes the engine reports a "no value" maximum.
    v.u0max = heap->ElectrodeCount > 0 ? THeapGetU0max(heap) : 0.0;
    v.appliedVoltage = heap->AppliedVoltage;
    v.elementCount = heap->ElementCount;
    v.channelCount = heap->ChannelCount;
    v.channelLength = heap->ChannelLength;
    v.structureSize = heap->StructureSize;
    v.dimension = heap->Dimension;
    for (int j = 0; heap->Materials && j < heap->MaterialCount; ++j) {
      const TMaterial& m = heap->Materials[j];
      v.materials.push_back({double(j + 1), m.Eps, m.Ec * 1e-6, m.GrowthA, m.G0, m.Alpha, m.Beta,
                             m.EcTarget * 1e-6, m.EcAmplitude, m.EcWidth});
    }
    model.GetTreeLimbInfo(&v.limbArea, &v.limbHorizontal, &v.limbMaxDepth, &v.limbLengthAbove, &v.limbRatio);
    v.limbsLength = model.GetTreeLimbsLength();
  }
  v.ti = model.GetTimeTi();
  v.ts = model.GetTimeTs();
  v.tb = model.GetTimeTb();
  v.time = model.GetTime();
  v.repeatCount = model.GetRepeatCount();
  model.ResumeThread();
  return v;
}
