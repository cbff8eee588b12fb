#pragma once

#include <QIcon>
#include <QPixmap>

// The program's icon, drawn at every size it is asked for: a blue tile with
// a white tag "</>". The main window takes it as its window icon.
QIcon ProgramIcon();

// The picture of the program at one size (pixels, square).
QPixmap ProgramIconPixmap(int size);

// The About window's banner, 256 by 54 pixels: the icon and the product name.
QPixmap AboutBanner();
