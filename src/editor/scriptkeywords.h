#pragma once

#include <QStringView>

// The words that the colouring shows as keywords inside <script> and <style>.
namespace ScriptKeywords {

// JavaScript's reserved words and literals ("function", "null", …); letter
// case counts.
bool isJavaScript(QStringView word);

// CSS value keywords and "important" (after "!"), in any letter case.
bool isCss(QStringView word);

} // namespace ScriptKeywords
