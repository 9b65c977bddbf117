#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

// Text as the engine stores it (UTF-8) turned into a QString with every character kept.
namespace Utf8 {

// QString::fromUtf8 drops a leading byte-order mark; a stored value must come back as it was written,
// so a value that starts with one takes the decoder that keeps it.
inline QString decode(QByteArrayView bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

} // namespace Utf8
