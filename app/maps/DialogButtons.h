#pragma once
// The "Ok" (default, result 1) and "Отмена" (cancel, result 2) pair of the
// small map dialogs, side by side below their content.
class QDialog;
class QPushButton;

void AddOkCancel(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel, int top);
