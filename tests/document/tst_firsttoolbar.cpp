#include "document/firsttoolbar.h"
#include "document/pagesource.h"
#include "document/preview.h"
#include "editor/richtextbox.h"
#include "platform/launcher.h"
#include "platform/windowfinder.h"
#include "support/programfolder.h"
#include "support/recordinglauncher.h"
#include "support/scriptedprompts.h"
#include "support/statusrecorder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#if __has_include(<xcb/xcb.h>)
#include <QScopeGuard>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#define HAVE_XCB_HEADERS 1
#endif

namespace {

const QString kSep = QDir::separator();

// Window titles the desktop shows; starting a program may add one.
class ScriptedWindows : public WindowFinder {
public:
    QHash<QString, WindowId> windows;
    QList<WindowId> activated;
    QStringList asked;

    std::optional<WindowId> find(const QString &title) override
    {
        asked.append(title);
        const auto it = windows.constFind(title);
        if (it == windows.constEnd())
            return std::nullopt;
        return *it;
    }
    void activate(WindowId window) override { activated.append(window); }
};

// A started program may show its window.
class StartingLauncher : public RecordingLauncher {
public:
    ScriptedWindows *windowsOnStart = nullptr;
    QString titleOnStart;

    StartingLauncher() { canStart = true; }
    using Launcher::startProgram;
    bool startProgram(const QString &program, const QStringList &arguments,
                      const QString &workingFolder) override
    {
        const bool ok = RecordingLauncher::startProgram(program, arguments, workingFolder);
        if (ok && windowsOnStart)
            windowsOnStart->windows.insert(titleOnStart, 4711);
        return ok;
    }
};

const QString kVexwrapTitle = QStringLiteral("ZelmoHTML编辑器--加密压缩");

struct Fixture {
    TestProgramFolder folder;
    StatusRecorder status;
    ScriptedPrompts prompts;
    StartingLauncher launcher;
    ScriptedWindows windows;
    FirstToolbar toolbar{status, prompts, launcher, windows};

    // Presses the button of the data row: "ysjm" 0 or 1, or "toolbutt" 1.
    void press(const QString &control, int index)
    {
        if (control == QLatin1String("ysjm"))
            toolbar.ysjm_Click(index);
        else
            toolbar.toolbutt_Click(index);
    }
};

} // namespace

class TestFirstToolbar : public QObject {
    Q_OBJECT
private slots:
    void siblingTool_data();
    void siblingTool();
    void pressedTwiceStartsOnce();
    void missingAppendixWithRealLauncher();
    void realLauncherStartsProgramInProgramFolder();
    void windowButtons();
    void hints_data();
    void hints();
    void noWindowListMeansStart();
    void x11FinderReadsWindowManagerList();
};

void TestFirstToolbar::siblingTool_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("program");

    const QStringList tools = {QStringLiteral("ysjm 0"), QStringLiteral("ysjm 1"),
                               QStringLiteral("toolbutt 1")};
    for (const QString &tool : tools) {
        const QString control = tool.section(u' ', 0, 0);
        const int index = tool.section(u' ', 1).toInt();
        const bool vexwrap = control == QLatin1String("ysjm");
        QTest::newRow(qPrintable(tool))
            << control << index << (vexwrap ? kVexwrapTitle : QStringLiteral("Huevane"))
            << (vexwrap ? QStringLiteral("Vexwrap.EXE") : QStringLiteral("Huevane.exe"));
    }
}

void TestFirstToolbar::siblingTool()
{
    QFETCH(QString, control);
    QFETCH(int, index);
    QFETCH(QString, title);
    QFETCH(QString, program);

    const QString path = QStringLiteral("appendix") + kSep + program;
    {
        // Running: brought to the front, nothing started.
        Fixture f;
        f.windows.windows.insert(title, 42);
        f.windows.windows.insert(title + QStringLiteral(" "), 43);
        f.press(control, index);
        QCOMPARE(f.windows.asked, QStringList{title});
        QCOMPARE(f.windows.activated, QList<WindowFinder::WindowId>{42});
        QVERIFY(f.launcher.started.isEmpty());
        QVERIFY(f.prompts.messages.isEmpty());
    }
    {
        // Not running: started from the appendix folder.
        Fixture f;
        f.windows.windows.insert(title.toUpper() + QStringLiteral("x"), 42);
        f.press(control, index);
        QCOMPARE(f.launcher.started, QStringList{f.folder.path() + kSep + path});
        QCOMPARE(f.launcher.workingFolders, QStringList{f.folder.path()});
        QVERIFY(f.windows.activated.isEmpty());
        QVERIFY(f.prompts.messages.isEmpty());
        QCOMPARE(f.status.Text2(), QString());
    }
    {
        // Cannot be started: status text and message.
        Fixture f;
        f.launcher.canStart = false;
        f.press(control, index);
        QCOMPARE(f.launcher.started.size(), 1);
        QCOMPARE(f.status.Text2(), QStringLiteral(".") + kSep + path);
        QCOMPARE(f.prompts.messages.size(), 1);
        QCOMPARE(f.prompts.messages.first().text, QStringLiteral("没找到附件 ----") + title);
        QCOMPARE(f.prompts.messages.first().style, int(Prompts::OkOnly));
        QCOMPARE(f.prompts.messages.first().title, QStringLiteral("ERROR"));
    }
}

