#pragma once

class QWidget;

// Makes a built window workable without a mouse, whatever tab built which
// control: every push button reacts to Enter as to Space, read-only one-line
// boxes are no Tab stops (a click still selects their text for copying), and
// Tab leaves every multi-line box instead of being typed into it. Called once
// all tabs are built, and again for controls built later.
void make_keyboard_reachable(QWidget* window);
