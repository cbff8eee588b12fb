#pragma once

// The tag-pair switches of the bar menu, as stored in the settings file
// (section WorkTable).
namespace TagSwitches {

bool syncRename(); // "同步修改配对标签", on unless stored off
void storeSyncRename(bool on);
bool autoClose(); // "自动闭合标签", off unless stored on
void storeAutoClose(bool on);
bool lineNumbers(); // "行号", off unless stored on
void storeLineNumbers(bool on);

} // namespace TagSwitches
