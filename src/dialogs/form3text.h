#pragma once

#include <QString>

// What the key-code tester prints.
namespace Form3Text {

// "请按键...", the prompt alone.
QString prompt();

// The prompt, an empty line, then the character whose ANSI code is the key
// code and the code in decimal, for example "A  的键值是：  65". Lines end
// in CR LF.
QString forKey(int keyCode);

} // namespace Form3Text
