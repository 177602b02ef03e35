#pragma once
// Read-only value fields with a caption label and hints, as the information
// windows lay them out, and the number formats they share.
#include <QString>

class QGridLayout;
class QLineEdit;
class QWidget;

QLineEdit* AddInfoField(QGridLayout* grid, int row, int column, const char* name, const QString& caption,
                        const char* hint);
// Makes the field wide enough to show the text whole.
void FitInfoField(QLineEdit* edit, const QString& widest);
// General format with the given significant digits and the program's separator.
QString InfoNumber(double value, int digits = 6);
// The longest text InfoNumber gives with the digits: negative, a 3-digit exponent.
QString WidestInfoNumber(int digits = 6);
