#include "snippets/tagfragments.h"

#include <iterator>

namespace TagFragments {

namespace {

constexpr WrapTag kWrapTags[] = {
    {uR"~(<a href ="http://" title=单击进入 style="" target=_blank>)~", u"</a>",
     uR"~(<a href ="http://" title=单击进入 style="" target=_blank>一个链接</a>)~"},
    {uR"~(<font color="" size="" style="">)~", u"</font>",
     uR"~(<font color="" size="" style="">字体文字</font>)~"},
    {u"<b>", u"</b>", u"<b>粗体文字</b>"},
    {u"<i>", u"</i>", u"<i>斜体文字</i>"},
    {u"<u>", u"</u>", u"<u>下划线文字</u>"},
    {u"<s>", u"</s>", u"<s>删除线文本</s>"},
    {u"<small>", u"</small>", u"<small>弱小文本</small>"},
    {u"<big>", u"</big>", u"<big>强壮文本</big>"},
    {u"<pre>", u"</pre>", u"<pre>有格式文本</pre>"},
    {u"<center>", u"</center>", u"<center>居中文本</center>"},
};
static_assert(std::size(kWrapTags) == kDeleteButton);

constexpr const char16_t *kSelbuttonHints[] = {
    u"定义链接和锚   Alt + K",
    u"修改字体  Alt + F",
    u"设置黑体文本",
    u"设置斜体文本",
    u"设置下划线文本",
    u"设置删除线（Strikethrough）文本",
    u"设置缩小",
    u"设置加大",
    u"显示有格式的文本",
    u"居中设置  Alt + U",
    u"删除一段指定的文本",
};
static_assert(std::size(kSelbuttonHints) == kSelbuttonCount);

constexpr const char16_t *kFixedFragments[] = {
    u"<Br>",
    u"<P>",
    uR"~(<Hr style="" color="">)~",
    nullptr,
    uR"~(<table cellspacing=0 cellpadding=0 width=300 height=200 border=5 style="" align="" bordercolor="">)~"
    u"\r\n<Tr>\r\n<Th>表头区</Th>\r\n<Td>内容填写区</td>\r\n</tr>\r\n</table>",
    uR"~(<marquee direction=left onmouseover="this.stop()" onmouseout="this.start()" trueSpeed scrollAmount=1 scrollDelay=50 height=12 behavior="alternate">数据填写区</marquee>)~",
    u"&nbsp;",
    u"<!-- 这是注释 -->",
    nullptr,
};
static_assert(std::size(kFixedFragments) == kNoselbuttonCount);

constexpr const char16_t *kNoselbuttonHints[] = {
    u"强迫分行  Shift + Enter",
    u"定义一个段落  Ctrl + Enter",
    u"插入分隔Web页面的水平标尺  Alt + H",
    u"在Web页面内插入已经存在的图象  Alt + M",
    u"创建一个表格  Alt + T",
    u"跑马灯效果",
    u"插入空格  Alt + Space",
    u"插入不会被浏览器显示的提示和注释  Alt + Z",
    u"插入当前时间  F5",
};
static_assert(std::size(kNoselbuttonHints) == kNoselbuttonCount);

constexpr const char16_t *kNoselectHints[] = {
    u"改变选中/全部代码为大写",
    u"改变选中/全部代码为小写",
    u"帮助：把你要编辑的网页拖编辑区，就可以开始编辑了。。  F2",
};
static_assert(std::size(kNoselectHints) == kNoselectCount);

} // namespace

std::span<const WrapTag> wrapTags()
{
    return kWrapTags;
}
std::span<const char16_t *const> fixedFragments()
{
    return kFixedFragments;
}
std::span<const char16_t *const> selbuttonHints()
{
    return kSelbuttonHints;
}
std::span<const char16_t *const> noselbuttonHints()
{
    return kNoselbuttonHints;
}
std::span<const char16_t *const> noselectHints()
{
    return kNoselectHints;
}

} // namespace TagFragments