void TestFirstToolbar::pressedTwiceStartsOnce()
{
    Fixture f;
    f.launcher.windowsOnStart = &f.windows;
    f.launcher.titleOnStart = kVexwrapTitle;
    f.toolbar.ysjm_Click(0);
    f.toolbar.ysjm_Click(0);
    QCOMPARE(f.launcher.started.size(), 1);
    QCOMPARE(f.windows.activated, QList<WindowFinder::WindowId>{4711});
}

void TestFirstToolbar::missingAppendixWithRealLauncher()
{
    Fixture f;
    DesktopLauncher launcher;
    FirstToolbar toolbar(f.status, f.prompts, launcher, f.windows);
    toolbar.toolbutt_Click(1);
    QCOMPARE(f.status.Text2(), QStringLiteral(".") + kSep + QStringLiteral("appendix") + kSep +
                                   QStringLiteral("Huevane.exe"));
    QCOMPARE(f.prompts.messages.size(), 1);
    QCOMPARE(f.prompts.messages.first().text, QStringLiteral("没找到附件 ----Huevane"));

    // A file that is no program fails the same way.
    QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("appendix")));
    f.folder.writeFile(QStringLiteral("appendix/Vexwrap.EXE"), "MZ not for this system");
    toolbar.ysjm_Click(1);
    QCOMPARE(f.prompts.messages.size(), 2);
    QCOMPARE(f.prompts.messages.last().text, QStringLiteral("没找到附件 ----") + kVexwrapTitle);
}

void TestFirstToolbar::realLauncherStartsProgramInProgramFolder()
{
    Fixture f;
    QVERIFY(QDir(f.folder.path()).mkdir(QStringLiteral("appendix")));
    const QString program = f.folder.filePath(QStringLiteral("appendix/Huevane.exe"));
    f.folder.writeFile(QStringLiteral("appendix/Huevane.exe"), "#!/bin/sh\necho ran > started\n");
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    DesktopLauncher launcher;
    FirstToolbar toolbar(f.status, f.prompts, launcher, f.windows);
    toolbar.toolbutt_Click(1);

    QVERIFY(f.prompts.messages.isEmpty());
    QTRY_COMPARE(f.folder.readFile(QStringLiteral("started")), QByteArray("ran\n"));
}

void TestFirstToolbar::windowButtons()
{
    Fixture f;
    // Without windows to show the buttons do nothing.
    f.toolbar.toolbutt_Click(0);
    f.toolbar.toolbutt_Click(2);
    QStringList shown;
    f.toolbar.setShowFindWindow([&] { shown.append(QStringLiteral("find")); });
    f.toolbar.setShowKeyCodeTester([&] { shown.append(QStringLiteral("keys")); });
    f.toolbar.toolbutt_Click(2);
    f.toolbar.toolbutt_Click(0);
    QCOMPARE(shown, QStringList({QStringLiteral("find"), QStringLiteral("keys")}));
    QVERIFY(f.launcher.started.isEmpty());
    QVERIFY(f.windows.asked.isEmpty());
}

void TestFirstToolbar::hints_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("hint");
    QTest::newRow("stolen") << "stolen" << 0 << "查看其他网页源文件";
    QTest::newRow("ysjm(0)") << "ysjm" << 0 << "对网页进行压缩处理";
    QTest::newRow("ysjm(1)") << "ysjm" << 1 << "对网页进行加密/解密处理";
    QTest::newRow("toolbutt(2)") << "toolbutt" << 2 << "在编辑区域查找/替换字符串  Ctrl + F";
    QTest::newRow("toolbutt(1)") << "toolbutt" << 1 << "Huevane";
    QTest::newRow("toolbutt(0)") << "toolbutt" << 0 << "测试键盘上大部分键值";
    QTest::newRow("shoot") << "shoot" << 0 << "在浏览器中预览   F9";
}

