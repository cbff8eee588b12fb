#pragma once

// Makes the program's own controls known to assistive technology: the flat
// button reads as a push button named by its caption that can be pressed,
// the light list box as a list of its entries, the status bar's size grip
// as a grip, and a window made straight from QWidget as a window (a dialog
// when it is one) named by its caption. Safe to call more than once.
void installControlAccessibility();
