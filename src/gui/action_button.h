#pragma once

class QAbstractButton;
class QAction;

// Makes a push button show an action the way a menu item does: its caption,
// glyph, tooltip, status-bar hint and enabled state follow the action, and a
// click triggers it.
void BindButtonToAction(QAbstractButton* button, QAction* action);
