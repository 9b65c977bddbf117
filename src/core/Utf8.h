#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <cstring>

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

// True when every byte is below 0x80: such text needs no decoding and folds by letter case alone.
// Eight bytes at a time, since it runs for every row of a search and every comparison of an index.
inline bool isAscii(QByteArrayView text)
{
    const char* p = text.data();
    qsizetype n = text.size();
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; n > 0; ++p, --n) {
        if (static_cast<unsigned char>(*p) & 0x80)
            return false;
    }
    return true;
}

} // namespace Utf8
