#include "snippets/snippetfragments.h"

#include <iterator>

namespace SnippetFragments {

namespace {

constexpr Item kSpecialTags[] = {
    {u"applet",
     uR"~(<applet width=250 height=300 align=center code=".class" name="app"></applet>)~"},
    {u"activex",
     uR"~(<object type="text/scriptlet" data="http://www.example.com/page.htm" width=400 height=500 align=center id=cs1 classid=""></object>)~"},
    {u"flash",
     uR"~(<iframe src="http://www.example.com/flash/movie.swf" width=350 height=230 align=center></iframe>)~"},
    {u"embed",
     uR"~(<embed src="rtsp://www.example.com/media/clip.rm" type="audio/x-pn-realaudio-plugin" console="Clip1" controls="IMAGEWINDOW,ControlPanel,StatusBar" height=200 width=200 autostart=true></embed>)~"},
    {u"绝对定位",
     uR"~(<div style="position:absolute;top:30px;left:35px;width:300;height:200;z-index:2;background-color:eeeeee;overflow:scroll;" id=div1>请修改他的元素属性</div>)~"},
};

constexpr Item kScripts[] = {
    // The title asks the author to put an address in place of "hhhhh".
    {u"电子邮件", uR"~(<a href="mailto:hhhhh" title="请hhhhh替换成你的邮件地址OK?">与我联系</a>)~"},
    {u"现在时间", u"<script language=vbscript>document.write now</script>"},
    {u"更新时间", u"<script>document.write(document.lastModified)</script>"},
    {u"自动最大化",
     u"<script>self.moveTo(0,0);self.resizeTo(screen.availWidth,screen.availHeight)</script>"},
    {u"加入收藏",
     uR"~(<a onclick="window.external.AddFavorite(location.href,document.title)" style="cursor:hand;color:blue">加入收藏</a>)~"},
    {u"设为首页",
     uR"~(<a style="color:blue;cursor:hand" onclick=this.style.behavior="url(#default#homepage)";this.setHomePage("http://你的网址");>设为首页</a>)~"},
    {u"加厚外框",
     uR"~(<script>with(window.document.body.style){borderWidth="8";borderStyle="solid";borderColor="activeborder"}</script>)~"},
    {u"过滤效果",
     uR"~(<!--请把[此段]代码加在你代码中head与head之间--><META http-equiv="Page-Enter" CONTENT="RevealTrans(Duration=2,Transition=23)">)~"},
    {u"vbscript", u"<script language=vbs>\r"
                  u"Sub one()\r"
                  u"dim a1 //声明了a1是个变量\r"
                  uR"~(a1="你好" //为a1加值,请修改运用)~"
                  u"\r"
                  u"\r"
                  u"End Sub\r"
                  u"</script>"},
    {u"javascript", u"<script>\r"
                    u"function you(){\r"
                    uR"~(var b1="大家好" //声明一个变量b1,请修改运用)~"
                    u"\r"
                    u"\r"
                    u"}\r"
                    u"</script>"},
};

constexpr Item kFormControls[] = {
    {u"普通按纽", uR"~(<input type=button value="按纽" name="" onclick="" style="">)~"},
    {u"小输入框", uR"~(<input type=text value="请输入" size="" style="" name="">)~"},
    {u"单选按纽", uR"~(<input type=radio name="a1" onclick="" style="">)~"},
    {u"复选按纽", uR"~(<input type=checkbox name="" onclick="" style="">)~"},
    {u"图形按纽", uR"~(<input type=image src="http://图片地址" onclick="" name="" style="">)~"},
    {u"提交按纽", uR"~(<input type=submit style="" onclick="" name="" value="提交">)~"},
    {u"重添按纽", uR"~(<input type="reset" onclick="" name="" value="重填" style="">)~"},
    {u"大文本框",
     uR"~(<textarea cols="40" rows="8" name="" onChange="" style="">请填写数据</textarea>)~"},
    {u"下拉菜单",
     uR"~(<select name="" style=""><option selected>目录索引<option value="">第一选项<option value="">第二选项<option value="">第三选项<option value="">其他更多</select>)~"},
    {u"小浏览器", uR"~(<input type=file name="" onChange="" style="width:150pt">)~"},
};

constexpr List kLists[] = {
    {u"特殊标签", kSpecialTags, u"插入特殊标签"},
    {u"实用脚本", kScripts, u"插入实用脚本"},
    {u"表单控件", kFormControls, u"插入表单控件"},
};
static_assert(std::size(kLists) == kListCount);

} // namespace

std::span<const List> lists()
{
    return kLists;
}

} // namespace SnippetFragments
