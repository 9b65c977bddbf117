#include "HandoutList.h"

#include "core/Blanks.h"
#include "core/Database.h"
#include "core/Sql.h"
#include "core/Utf8.h"

#include <QStringBuilder>
#include <string>
#include <string_view>
#include <unordered_map>

namespace HandoutList {

QString filterCondition(const QString& vonDatum, const QString& bisDatum, const QString& schluessel,
                        const QString& person)
{
    QString w;
    const auto add = [&w](const QString& condition) {
        if (!w.isEmpty())
            w += QStringLiteral(" AND");
        w += condition;
    };
    if (!isBlank(vonDatum))
        add(QStringLiteral(" Von >= #") + vonDatum + QLatin1Char('#'));
    if (!isBlank(bisDatum))
        add(QStringLiteral(" Von <= #") + bisDatum + QLatin1Char('#'));
    // Typed wildcards stay wildcards; a typed quote stays a quote.
    if (!isBlank(schluessel))
        add(QStringLiteral(" TBSchluessel.SchluesselNr LIKE '") + Sql::sqlText(schluessel) + QStringLiteral("*'"));
    if (!isBlank(person))
        add(QStringLiteral(" Nachname LIKE '") + Sql::sqlText(person) + QStringLiteral("*'"));
    return w;
}

QString query(const QString& w)
{
    const QString f = w.isEmpty() ? QString() : QStringLiteral("AND ") + w;
    return QStringLiteral("SELECT Von, TBSchluessel.SchluesselNr, TBBewegungen.ZusatzNr, Funktion, ") +
           QStringLiteral("Nachname, Vorname, BewID FROM (TBBewegungen INNER JOIN TBSchluessel ON ") +
           QStringLiteral("TBBewegungen.SchluesselNr = TBSchluessel.SchluesselNr) INNER JOIN TBPersonen ") +
           QStringLiteral("ON TBBewegungen.PersonID = TBPersonen.PersID WHERE Status = 0 ") + f +
           QStringLiteral(" ORDER BY Von DESC, TBSchluessel.SchluesselNr ASC, ") +
           QStringLiteral("TBBewegungen.ZusatzNr ASC");
}

namespace {

// The texts of a long list repeat from line to line: a key and its function on every copy of it out, a
// person on each of their keys, the same few additional numbers. Each distinct text is decoded once
// and then shared by its lines, which saves time on the fill and memory for as long as the list stands.
class SharedTexts
{
public:
    // The text stored as these bytes in this column (Null: a null QString).
    const QString& get(char column, QByteArrayView bytes)
    {
        m_key.assign(1, column);
        m_key.push_back(bytes.data() ? '+' : '-');
        m_key.append(bytes.data(), static_cast<std::size_t>(bytes.size()));
        return lookup([&] { return bytes.data() ? Utf8::decode(bytes) : QString(); });
    }

    // Family name, a blank, given name; a missing family name leaves the given name alone.
    const QString& person(QByteArrayView nachname, QByteArrayView vorname)
    {
        m_key.assign(1, 'P');
        m_key.push_back(nachname.data() ? '+' : '-');
        m_key.append(std::to_string(nachname.size()));
        m_key.push_back(':');
        m_key.append(nachname.data(), static_cast<std::size_t>(nachname.size()));
        m_key.append(vorname.data(), static_cast<std::size_t>(vorname.size()));
        return lookup([&] {
            const QString given = Utf8::decode(vorname);
            return nachname.data() ? QString(Utf8::decode(nachname) % QLatin1Char(' ') % given) : given;
        });
    }

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };

    template <typename Make> const QString& lookup(Make make)
    {
        const auto found = m_texts.find(std::string_view(m_key));
        if (found != m_texts.end())
            return found->second;
        return m_texts.emplace(m_key, make()).first->second;
    }

    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
    std::string m_key; // reused for every lookup
};

} // namespace

QVector<VergabenModel::Line> read(Database& db, const QString& sql)
{
    QVector<VergabenModel::Line> lines;
    SharedTexts texts;
    Recordset rs = db.openRecordset(sql);
    while (!rs.eof()) {
        VergabenModel::Line& line = lines.emplace_back();
        line.von = rs.date(0);
        line.schluesselNr = texts.get('K', rs.bytes(1));
        line.zusatzNr = texts.get('Z', rs.bytes(2));
        line.funktion = texts.get('F', rs.bytes(3));
        line.person = texts.person(rs.bytes(4), rs.bytes(5));
        const QVariant id = rs.field(6);
        if (!id.isNull())
            line.bewId = id.toInt();
        rs.moveNext();
    }
    rs.close();
    return lines;
}

} // namespace HandoutList
