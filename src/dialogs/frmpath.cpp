#include "dialogs/frmpath.h"

#include "dialogs/frmpathfolderlist.h"
#include "platform/places.h"
#include "platform/twips.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

FRMpath::FRMpath(QWidget *owner)
    : QDialog(owner)
    , m_drive(new QComboBox(this))
    , m_picture(new QFrame(this))
    , m_choose(new QPushButton(QStringLiteral("选  择"), m_picture))
    , m_dir(new FolderList(this))
    , m_labPath(new QLabel(this))
{
    setObjectName(QStringLiteral("FRMpath"));
    setWindowTitle(QStringLiteral("选择路径"));
    setModal(true);

    m_drive->setObjectName(QStringLiteral("Drive1"));
    m_drive->setAccessibleName(QStringLiteral("驱动器"));
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setFrameShape(QFrame::StyledPanel);
    m_choose->setObjectName(QStringLiteral("Command1"));
    QFont small(QStringLiteral("宋体"));
    small.setPointSizeF(7.5);
    m_choose->setFont(small);
    m_choose->setAutoDefault(false);
    auto *pictureLayout = new QHBoxLayout(m_picture);
    pictureLayout->setContentsMargins(0, 0, 0, 0);
    pictureLayout->addWidget(m_choose);

    m_labPath->setObjectName(QStringLiteral("Labpath"));
    m_labPath->setTextFormat(Qt::PlainText);
    m_labPath->setAutoFillBackground(true);
    m_labPath->setBackgroundRole(QPalette::Base);
    m_labPath->setForegroundRole(QPalette::Text);
    m_labPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    const int margin = Twips::toPixels(120);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setHorizontalSpacing(Twips::toPixels(105));
    layout->setVerticalSpacing(margin);
    layout->addWidget(m_drive, 0, 0);
    layout->addWidget(m_picture, 0, 1);
    layout->addWidget(m_dir, 1, 0, 1, 2);
    layout->addWidget(m_labPath, 2, 0, 1, 2);
    layout->setColumnStretch(0, 1695);
    layout->setColumnStretch(1, 975);
    layout->setRowStretch(1, 1);
    resize(QSize(Twips::toPixels(3045), Twips::toPixels(3405)).expandedTo(sizeHint()));

    setDrives(FolderPlaces::drives());
    connect(m_drive, &QComboBox::activated, this, [this] { Drive1_Change(); });
    connect(m_dir, &FolderList::pathChanged, this, &FRMpath::showPath);
    connect(m_choose, &QPushButton::clicked, this, &FRMpath::Command1_Click);
}

void FRMpath::setDrives(const QList<FolderDrive> &drives)
{
    m_drives = drives;
    const QSignalBlocker blocker(m_drive);
    m_drive->clear();
    for (const FolderDrive &drive : drives)
        m_drive->addItem(drive.label, drive.root);
}

QString FRMpath::currentPath() const
{
    return m_dir->path();
}

void FRMpath::selectDrive(const QString &root)
{
    const QSignalBlocker blocker(m_drive);
    m_drive->setCurrentIndex(m_drive->findData(root));
}

void FRMpath::startAt(const QString &folder)
{
    selectDrive(FolderPlaces::driveOf(folder, m_drives));
    Drive1_Change();
    m_dir->setPath(folder);
    if (m_labPath->text().isEmpty())
        showPath(m_dir->path());
}

void FRMpath::Drive1_Change()
{
    const QString root = m_drive->currentData().toString();
    if (m_dir->setPath(root))
        return;
    selectDrive(FolderPlaces::driveOf(m_dir->path(), m_drives));
    m_labPath->setText(QStringLiteral("设备不可用！"));
    m_labPath->setAccessibleName(m_labPath->text());
}

void FRMpath::showPath(const QString &path)
{
    const QString shown = GetShortFileName(path);
    m_labPath->setText(shown);
    m_labPath->setToolTip(shown);
    m_labPath->setAccessibleName(shown);
}

void FRMpath::Command1_Click()
{
    m_result = m_dir->path();
    QDialog::done(QDialog::Accepted);
}

void FRMpath::done(int code)
{
    // Only "选  择" chooses; the close box, Esc and the system menu cancel.
    if (code != QDialog::Accepted || m_result.isEmpty())
        m_result = canceledResult();
    QDialog::done(code);
}

QString ChooseFolder(QWidget *owner, QString &startFolder, int x, int y)
{
    FRMpath chooser(owner);

    if (x != 0 && y != 0) {
        chooser.move(Twips::toPixels(x), Twips::toPixels(y));
    } else {
        QRect ownerRect;
        // The chooser's frame is not known before it shows: take the owner's.
        QSize frameExtra;
        if (owner) {
            const QWidget *top = owner->window();
            ownerRect = top->frameGeometry();
            frameExtra = ownerRect.size() - top->size();
        } else if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            ownerRect = screen->availableGeometry();
        }
        chooser.move(FolderPlaces::centredOver(ownerRect, chooser.size() + frameExtra));
    }

    if (startFolder.isEmpty())
        startFolder = Places::programFolder();
    chooser.startAt(startFolder);

    chooser.exec();
    return chooser.result();
}
