#include "dialogs/form3text.h"

#include "platform/ansicodec.h"

namespace Form3Text {

namespace {

// The key code read as one ANSI (GBK) byte. Most codes from 128 up are lead
// bytes of double-byte characters and no character alone: those show as
// "?", as the system's conversion shows them.
QString ansiCharacter(int keyCode)
{
    if (keyCode >= 0 && keyCode < 0x80)
        return QString(QChar(char16_t(keyCode)));
    const char byte = char(keyCode & 0xFF);
    const QString decoded = AnsiCodec::decode(QByteArrayView(&byte, 1));
    if (decoded.size() == 1 && !decoded.front().isSurrogate())
        return decoded;
    return QStringLiteral("?");
}

} // namespace

QString prompt()
{
    return QStringLiteral("请按键...");
}

QString forKey(int keyCode)
{
    return prompt() + QStringLiteral("\r\n\r\n") + ansiCharacter(keyCode) +
           QStringLiteral("  的键值是：  ") + QString::number(keyCode);
}

} // namespace Form3Text
