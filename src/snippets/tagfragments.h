#pragma once

#include <span>

// The markup of the tag buttons and their status-line hints, kept as data.
// Texts are UTF-16 literals; a CR LF inside a fragment is a line break.
namespace TagFragments {

inline constexpr int kSelbuttonCount = 11;
inline constexpr int kNoselbuttonCount = 9;
inline constexpr int kNoselectCount = 3;

// selbutton(0..9): the tag pair put around the selection, and what goes in
// at the caret when nothing is selected. selbutton(10) deletes the selection.
struct WrapTag {
    const char16_t *open;
    const char16_t *close;
    const char16_t *sample;
};
inline constexpr int kDeleteButton = 10;
std::span<const WrapTag> wrapTags();

// noselbutton(0..8): the fixed fragment that replaces the selection. The
// image (3) and time (8) buttons build theirs when clicked and have none here.
inline constexpr int kImageButton = 3;
inline constexpr int kTimeButton = 8;
std::span<const char16_t *const> fixedFragments();

// The image button's question and the text put around the answer.
inline constexpr char16_t kImagePrompt[] = u"\r\r\r\r请输入图片地址:";
inline constexpr char16_t kImageTitle[] = u"插入图片";
inline constexpr char16_t kImageDefault[] = u"http://www.example.com/images/sample.gif";
inline constexpr char16_t kImageBefore[] = u"<img src=\"";
inline constexpr char16_t kImageAfter[] = u"\" style=\"\" alt=\"一个图象\" border=\"0\">";

// noselect(0..2): upper case, lower case, settings.
inline constexpr int kSettingsButton = 2;
inline constexpr char16_t kCaseTitle[] = u"慎重考虑";
inline constexpr char16_t kUpperQuestion[] =
    u"如果里面有[脚本]则会出错，用前建议保存,确认全部改成大写代码？";
inline constexpr char16_t kLowerQuestion[] =
    u"如果里面有[脚本]则会出错，用前建议保存,确认全部改成小写代码？";

// Hints, one per index of each array.
std::span<const char16_t *const> selbuttonHints();
std::span<const char16_t *const> noselbuttonHints();
std::span<const char16_t *const> noselectHints();

} // namespace TagFragments
