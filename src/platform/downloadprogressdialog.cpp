#include "platform/downloadprogressdialog.h"

#include <QLocale>
#include <QProgressDialog>
#include <QWidget>
#include <climits>

namespace {

QString receivedText(const QString &address, qint64 received, qint64 total)
{
    const QLocale locale;
    QString text = QStringLiteral("正在下载 ") + address + QStringLiteral("\n已接收 ") +
                   locale.toString(received);
    if (total > 0)
        text += QStringLiteral(" / ") + locale.toString(total);
    return text + QStringLiteral(" 字节");
}

} // namespace

DownloadProgressDialog::DownloadProgressDialog(QWidget *owner)
    : m_owner(owner)
{}

DownloadProgressDialog::~DownloadProgressDialog() = default;

void DownloadProgressDialog::begin(const QString &address, std::function<void()> cancel)
{
    m_address = address;
    m_dialog = std::make_unique<QProgressDialog>(m_owner.data());
    QProgressDialog &dialog = *m_dialog;
    dialog.setWindowTitle(QStringLiteral("下载"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    dialog.setLabelText(receivedText(address, 0, -1));
    dialog.setWindowModality(Qt::ApplicationModal);
    // The dialog is hidden and reset by end(), not when the bar is full.
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setRange(0, 0);
    dialog.setMinimumDuration(0);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                     [cancel = std::move(cancel)] { cancel(); });
    dialog.show();
}

void DownloadProgressDialog::advance(qint64 received, qint64 total)
{
    if (!m_dialog)
        return;
    m_dialog->setLabelText(receivedText(m_address, received, total));
    // The bar counts kilobytes so that large files fit its int range.
    if (total > 0) {
        const int maximum = int(qMin<qint64>(total / 1024 + 1, INT_MAX));
        m_dialog->setMaximum(maximum);
        m_dialog->setValue(int(qMin<qint64>(received / 1024, maximum)));
    }
}

void DownloadProgressDialog::end()
{
    if (!m_dialog)
        return;
    QObject::disconnect(m_dialog.get(), &QProgressDialog::canceled, nullptr, nullptr);
    m_dialog->hide();
    m_dialog.reset();
}
