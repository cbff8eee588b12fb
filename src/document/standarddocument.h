#pragma once

#include <QString>

// The page skeleton a new editor shows and the "Html" button inserts: its
// lines joined by single CRs, no CR after the last line.
QString StandardDocument();

// The program's home page, named in the skeleton's second comment.
QString HomePageAddress();
