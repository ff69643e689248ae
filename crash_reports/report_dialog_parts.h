// What the two report dialogs (an error the program went on after, a fatal
// error of the last run) are built from, so that they read alike.
#pragma once

#include <QDialogButtonBox>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace kestrum {

// Plain text that wraps at spaces, can be selected, and takes the width the
// dialog gives it: a word wider than that (a path, a pasted number) is cut at
// the edge rather than widening the dialog beyond the screen; the report
// beside it holds the text whole.
QLabel* MakeReportLabel(const QString& text, const char* name, QWidget* parent);
// The same, larger and bold: the dialog's first line.
QLabel* MakeReportHeadline(const QString& text, const char* name, QWidget* parent);
// The report itself: read-only, unwrapped, in the fixed-width system font.
QPlainTextEdit* MakeReportView(const QString& text, const char* name, QWidget* parent);
QPushButton* AddReportButton(QDialogButtonBox* buttons, const QString& text, const char* name,
                             QDialogButtonBox::ButtonRole role);

}  // namespace kestrum
