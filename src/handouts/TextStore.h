#pragma once

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringView>
#include <vector>

// Every text of one handout list in a single buffer: a refill of 100,000 lines then allocates a few
// times instead of half a million, and the list takes a fraction of the memory. A line keeps pieces,
// places in the buffer, which stay valid however the buffer grows.
class TextStore
{
public:
    struct Piece
    {
        quint32 offset = 0;
        quint32 size = 0;
    };

    QStringView view(Piece piece) const { return QStringView(m_chars.data() + piece.offset, piece.size); }

    void reserve(qsizetype chars) { m_chars.reserve(static_cast<std::size_t>(chars)); }
    Piece add(QStringView text);
    // UTF-8 as the engine stores it, decoded straight into the buffer (a leading byte-order mark kept).
    Piece addUtf8(QByteArrayView bytes);

    // Several additions that form one piece: mark(), add..., then since(mark).
    quint32 mark() const { return static_cast<quint32>(m_chars.size()); }
    Piece since(quint32 mark) const { return {mark, static_cast<quint32>(m_chars.size()) - mark}; }

private:
    std::vector<char16_t> m_chars;
    QStringDecoder m_decoder{QStringConverter::Utf8,
                             QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom};
};
