#pragma once

// Makes the program's own controls known to assistive technology: the flat
// button reads as a push button named by its caption that can be pressed,
// and the status bar's size grip as a grip. Safe to call more than once.
void installControlAccessibility();
