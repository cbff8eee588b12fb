#pragma once

#include "platform/download.h"

#include <QPointer>
#include <memory>

class QProgressDialog;
class QWidget;

// A modal progress dialog over the owner window: the address, the bytes
// received so far and a cancel button. While it shows, the rest of the
// program takes no input.
class DownloadProgressDialog final : public DownloadProgress {
public:
    explicit DownloadProgressDialog(QWidget *owner = nullptr);
    ~DownloadProgressDialog() override;

    void begin(const QString &address, std::function<void()> cancel) override;
    void advance(qint64 received, qint64 total) override;
    void end() override;

    // The dialog while a download runs, else null.
    QProgressDialog *dialog() const { return m_dialog.get(); }

private:
    QPointer<QWidget> m_owner;
    std::unique_ptr<QProgressDialog> m_dialog;
    QString m_address;
};
