#pragma once
// Moving along a table row as a user does: the text editor of a cell opened
// with F2 and left with Tab. The grid then stands on the next cell; the test
// says whether that cell got an editor.
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

inline void TabOutOfEditor(QTableWidget& grid, int row, int column)
{
  grid.setCurrentCell(row, column);
  QTest::keyClick(&grid, Qt::Key_F2);
  QWidget* editor = grid.indexWidget(grid.currentIndex());
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Tab);
  ASSERT_EQ(grid.currentColumn(), column + 1);
}

inline bool EditorOpen(const QTableWidget& grid)
{
  return grid.indexWidget(grid.currentIndex()) != nullptr;
}
