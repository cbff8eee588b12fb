// Stands in for a person at the installed program: loaded into it with
// LD_PRELOAD by run_install.sh, it waits for the main window, writes what it
// sees to the file named by ZELMO_DRIVER_OUT, presses F9 (preview), gives
// the window the rectangle in ZELMO_DRIVER_RECT ("x,y,width,height" in
// pixels, when set) and closes it, as the user would.
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

namespace {

QWidget *mainWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String("FRAmain") && window->isVisible())
            return window;
    return nullptr;
}

void drive(QWidget *window)
{
    QFile file(qEnvironmentVariable("ZELMO_DRIVER_OUT"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("driver: cannot write %s", qPrintable(file.fileName()));
    QTextStream out(&file);
    const auto *tags = window->findChild<QWidget *>(QStringLiteral("ListAuto"));
    out << "caption=" << window->windowTitle() << '\n'
        << "rect=" << window->x() << ',' << window->y() << ',' << window->width() << ','
        << window->height() << '\n'
        << "tags=" << (tags ? tags->property("count").toInt() : -1) << '\n';
    out.flush();

    // The headless platform opens no browser, so the preview says so in a
    // message box: it is closed as a user would close it.
    QTimer::singleShot(200, qApp, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });
    if (QWidget *editor = window->findChild<QWidget *>(QStringLiteral("RichText")))
        QTest::keyClick(editor, Qt::Key_F9);
    const QStringList rect = qEnvironmentVariable("ZELMO_DRIVER_RECT").split(u',');
    if (rect.size() == 4) {
        window->move(rect[0].toInt(), rect[1].toInt());
        window->resize(rect[2].toInt(), rect[3].toInt());
    }
    window->close();
}

// Looks for the shown main window until start-up is over.
void waitForWindow()
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        if (QWidget *window = mainWindow()) {
            poll->stop();
            poll->deleteLater();
            drive(window);
        }
    });
    poll->start(50);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(waitForWindow)