void TestFirstToolbar::hints()
{
    QFETCH(QString, control);
    QFETCH(int, index);
    QFETCH(QString, hint);

    Fixture f;
    RichTextBox richText;
    PageSource source(f.status, f.prompts, f.launcher);
    Preview preview(richText, f.status, f.prompts, f.launcher);
    if (control == QLatin1String("stolen"))
        source.stolen_MouseMove();
    else if (control == QLatin1String("shoot"))
        preview.shoot_MouseMove();
    else if (control == QLatin1String("ysjm"))
        f.toolbar.ysjm_MouseMove(index);
    else
        f.toolbar.toolbutt_MouseMove(index);
    QCOMPARE(f.status.Text(), hint);
    QCOMPARE(f.status.Text2(), QString());
}

void TestFirstToolbar::noWindowListMeansStart()
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        QSKIP("runs on a platform without a window list");
    DesktopWindowFinder finder;
    QCOMPARE(finder.find(QStringLiteral("Huevane")), std::nullopt);
    finder.activate(1); // does nothing

    Fixture f;
    FirstToolbar toolbar(f.status, f.prompts, f.launcher, finder);
    toolbar.toolbutt_Click(1);
    QCOMPARE(f.launcher.started.size(), 1);
}

// Plays the window manager on an X server that has none (such as Xvfb):
// publishes a client list on the root window and watches for activation
// requests. Run with QT_QPA_PLATFORM=xcb under xvfb-run.
#ifdef HAVE_XCB_HEADERS
void TestFirstToolbar::x11FinderReadsWindowManagerList()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs the xcb platform on an X server without a window manager");

    int screenNumber = 0;
    xcb_connection_t *wm = xcb_connect(nullptr, &screenNumber);
    QVERIFY(wm && !xcb_connection_has_error(wm));
    auto cleanup = qScopeGuard([wm] { xcb_disconnect(wm); });
    xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(wm));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screen);
    const xcb_window_t root = screen.data->root;

    // A Qt window with a UTF-8 title, mapped before the redirect is taken
    // (nothing here would map it afterwards), and a bare window with only
    // WM_NAME.
    QWidget widget;
    widget.setWindowTitle(QStringLiteral("Huevane 测试"));
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    const xcb_window_t qtWindow = xcb_window_t(widget.winId());

    // Only one client can redirect the root's children: that fails where a
    // real window manager runs, whose list must not be touched.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t *error = xcb_request_check(
            wm, xcb_change_window_attributes_checked(wm, root, XCB_CW_EVENT_MASK, &mask))) {
        free(error);
        QSKIP("a window manager is running");
    }
    const auto atom = [wm](const char *name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            wm, xcb_intern_atom(wm, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return value;
    };
    const xcb_atom_t clientList = atom("_NET_CLIENT_LIST");
    const xcb_atom_t activeWindow = atom("_NET_ACTIVE_WINDOW");

    const xcb_window_t bare = xcb_generate_id(wm);
    xcb_create_window(wm, XCB_COPY_FROM_PARENT, bare, root, 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.data->root_visual, 0, nullptr);
    xcb_change_property(wm, XCB_PROP_MODE_REPLACE, bare, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 7,
                        "Huevane");
    const xcb_window_t list[] = {qtWindow, bare};
    xcb_change_property(wm, XCB_PROP_MODE_REPLACE, root, clientList, XCB_ATOM_WINDOW, 32, 2, list);
    auto removeList = qScopeGuard([wm, root, clientList] {
        xcb_delete_property(wm, root, clientList);
        xcb_flush(wm);
    });
    xcb_flush(wm);
    free(xcb_get_input_focus_reply(wm, xcb_get_input_focus(wm), nullptr));

    DesktopWindowFinder finder;
    QCOMPARE(finder.find(QStringLiteral("Huevane 测试")), WindowFinder::WindowId(qtWindow));
    QCOMPARE(finder.find(QStringLiteral("Huevane")), WindowFinder::WindowId(bare));
    QCOMPARE(finder.find(QStringLiteral("Huevan")), std::nullopt);

    finder.activate(bare);
    bool requested = false;
    for (int i = 0; i < 200 && !requested; ++i) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(wm)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
                requested = requested || (message->type == activeWindow && message->window == bare);
            }
            free(event);
        }
        if (!requested)
            QTest::qWait(10);
    }
    QVERIFY(requested);
}
#else
void TestFirstToolbar::x11FinderReadsWindowManagerList()
{
    QSKIP("built without the X11 headers");
}
#endif

QTEST_MAIN(TestFirstToolbar)
#include "tst_firsttoolbar.moc"
