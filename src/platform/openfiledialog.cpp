#include "platform/openfiledialog.h"

#include "platform/pathbytes.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStringListModel>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include <climits>
#include <unistd.h>

namespace {

enum Column { NameColumn, SizeColumn, ModifiedColumn, NameEncodingColumn };

QString sizeText(qint64 size)
{
    if (size < 1024)
        return QStringLiteral("%1 字节").arg(size);
    return QLocale::c().formattedDataSize(size, 1, QLocale::DataSizeTraditionalFormat);
}

// The bytes of a name that is no UTF-8, for telling alike names apart.
QString bytesText(const QString &name)
{
    return QString::fromLatin1(PathBytes::toBytes(name).toHex(' '));
}

QString workingFolder()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? PathBytes::fromBytes(buffer) : FolderListing::home();
}

QToolButton *toolButton(QWidget *parent, QStyle::StandardPixmap icon, const QString &text,
                        const QKeySequence &key)
{
    auto *button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setAccessibleName(text);
    button->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')');
    button->setShortcut(key);
    return button;
}

} // namespace

OpenFileDialog::OpenFileDialog(QWidget *parent, const QString &title,
                               const QStringList &nameFilters, Mode mode)
    : QDialog(parent)
    , m_mode(mode)
    , m_folderEdit(new QLineEdit(this))
    , m_list(new QTreeWidget(this))
    , m_nameEdit(new QLineEdit(this))
    , m_filterBox(new QComboBox(this))
    , m_names(new QStringListModel(this))
{
    setWindowTitle(title);
    auto *layout = new QGridLayout(this);

    auto *folderLabel = new QLabel(QStringLiteral("查找范围(&I)："), this);
    folderLabel->setBuddy(m_folderEdit);
    m_folderEdit->setAccessibleName(QStringLiteral("查找范围"));
    QToolButton *up =
        toolButton(this, QStyle::SP_FileDialogToParent, QStringLiteral("上一级文件夹"),
                   QKeySequence(Qt::ALT | Qt::Key_Up));
    QToolButton *home = toolButton(this, QStyle::SP_DirHomeIcon, QStringLiteral("主文件夹"),
                                   QKeySequence(Qt::ALT | Qt::Key_Home));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(up);
    folderRow->addWidget(home);
    layout->addWidget(folderLabel, 0, 0);
    layout->addLayout(folderRow, 0, 1, 1, 2);

    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setAccessibleName(QStringLiteral("文件和文件夹"));
    m_list->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("大小"),
                             QStringLiteral("修改日期"), QStringLiteral("名称编码")});
    m_list->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    layout->addWidget(m_list, 1, 0, 1, 3);

    auto *nameLabel = new QLabel(QStringLiteral("文件名称(&N)："), this);
    nameLabel->setBuddy(m_nameEdit);
    m_nameEdit->setAccessibleName(QStringLiteral("文件名称"));
    auto *completer = new QCompleter(m_names, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_nameEdit->setCompleter(completer);
    auto *filterLabel = new QLabel(QStringLiteral("文件类型(&T)："), this);
    filterLabel->setBuddy(m_filterBox);
    m_filterBox->setAccessibleName(QStringLiteral("文件类型"));
    m_filterBox->addItems(nameFilters);
    layout->addWidget(nameLabel, 2, 0);
    layout->addWidget(m_nameEdit, 2, 1);
    layout->addWidget(filterLabel, 3, 0);
    layout->addWidget(m_filterBox, 3, 1);

    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton *openButton =
        buttons->addButton(mode == Save ? QStringLiteral("保存(&S)") : QStringLiteral("打开(&O)"),
                           QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    openButton->setDefault(true);
    layout->addWidget(buttons, 2, 2, 2, 1);
    layout->setColumnStretch(1, 1);

    setTabOrder(m_folderEdit, up);
    setTabOrder(up, home);
    setTabOrder(home, m_list);
    setTabOrder(m_list, m_nameEdit);
    setTabOrder(m_nameEdit, m_filterBox);
    setTabOrder(m_filterBox, buttons);

    // Backspace in the list goes up a folder.
    auto *upFromList = new QAction(this);
    upFromList->setShortcut(QKeySequence(Qt::Key_Backspace));
    upFromList->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(upFromList);
    const auto goUp = [this] { showFolder(QDir::cleanPath(m_folder + QStringLiteral("/.."))); };
    connect(upFromList, &QAction::triggered, this, goUp);
    connect(up, &QToolButton::clicked, this, goUp);
    connect(home, &QToolButton::clicked, this, [this] { showFolder(FolderListing::home()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &OpenFileDialog::open);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &OpenFileDialog::openItem);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &OpenFileDialog::itemChanged);
    connect(m_filterBox, &QComboBox::currentIndexChanged, this, &OpenFileDialog::filterChanged);

    m_patterns = FolderListing::patternsOf(m_filterBox->currentText());
    m_nameEdit->setFocus();
    resize(680, 420);
}

void OpenFileDialog::setFolder(const QString &folder)
{
    // A folder gone since the last time falls back without a word.
    if (folder.isEmpty() || !showFolder(folder, false))
        showFolder(workingFolder(), false);
}

void OpenFileDialog::showEvent(QShowEvent *event)
{
    if (m_folder.isEmpty())
        setFolder(QString());
    QDialog::showEvent(event);
}

void OpenFileDialog::setFileName(const QString &name)
{
    m_suggested = name;
    m_nameEdit->setText(PathBytes::readable(name));
}

bool OpenFileDialog::showFolder(const QString &folder, bool sayWhy)
{
    FolderListing::Listing listing = FolderListing::list(folder, m_patterns);
    if (!listing.error.isEmpty()) {
        if (sayWhy)
            warn(QStringLiteral("无法打开文件夹“%1”：%2")
                     .arg(PathBytes::readable(folder), listing.error));
        return false;
    }
    m_folder = QDir::cleanPath(folder);
    m_entries = std::move(listing.entries);
    m_picked.reset();
    m_folderEdit->setText(PathBytes::readable(m_folder));
    fillList();
    return true;
}

void OpenFileDialog::fillList()
{
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    QStringList names;
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon fileIcon = style()->standardIcon(QStyle::SP_FileIcon);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const FolderListing::Entry &entry = m_entries.at(i);
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(NameColumn, entry.shown);
        names << entry.shown;
        item->setIcon(NameColumn, entry.folder ? folderIcon : fileIcon);
        item->setData(NameColumn, Qt::UserRole, int(i));
        if (!entry.folder)
            item->setText(SizeColumn, sizeText(entry.size));
        item->setTextAlignment(SizeColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(ModifiedColumn, entry.modified.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
        if (!entry.utf8) {
            item->setText(NameEncodingColumn, QStringLiteral("非 UTF-8"));
            const QString bytes = QStringLiteral("名称的字节：") + bytesText(entry.name);
            item->setToolTip(NameColumn, bytes);
            item->setToolTip(NameEncodingColumn, bytes);
        }
    }
    m_names->setStringList(names);
    for (int column = SizeColumn; column <= NameEncodingColumn; ++column)
        m_list->resizeColumnToContents(column);
}

const FolderListing::Entry *OpenFileDialog::entryOf(const QTreeWidgetItem *item) const
{
    if (!item)
        return nullptr;
    const int index = item->data(NameColumn, Qt::UserRole).toInt();
    return index >= 0 && index < m_entries.size() ? &m_entries.at(index) : nullptr;
}

void OpenFileDialog::itemChanged(QTreeWidgetItem *item)
{
    const FolderListing::Entry *entry = entryOf(item);
    if (!entry || entry->folder)
        return;
    m_picked = *entry;
    m_nameEdit->setText(entry->shown);
}

void OpenFileDialog::filterChanged(int)
{
    m_patterns = FolderListing::patternsOf(m_filterBox->currentText());
    showFolder(m_folder);
}

void OpenFileDialog::openItem(QTreeWidgetItem *item)
{
    const FolderListing::Entry *entry = entryOf(item);
    if (!entry)
        return;
    const QString path = FolderListing::join(m_folder, entry->name);
    if (entry->folder) {
        // The name to save under goes along into the folder.
        if (m_mode == Open)
            m_nameEdit->clear();
        showFolder(path);
    } else {
        choose(path);
    }
}

// The Open (or Save) button and Enter anywhere in the dialog.
void OpenFileDialog::open()
{
    if (m_folderEdit->hasFocus()) {
        const QString typed = m_folderEdit->text();
        if (!take(FolderListing::resolve(m_folder, typed, m_entries)))
            m_folderEdit->setText(PathBytes::readable(m_folder));
        return;
    }
    if (m_list->hasFocus() && m_list->currentItem()) {
        openItem(m_list->currentItem());
        return;
    }
    const QString typed = m_nameEdit->text().trimmed();
    if (typed.isEmpty()) {
        openItem(m_list->currentItem());
        return;
    }
    // A name picked in the list, or the one suggested, is taken as its
    // bytes, even where another name reads the same.
    if (m_picked && typed == m_picked->shown) {
        choose(FolderListing::join(m_folder, m_picked->name));
        return;
    }
    const bool suggested = !m_suggested.isEmpty() && typed == PathBytes::readable(m_suggested);
    take(FolderListing::resolve(m_folder, suggested ? m_suggested : typed, m_entries));
}

// Goes where target points; false when it points nowhere.
bool OpenFileDialog::take(const FolderListing::Target &target)
{
    using Target = FolderListing::Target;
    switch (target.kind) {
    case Target::Patterns:
        m_patterns = target.patterns;
        m_nameEdit->clear();
        return showFolder(m_folder);
    case Target::Folder:
        m_nameEdit->clear();
        return showFolder(target.path);
    case Target::File:
        choose(target.path);
        return true;
    case Target::Ambiguous:
        warn(QStringLiteral("这个文件夹里有几个文件的名称都显示为“%1”，请在列表中选择其中一个。")
                 .arg(m_nameEdit->text().trimmed()));
        return false;
    case Target::Missing:
        break;
    }
    struct stat info = {};
    QString parent = target.path.first(qMax(0, target.path.lastIndexOf(u'/')));
    if (parent.isEmpty())
        parent = QStringLiteral("/");
    if (!m_mustExist && PathBytes::stat(parent, info) && S_ISDIR(info.st_mode)) {
        choose(target.path);
        return true;
    }
    warn((m_mustExist ? QStringLiteral("%1\n找不到文件。\n请检查文件名是否正确。")
                      : QStringLiteral("%1\n找不到文件夹。\n请检查路径是否正确。"))
             .arg(PathBytes::readable(m_mustExist ? target.path : parent)));
    return false;
}

void OpenFileDialog::choose(const QString &path)
{
    if (!mayReplace(path))
        return;
    m_chosen = path;
    accept();
}

// Saving over a file that exists, whatever its name's bytes, is asked first.
bool OpenFileDialog::mayReplace(const QString &path)
{
    struct stat info = {};
    if (m_mode != Save || !m_askBeforeReplacing || !PathBytes::stat(path, info))
        return true;
    const QString name = PathBytes::readable(path.sliced(path.lastIndexOf(u'/') + 1));
    return QMessageBox::warning(
               this, windowTitle(), QStringLiteral("%1 已经存在。\n要替换它吗？").arg(name),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void OpenFileDialog::warn(const QString &text)
{
    QMessageBox::warning(this, windowTitle(), text);
}
