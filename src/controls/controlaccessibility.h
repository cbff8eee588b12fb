#pragma once

// Makes the program's own controls known to assistive technology: the flat
// button reads as a push button named by its caption that can be pressed,
// the light list box as a list of its entries, the status bar's size grip
// as a grip, and a window of the program's own that no other factory takes
// as a window (a dialog when it is one) named by its caption. Pop-up menus
// and every other class Qt makes accessible itself are left to Qt. Safe to
// call more than once.
void installControlAccessibility();
