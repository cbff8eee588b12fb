#include "document/firsttoolbar.h"

#include "platform/launcher.h"
#include "platform/places.h"
#include "platform/prompts.h"
#include "platform/statusline.h"
#include "platform/windowfinder.h"

#include <QDir>
#include <cstddef>

namespace {

const QString kAppendixFolder = QStringLiteral("appendix");

// The hint of button index on the status line; none for other indexes.
template <std::size_t N> void showHint(StatusLine &status, const QString (&hints)[N], int index)
{
    if (index >= 0 && std::size_t(index) < N)
        status.setText(hints[index]);
}

} // namespace

FirstToolbar::FirstToolbar(StatusLine &status, Prompts &prompts, Launcher &launcher,
                           WindowFinder &windows)
    : m_status(status)
    , m_prompts(prompts)
    , m_launcher(launcher)
    , m_windows(windows)
{}

void FirstToolbar::ysjm_Click(int)
{
    StartVexwrap();
}

void FirstToolbar::toolbutt_Click(int index)
{
    switch (index) {
    case 0:
        if (m_showKeyCodeTester)
            m_showKeyCodeTester();
        break;
    case 1:
        StartHuevane();
        break;
    case 2:
        if (m_showFindWindow)
            m_showFindWindow();
        break;
    default:
        break;
    }
}

void FirstToolbar::ysjm_MouseMove(int index)
{
    static const QString kHints[] = {QStringLiteral("对网页进行压缩处理"),
                                     QStringLiteral("对网页进行加密/解密处理")};
    showHint(m_status, kHints, index);
}

void FirstToolbar::toolbutt_MouseMove(int index)
{
    static const QString kHints[] = {QStringLiteral("测试键盘上大部分键值"),
                                     QStringLiteral("Huevane"),
                                     QStringLiteral("在编辑区域查找/替换字符串  Ctrl + F")};
    showHint(m_status, kHints, index);
}

void FirstToolbar::StartVexwrap()
{
    startSiblingTool({QStringLiteral("ZelmoHTML编辑器--加密压缩"), QStringLiteral("Vexwrap.EXE")});
}

void FirstToolbar::StartHuevane()
{
    startSiblingTool({QStringLiteral("Huevane"), QStringLiteral("Huevane.exe")});
}

void FirstToolbar::startSiblingTool(const SiblingTool &tool)
{
    if (const auto window = m_windows.find(tool.windowTitle)) {
        m_windows.activate(*window);
        return;
    }
    const QString separator = QDir::separator();
    const QString relative = kAppendixFolder + separator + tool.programName;
    if (m_launcher.startProgram(Places::appendixProgram(tool.programName), Places::programFolder()))
        return;
    m_status.setText2(QStringLiteral(".") + separator + relative);
    m_prompts.messageBox(QStringLiteral("没找到附件 ----") + tool.windowTitle, Prompts::OkOnly,
                         QStringLiteral("ERROR"));
}
