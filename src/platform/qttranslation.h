#pragma once

// Qt's own texts (the buttons of message boxes, the file dialogs, the
// context menu of every text field) in Chinese, like the rest of the
// program, whatever the system's locale. Loads Qt's translation
// "qtbase_zh_CN" from Qt's translations folder into the running
// application. False when it is not installed: Qt's texts then stay as
// they are and nothing else changes. Either way the reasons a regular
// expression is invalid are given in Chinese from then on.
bool installQtTranslation();
