#pragma once

#include <QMessageBox>

// Message boxes for texts that come from outside the program: a server's
// status line, a file name, an error message. Qt guesses whether a text is
// markup and would render `<a href="file:///...">` as a live link; these
// boxes show every text exactly as it stands.

// A box not shown yet, for callers that add buttons or a check box.
QMessageBox* MakePlainMessageBox(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                 const QString& text);
// Makes every text of the box plain, the informative text included; call
// after the last text has been set.
void KeepMessageBoxPlain(QMessageBox& box);
// Shows a box with one OK button and returns when it is closed.
void ShowPlainMessage(QMessageBox::Icon icon, QWidget* parent, const QString& title, const QString& text);
