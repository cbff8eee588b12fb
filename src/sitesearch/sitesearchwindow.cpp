#include "sitesearch/sitesearchwindow.h"

#include "controls/controlaccessibility.h"
#include "dialogs/frmpath.h"
#include "platform/launcher.h"
#include "platform/prompts.h"
#include "platform/settingsfile.h"
#include "sitesearch/matchdelegate.h"
#include "sitesearch/sitefiles.h"
#include "sitesearch/sitesearchrun.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

namespace {

using Outcome = SiteSearch::FileReport::Outcome;

enum Role { PathRole = Qt::UserRole, LineRole, OffsetRole, LengthRole };

const QString kSection = QStringLiteral("main");
QPointer<SiteSearchWindow> gWindow;

QString tickText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool storedTick(const QString &key, bool fallback)
{
    return ReadSetting(kSection, key, tickText(fallback)) == QLatin1String("1");
}

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QTreeWidgetItem *fileItem(const SiteSearch::FileReport &report, const QString &what)
{
    auto *item = new QTreeWidgetItem;
    QString text = report.path;
    if (!report.encoding.isEmpty())
        text += QStringLiteral("  [%1]").arg(report.encoding);
    item->setText(0, text + QStringLiteral("  ") + what);
    item->setData(0, PathRole, report.path);
    item->setData(0, LineRole, 0);
    return item;
}

} // namespace

SiteSearchWindow *SiteSearchWindow::showFor(QWidget *owner, Prompts &prompts, Host host,
                                            const QString &folder)
{
    if (!gWindow || gWindow->parentWidget() != owner)
        gWindow = new SiteSearchWindow(prompts, std::move(host), owner);
    if (!gWindow->isRunning() && !gWindow->isVisible())
        gWindow->setFolder(folder);
    gWindow->show();
    gWindow->raise();
    gWindow->activateWindow();
    gWindow->m_findText->setFocus();
    return gWindow;
}

