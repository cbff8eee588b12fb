#pragma once

#include <QString>
#include <functional>

class Launcher;
class Prompts;
class StatusLine;
class WindowFinder;

// The tool buttons of the function bar: ysjm(0) "压缩" and ysjm(1) "加/解密"
// start the page compression and encryption tool Vexwrap, toolbutt(1)
// "Huevane" the colour tool, toolbutt(2) "查找" shows the find and replace
// window and toolbutt(0) "Ascii键值" the key-code tester. A sibling tool that
// already runs is brought to the front instead of started again. Acts on the
// status line, prompts, launcher and window finder it is given and owns none
// of them.
class FirstToolbar {
public:
    FirstToolbar(StatusLine &status, Prompts &prompts, Launcher &launcher, WindowFinder &windows);

    // Either index starts Vexwrap.
    void ysjm_Click(int index);
    // 0 key-code tester, 1 Huevane, 2 find and replace window.
    void toolbutt_Click(int index);

    // Hints on the status line.
    void ysjm_MouseMove(int index);
    void toolbutt_MouseMove(int index);

    void StartVexwrap();
    void StartHuevane();

    // What toolbutt(2) and toolbutt(0) show: the modeless find and replace
    // window and key-code tester, brought forward when already visible.
    void setShowFindWindow(std::function<void()> show) { m_showFindWindow = std::move(show); }
    void setShowKeyCodeTester(std::function<void()> show) { m_showKeyCodeTester = std::move(show); }

private:
    struct SiblingTool {
        QString windowTitle;
        QString programName; // in the folder "appendix" beside the program
    };
    void startSiblingTool(const SiblingTool &tool);

    StatusLine &m_status;
    Prompts &m_prompts;
    Launcher &m_launcher;
    WindowFinder &m_windows;
    std::function<void()> m_showFindWindow;
    std::function<void()> m_showKeyCodeTester;
};
