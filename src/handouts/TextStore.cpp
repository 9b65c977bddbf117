#include "TextStore.h"

TextStore::Piece TextStore::add(QStringView text)
{
    const quint32 start = mark();
    m_chars.insert(m_chars.end(), text.utf16(), text.utf16() + text.size());
    return since(start);
}

TextStore::Piece TextStore::addUtf8(QByteArrayView bytes)
{
    const quint32 start = mark();
    // A UTF-8 text never has more UTF-16 units than bytes.
    m_chars.resize(m_chars.size() + static_cast<std::size_t>(bytes.size()));
    auto* begin = reinterpret_cast<QChar*>(m_chars.data() + start);
    const QChar* end = m_decoder.appendToBuffer(begin, bytes);
    m_chars.resize(start + static_cast<std::size_t>(end - begin));
    return since(start);
}