SiteSearchWindow::SiteSearchWindow(Prompts &prompts, Host host, QWidget *owner)
    : QWidget(owner, Qt::Window)
    , m_prompts(prompts)
    , m_host(std::move(host))
    , m_folder(new QLineEdit(this))
    , m_chooseFolder(new QPushButton(QStringLiteral("选择..."), this))
    , m_patterns(new QLineEdit(SiteFiles::defaultPatterns(), this))
    , m_subfolders(new QCheckBox(QStringLiteral("包括子文件夹"), this))
    , m_findText(new QLineEdit(this))
    , m_replaceText(new QLineEdit(this))
    , m_matchCase(new QCheckBox(QStringLiteral("区分大小写"), this))
    , m_regex(new QCheckBox(QStringLiteral("正则表达式"), this))
    , m_wholeWord(new QCheckBox(QStringLiteral("全字匹配"), this))
    , m_openIn(new QComboBox(this))
    , m_error(new QLabel(this))
    , m_findButton(new QPushButton(QStringLiteral("查找"), this))
    , m_replaceButton(new QPushButton(QStringLiteral("全部替换"), this))
    , m_undoButton(new QPushButton(QStringLiteral("撤销替换"), this))
    , m_stopButton(new QPushButton(QStringLiteral("停止"), this))
    , m_results(new QTreeWidget(this))
    , m_progress(new QProgressBar(this))
    , m_status(new QLabel(this))
{
    installControlAccessibility();
    setObjectName(QStringLiteral("SiteSearch"));
    setWindowTitle(QStringLiteral("站点查找替换"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_folder->setObjectName(QStringLiteral("TxtFolder"));
    m_patterns->setObjectName(QStringLiteral("TxtPatterns"));
    m_findText->setObjectName(QStringLiteral("Txtfindstr"));
    m_replaceText->setObjectName(QStringLiteral("txtreplacestr"));
    m_findButton->setObjectName(QStringLiteral("CommFind"));
    m_replaceButton->setObjectName(QStringLiteral("CommAllReplace"));
    m_undoButton->setObjectName(QStringLiteral("CommUndo"));
    m_stopButton->setObjectName(QStringLiteral("CommStop"));
    m_results->setObjectName(QStringLiteral("ListResults"));
    m_error->setObjectName(QStringLiteral("LabPatternError"));
    m_status->setObjectName(QStringLiteral("LabStatus"));

    m_subfolders->setChecked(storedTick(QStringLiteral("sitesubfolders"), true));
    m_matchCase->setChecked(storedTick(QStringLiteral("sitecase"), false));
    m_regex->setChecked(storedTick(QStringLiteral("findregex"), false));
    m_wholeWord->setChecked(storedTick(QStringLiteral("findword"), false));
    m_openIn->addItems({QStringLiteral("在本窗口打开"), QStringLiteral("在新窗口打开")});
    m_openIn->setCurrentIndex(storedTick(QStringLiteral("sitenewwindow"), false) ? 1 : 0);
    m_openIn->setAccessibleName(QStringLiteral("打开结果的方式"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: #b00000"));
    m_results->setHeaderHidden(true);
    m_results->setItemDelegate(new MatchDelegate(m_results));
    m_results->setAccessibleName(QStringLiteral("查找结果"));
    m_results->setUniformRowHeights(true);
    m_progress->setAccessibleName(QStringLiteral("进度"));
    m_progress->setValue(0);

    auto *grid = new QGridLayout;
    // A field row: its label, the field, and the control beside it.
    const auto addRow = [&](int row, const QString &caption, QWidget *field, QWidget *side) {
        grid->addWidget(buddyLabel(caption, field, this), row, 0);
        grid->addWidget(field, row, 1, 1, 3);
        grid->addWidget(side, row, 4);
    };
    addRow(0, QStringLiteral("文件夹(&D)："), m_folder, m_chooseFolder);
    addRow(1, QStringLiteral("文件类型(&T)："), m_patterns, m_subfolders);
    addRow(2, QStringLiteral("查找内容(&N)："), m_findText, m_findButton);
    addRow(3, QStringLiteral("替换为(&P)："), m_replaceText, m_replaceButton);
    grid->addWidget(m_matchCase, 4, 1);
    grid->addWidget(m_regex, 4, 2);
    grid->addWidget(m_wholeWord, 4, 3);
    grid->addWidget(m_undoButton, 4, 4);
    grid->addWidget(m_error, 5, 1, 1, 4);
    grid->setColumnStretch(3, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_openIn);
    bottom->addWidget(m_progress);
    bottom->addWidget(m_stopButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_results, 1);
    layout->addLayout(bottom);
    resize(720, 520);

    connect(m_chooseFolder, &QPushButton::clicked, this, &SiteSearchWindow::chooseFolder);
    connect(m_findButton, &QPushButton::clicked, this, &SiteSearchWindow::find);
    connect(m_findText, &QLineEdit::returnPressed, this, &SiteSearchWindow::find);
    connect(m_replaceButton, &QPushButton::clicked, this, &SiteSearchWindow::replaceAll);
    connect(m_undoButton, &QPushButton::clicked, this, &SiteSearchWindow::undoReplace);
    connect(m_stopButton, &QPushButton::clicked, this, &SiteSearchWindow::stop);
    connect(m_results, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem *item) { openResult(item); });
    connect(m_findText, &QLineEdit::textChanged, this, [this] { m_error->clear(); });
    for (QCheckBox *box : {m_subfolders, m_matchCase, m_regex, m_wholeWord})
        connect(box, &QCheckBox::toggled, this, &SiteSearchWindow::storeOptions);
    connect(m_openIn, &QComboBox::currentIndexChanged, this, &SiteSearchWindow::storeOptions);
    updateButtons();
}

SiteSearchWindow::~SiteSearchWindow()
{
    // The run ends with the file at hand before the window goes.
    m_run.reset();
}

void SiteSearchWindow::setFolder(const QString &folder)
{
    m_folder->setText(folder);
}

bool SiteSearchWindow::isRunning() const
{
    return m_step != Step::Idle;
}

QStringList SiteSearchWindow::folders() const
{
    return {m_folder->text().trimmed()};
}

void SiteSearchWindow::storeOptions()
{
    WriteSetting(kSection, QStringLiteral("sitesubfolders"), tickText(m_subfolders->isChecked()));
    WriteSetting(kSection, QStringLiteral("sitecase"), tickText(m_matchCase->isChecked()));
    WriteSetting(kSection, QStringLiteral("findregex"), tickText(m_regex->isChecked()));
    WriteSetting(kSection, QStringLiteral("findword"), tickText(m_wholeWord->isChecked()));
    WriteSetting(kSection, QStringLiteral("sitenewwindow"),
                 tickText(m_openIn->currentIndex() == 1));
}

void SiteSearchWindow::chooseFolder()
{
    FRMpath chooser(this);
    chooser.startAt(m_folder->text());
    chooser.exec();
    if (chooser.result() != FRMpath::canceledResult() && !chooser.result().isEmpty())
        m_folder->setText(chooser.result());
}

bool SiteSearchWindow::validPattern()
{
    SearchOptions options;
    options.regex = m_regex->isChecked();
    options.wholeWord = m_wholeWord->isChecked();
    options.cs = m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QString error = SearchPattern(m_findText->text(), options).error();
    if (error.isEmpty() && !QFileInfo(m_folder->text().trimmed()).isDir())
        error = QStringLiteral("文件夹不存在：") + m_folder->text();
    if (error.isEmpty() && SiteFiles::splitPatterns(m_patterns->text()).isEmpty())
        error = QStringLiteral("请给出要查找的文件类型，如 *.htm");
    m_error->setText(error);
    return error.isEmpty();
}

void SiteSearchWindow::start(Step step, std::unique_ptr<SiteSearchRun> run)
{
    m_run = std::move(run);
    m_step = step;
    m_files = m_matches = m_skipped = 0;
    m_changedFiles.clear();
    m_results->clear();
    m_progress->setRange(0, 0);
    m_status->setText(step == Step::Undoing     ? QStringLiteral("正在撤销替换...")
                      : step == Step::Replacing ? QStringLiteral("正在替换...")
                                                : QStringLiteral("正在查找..."));
    connect(m_run.get(), &SiteSearchRun::fileDone, this, &SiteSearchWindow::fileDone);
    connect(m_run.get(), &QThread::finished, this, &SiteSearchWindow::runEnded);
    updateButtons();
    m_run->start();
}

void SiteSearchWindow::find()
{
    if (isRunning() || !validPattern())
        return;
    SiteSearchRun::Request request;
    request.kind = SiteSearchRun::Kind::Find;
    request.paths = folders();
    request.patterns = SiteFiles::splitPatterns(m_patterns->text());
    request.subfolders = m_subfolders->isChecked();
    request.options.regex = m_regex->isChecked();
    request.options.wholeWord = m_wholeWord->isChecked();
    request.options.cs = m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    request.findText = m_findText->text();
    request.replacement = m_replaceText->text();
    start(Step::Finding, std::make_unique<SiteSearchRun>(std::move(request)));
}

void SiteSearchWindow::replaceAll()
{
    if (isRunning())
        return;
    // First the count, then the question, then the replace.
    find();
    if (m_step == Step::Finding)
        m_step = Step::Counting;
}

void SiteSearchWindow::askToReplace()
{
    if (m_run->stopped() || m_matches == 0) {
        if (m_matches == 0)
            m_status->setText(QStringLiteral("没有找到，没有要替换的"));
        return;
    }
    const QString question =
        QStringLiteral("将在 %1 个文件中替换 %2 处，每个文件按它自己的编码保存。确定要全部替换吗？")
            .arg(m_files)
            .arg(m_matches);
    if (m_prompts.messageBox(question, Prompts::Exclamation + Prompts::YesNo,
                             QStringLiteral("站点查找替换")) != Prompts::AnswerYes) {
        m_status->setText(QStringLiteral("替换取消"));
        return;
    }
    SiteSearchRun::Request request = m_run->request();
    request.kind = SiteSearchRun::Kind::Replace;
    start(Step::Replacing, std::make_unique<SiteSearchRun>(std::move(request)));
}

void SiteSearchWindow::undoReplace()
{
    if (isRunning() || m_changes.empty())
        return;
    SiteSearchRun::Request request;
    request.kind = SiteSearchRun::Kind::Undo;
    request.undo = std::move(m_changes);
    m_changes.clear();
    start(Step::Undoing, std::make_unique<SiteSearchRun>(std::move(request)));
}

void SiteSearchWindow::stop()
{
    if (m_run)
        m_run->stop();
}

void SiteSearchWindow::fileDone(const SiteSearch::FileReport &report, int done, int total)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
    QTreeWidgetItem *item = nullptr;
    switch (report.outcome) {
    case Outcome::Searched:
        if (report.matches.empty())
            return;
        ++m_files;
        m_matches += int(report.matches.size());
        if (m_step == Step::Counting)
            return;
        item = fileItem(report, QStringLiteral("（%1 处）").arg(report.matches.size()));
        for (const SiteSearch::LineMatch &match : report.matches) {
            auto *child = new QTreeWidgetItem(item);
            const QString prefix = QStringLiteral("%1: ").arg(match.line, 6);
            QString line = match.text;
            line.replace(u'\t', u' ');
            child->setText(0, prefix + line);
            child->setData(0, PathRole, report.path);
            child->setData(0, LineRole, match.line);
            child->setData(0, OffsetRole, match.offset);
            child->setData(0, LengthRole, match.length);
            child->setData(0, MatchDelegate::MatchStart, int(prefix.size()) + match.textStart);
            child->setData(0, MatchDelegate::MatchLength, match.textLength);
        }
        break;
    case Outcome::Changed:
        ++m_files;
        m_matches += report.replaced;
        m_changedFiles << report.path;
        item = fileItem(report, m_step == Step::Undoing
                                    ? QStringLiteral("已还原")
                                    : QStringLiteral("已替换 %1 处").arg(report.replaced));
        break;
    case Outcome::Skipped:
    case Outcome::Unreadable:
    case Outcome::LeftAlone:
        ++m_skipped;
        if (m_step == Step::Counting)
            return;
        item =
            fileItem(report, (report.outcome == Outcome::LeftAlone ? QStringLiteral("未修改：")
                                                                   : QStringLiteral("已跳过：")) +
                                 report.reason);
        item->setForeground(0, QColor(0xb0, 0, 0));
        break;
    }
    m_results->addTopLevelItem(item);
    if (item->childCount() <= 50)
        item->setExpanded(true);
}

QString SiteSearchWindow::summary() const
{
    return m_status->text();
}

void SiteSearchWindow::runEnded()
{
    const Step step = m_step;
    const bool stopped = m_run->stopped();
    m_step = Step::Idle;
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    const QString skipped =
        m_skipped ? QStringLiteral("，%1 个文件已跳过或未修改（见列表）").arg(m_skipped)
                  : QString();
    switch (step) {
    case Step::Counting:
        updateButtons();
        askToReplace();
        if (m_step == Step::Idle)
            emit runFinished();
        return;
    case Step::Finding:
        m_status->setText(QStringLiteral("%1在 %2 个文件中找到 %3 处%4")
                              .arg(stopped ? QStringLiteral("已停止：") : QString())
                              .arg(m_files)
                              .arg(m_matches)
                              .arg(skipped));
        break;
    case Step::Replacing:
        m_changes = m_run->changes();
        m_status->setText(stopped
                              ? QStringLiteral("替换已停止：只修改了列表中“已替换”的 %1 个文件%2")
                                    .arg(m_files)
                                    .arg(skipped)
                              : QStringLiteral("已在 %1 个文件中替换 %2 处%3")
                                    .arg(m_files)
                                    .arg(m_matches)
                                    .arg(skipped));
        break;
    case Step::Undoing:
        // Files not restored stay to be taken back later.
        m_changes = m_run->changes();
        m_status->setText(QStringLiteral("%1已还原 %2 个文件%3")
                              .arg(stopped ? QStringLiteral("已停止：") : QString())
                              .arg(m_files)
                              .arg(skipped));
        break;
    case Step::Idle:
        break;
    }
    updateButtons();
    emit runFinished();
}

void SiteSearchWindow::updateButtons()
{
    const bool running = isRunning();
    m_findButton->setEnabled(!running);
    m_replaceButton->setEnabled(!running);
    m_undoButton->setEnabled(!running && !m_changes.empty());
    m_stopButton->setEnabled(running);
}

void SiteSearchWindow::openResult(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString path = item->data(0, PathRole).toString();
    if (path.isEmpty())
        return;
    const int line = item->data(0, LineRole).toInt();
    const int offset = item->data(0, OffsetRole).toInt();
    if (m_openIn->currentIndex() == 1) {
        // The new window puts its caret on the match: "--goto LINE:COLUMN".
        QStringList arguments;
        if (line > 0)
            arguments << QStringLiteral("--goto")
                      << QStringLiteral("%1:%2").arg(line).arg(offset + 1);
        arguments << QFileInfo(path).absoluteFilePath();
        Launcher &launcher = m_host.launcher ? *m_host.launcher : desktopLauncher();
        if (!launcher.startProgram(QCoreApplication::applicationFilePath(), arguments, QString()))
            m_status->setText(QStringLiteral("无法启动新的编辑器窗口"));
        return;
    }
    if (m_host.openHere)
        m_host.openHere(path, qMax(line, 1), offset, item->data(0, LengthRole).toInt());
}

void SiteSearchWindow::closeEvent(QCloseEvent *event)
{
    // A replace under way finishes the file at hand and stops.
    stop();
    if (m_run)
        m_run->wait();
    QWidget::closeEvent(event);
}

void SiteSearchWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
