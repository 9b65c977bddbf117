#include "Schliessplan.h"

#include "FoldedLookup.h"
#include "core/Blanks.h"
#include "core/Database.h"
#include "core/KeyNumberFilter.h"
#include "core/RegisterChange.h"
#include "core/Sql.h"
#include "core/Statement.h"
#include "core/TextCollation.h"
#include "core/Texts.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <vector>

namespace Schliessplan {

namespace {

QString literal(const QString& text)
{
    return QLatin1Char('\'') + Sql::sqlText(text) + QLatin1Char('\'');
}

QString shown(const Recordset& rs, int column)
{
    return trimTrailingBlanks(rs.text(column));
}

// "<head> <item>, <item>, …<tail>" for the items in groups, so that thousands of rows take a few
// statements rather than thousands.
void inGroups(QStringList& statements, const QString& head, const QStringList& items, const QString& tail = {})
{
    constexpr qsizetype kGroup = 500;
    for (qsizetype i = 0; i < items.size(); i += kGroup)
        statements << head + items.mid(i, kGroup).join(QStringLiteral(", ")) + tail;
}

Cylinder cylinderOf(const Recordset& rs)
{
    return {rs.text(0), shown(rs, 1), shown(rs, 2), shown(rs, 3)};
}

const QString kCylinderColumns = QStringLiteral("z.ZylinderNr, z.Tuer, z.Bereich, z.Bemerkung");

} // namespace

PlanMatrix outline(Database& db)
{
    PlanMatrix plan;
    // The keys of the plan in its order; keys added to the register since then after them, in key order.
    struct Column
    {
        QString key;
        qint64 place;
    };
    QList<Column> columns;
    for (Recordset rs = db.openRecordset(QStringLiteral(
             "SELECT k.SchluesselNr, coalesce(p.Spalte, 9223372036854775807) FROM TBSchluessel k LEFT JOIN "
             "TBPlanSchluessel p ON p.SchluesselNr = k.SchluesselNr"));
         !rs.eof(); rs.moveNext())
        columns << Column{rs.text(0), rs.field(1).toLongLong()};
    std::sort(columns.begin(), columns.end(), [](const Column& a, const Column& b) {
        return a.place != b.place ? a.place < b.place : a.key.compare(b.key, Qt::CaseInsensitive) < 0;
    });
    plan.keys.reserve(columns.size());
    for (const Column& column : std::as_const(columns))
        plan.keys << column.key;

    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT ") + kCylinderColumns +
                                         QStringLiteral(" FROM TBZylinder z ORDER BY z.Reihe, z.ZylinderNr"));
         !rs.eof(); rs.moveNext()) {
        const Cylinder c = cylinderOf(rs);
        plan.cylinders << PlanMatrix::Cylinder{c.number, c.door, c.area, c.remark, {}};
    }
    return plan;
}

PlanMatrix stored(Database& db)
{
    PlanMatrix plan = outline(db);
    QHash<QString, int> keyColumn;
    for (qsizetype i = 0; i < plan.keys.size(); ++i)
        keyColumn.insert(TextCollation::equalityKey(plan.keys.at(i)), int(i));
    QHash<QString, int> cylinderRow;
    for (qsizetype i = 0; i < plan.cylinders.size(); ++i)
        cylinderRow.insert(TextCollation::equalityKey(plan.cylinders.at(i).number), int(i));

    // In the keys' order (the index on the key number holds both columns), so a key number is folded and
    // looked up once for all its cylinders; the plan's cylinders, far fewer than its keys, are then found by
    // their bytes. Read through the engine's own statement: a large plan has millions of crossings.
    bool started = false;
    QByteArray lastKey;
    int column = -1;
    FoldedLookup rowOfNumber(cylinderRow);
    std::vector<std::pair<int, int>> found; // row, column
    Statement crossings(db.handle(), "SELECT SchluesselNr, ZylinderNr FROM TBSchliessung ORDER BY SchluesselNr");
    while (crossings.next()) {
        const QByteArray key = crossings.textView(0);
        if (!started || key != lastKey) {
            started = true;
            lastKey = QByteArray(key.constData(), key.size());
            column = keyColumn.value(TextCollation::equalityKey(QString::fromUtf8(key)), -1);
        }
        if (column < 0)
            continue;
        if (const int row = rowOfNumber.value(crossings.textView(1)); row >= 0)
            found.push_back({row, column});
    }
    // Each cylinder's keys in one piece, in the columns' order.
    QList<int> perCylinder(plan.cylinders.size(), 0);
    for (const auto& [row, key] : found)
        ++perCylinder[row];
    for (qsizetype row = 0; row < plan.cylinders.size(); ++row)
        plan.cylinders[row].keys.reserve(perCylinder.at(row));
    for (const auto& [row, key] : found)
        plan.cylinders[row].keys.append(key);
    for (PlanMatrix::Cylinder& cylinder : plan.cylinders)
        std::sort(cylinder.keys.begin(), cylinder.keys.end());
    return plan;
}

bool hasPlan(Database& db)
{
    return !db.openRecordset(QStringLiteral("SELECT 1 FROM TBZylinder LIMIT 1")).eof();
}

QStringList keysOf(Database& db, const QString& cylinder)
{
    QStringList keys;
    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBSchliessung WHERE ZylinderNr = ") +
                                         literal(cylinder));
         !rs.eof(); rs.moveNext())
        keys << rs.text(0);
    return keys;
}

qsizetype crossings(Database& db)
{
    return db.openRecordset(QStringLiteral("SELECT Count(*) FROM TBSchliessung")).field(0).toLongLong();
}

ImportReport import(Database& db, const PlanMatrix& plan)
{
    ImportReport report;

    // The plan's keys as the register numbers them; new ones are made, changed ones refused.
    QHash<QString, QString> registerKeys;
    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBSchluessel")); !rs.eof();
         rs.moveNext())
        registerKeys.insert(TextCollation::equalityKey(rs.text(0)), rs.text(0));
    QStringList keys; // by the plan's columns; empty for a refused one
    for (const QString& number : plan.keys) {
        if (const auto known = registerKeys.constFind(TextCollation::equalityKey(number));
            known != registerKeys.cend()) {
            keys << *known;
            continue;
        }
        const KeyNumberFilter rule = KeyNumberFilter::apply(number);
        if (rule.dropped == 0 && rule.text.size() <= 10 && rule.text.compare(number, Qt::CaseInsensitive) == 0) {
            keys << rule.text;
            report.keysCreated << rule.text;
        } else {
            keys << QString();
            report.keysRefused << (rule.text.isEmpty() ? number : number + QStringLiteral(" (") + rule.text + ')');
        }
    }

    struct Stored
    {
        Cylinder cylinder;
        int row = 0;
        QSet<QString> keys; // equality keys of the key numbers
        QStringList keyNumbers;
    };
    QHash<QString, Stored> before;
    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT ") + kCylinderColumns +
                                         QStringLiteral(", z.Reihe FROM TBZylinder z"));
         !rs.eof(); rs.moveNext()) {
        const Cylinder c = cylinderOf(rs);
        before.insert(TextCollation::equalityKey(c.number), {c, rs.field(4).toInt(), {}, {}});
    }
    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT ZylinderNr, SchluesselNr FROM TBSchliessung"));
         !rs.eof(); rs.moveNext()) {
        const auto found = before.find(TextCollation::equalityKey(rs.text(0)));
        if (found != before.end() && !found->keys.contains(TextCollation::equalityKey(rs.text(1)))) {
            found->keys.insert(TextCollation::equalityKey(rs.text(1)));
            found->keyNumbers << rs.text(1);
        }
    }

    // What the import writes, worked out before anything is written. New rows come before rows go, so that
    // no new row takes the rowid of one removed: taking the import back finds each row by its rowid.
    QStringList statements;
    QStringList changes; // of cylinders that stay
    if (!report.keysCreated.isEmpty()) {
        QStringList values;
        for (const QString& number : std::as_const(report.keysCreated))
            values << QStringLiteral("(%1, ' ', 0, False)").arg(literal(number));
        inGroups(statements,
                 QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES"), values);
    }

    QStringList newCylinders;
    QStringList newCrossings;
    QStringList touched; // cylinders whose crossings change, as literals
    QSet<QString> inPlan;
    for (qsizetype r = 0; r < plan.cylinders.size(); ++r) {
        const PlanMatrix::Cylinder& cylinder = plan.cylinders.at(r);
        const QString id = TextCollation::equalityKey(cylinder.number);
        inPlan.insert(id);
        const auto old = before.constFind(id);
        const QString number = old != before.cend() ? old->cylinder.number : cylinder.number;
        QSet<QString> opening;
        QStringList added;
        for (const int k : cylinder.keys) {
            const QString& key = keys.at(k);
            if (key.isEmpty())
                continue;
            opening.insert(TextCollation::equalityKey(key));
            if (old == before.cend() || !old->keys.contains(TextCollation::equalityKey(key))) {
                newCrossings << QStringLiteral("(%1, %2)").arg(literal(number), literal(key));
                added << key;
            }
        }
        ++report.cylinders;
        report.crossings += int(opening.size());
        if (old == before.cend()) {
            newCylinders << QStringLiteral("(%1, %2, %3)")
                                .arg(literal(cylinder.number), literal(cylinder.door), QString::number(r));
            report.cylindersAdded << cylinder.number;
            report.newCylinderCrossings += int(added.size());
            if (!added.isEmpty())
                touched << literal(number);
            continue;
        }
        if (old->cylinder.door != cylinder.door || old->row != r)
            changes << QStringLiteral("UPDATE TBZylinder SET Tuer = %1, Reihe = %2 WHERE ZylinderNr = %3")
                           .arg(literal(cylinder.door), QString::number(r), literal(number));
        if (old->cylinder.door != cylinder.door)
            report.doorsChanged << QStringLiteral("%1: %2 → %3").arg(number, old->cylinder.door, cylinder.door);
        QStringList removed;
        for (const QString& key : old->keyNumbers) {
            if (!opening.contains(TextCollation::equalityKey(key)))
                removed << key;
        }
        if (!removed.isEmpty()) {
            QStringList literals;
            for (const QString& key : std::as_const(removed))
                literals << literal(key);
            inGroups(changes,
                     QStringLiteral("DELETE * FROM TBSchliessung WHERE ZylinderNr = %1 AND SchluesselNr IN (")
                         .arg(literal(number)),
                     literals, QStringLiteral(")"));
        }
        if (!added.isEmpty() || !removed.isEmpty())
            touched << literal(number);
        for (const QString& key : std::as_const(added))
            report.crossingsAdded << number + QStringLiteral(": ") + key;
        for (const QString& key : std::as_const(removed))
            report.crossingsRemoved << number + QStringLiteral(": ") + key;
    }

    QStringList gone;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (!inPlan.contains(it.key())) {
            gone << literal(it->cylinder.number);
            report.cylindersRemoved << it->cylinder.number;
            if (!it->keys.isEmpty())
                touched << gone.last();
        }
    }
    inGroups(statements, QStringLiteral("INSERT INTO TBZylinder (ZylinderNr, Tuer, Reihe) VALUES"), newCylinders);
    inGroups(statements, QStringLiteral("INSERT INTO TBSchliessung (ZylinderNr, SchluesselNr) VALUES"), newCrossings);
    statements += changes;
    inGroups(statements, QStringLiteral("DELETE * FROM TBSchliessung WHERE ZylinderNr IN ("), gone,
             QStringLiteral(")"));
    inGroups(statements, QStringLiteral("DELETE * FROM TBZylinder WHERE ZylinderNr IN ("), gone, QStringLiteral(")"));

    // The keys' columns: new keys added, moved ones updated, the others removed.
    QHash<QString, int> columnBefore;
    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT SchluesselNr, Spalte FROM TBPlanSchluessel"));
         !rs.eof(); rs.moveNext())
        columnBefore.insert(TextCollation::equalityKey(rs.text(0)), rs.field(1).toInt());
    QStringList newColumns;
    QStringList kept;
    for (qsizetype k = 0; k < keys.size(); ++k) {
        if (keys.at(k).isEmpty())
            continue;
        kept << literal(keys.at(k));
        const auto found = columnBefore.constFind(TextCollation::equalityKey(keys.at(k)));
        if (found == columnBefore.cend())
            newColumns << QStringLiteral("(%1, %2)").arg(literal(keys.at(k)), QString::number(k));
        else if (*found != k)
            statements << QStringLiteral("UPDATE TBPlanSchluessel SET Spalte = %1 WHERE SchluesselNr = %2")
                              .arg(QString::number(k), literal(keys.at(k)));
    }
    inGroups(statements, QStringLiteral("INSERT INTO TBPlanSchluessel (SchluesselNr, Spalte) VALUES"), newColumns);
    if (!columnBefore.isEmpty())
        statements << QStringLiteral("DELETE * FROM TBPlanSchluessel") +
                          (kept.isEmpty() ? QString()
                                          : QStringLiteral(" WHERE SchluesselNr NOT IN (") +
                                                kept.join(QStringLiteral(", ")) + QLatin1Char(')'));

    report.cylindersRemoved.sort(Qt::CaseInsensitive);
    if (statements.isEmpty()) // the same plan again: nothing to write, nothing to keep for undo
        return report;

    QStringList createdKeys;
    for (const QString& number : std::as_const(report.keysCreated))
        createdKeys << literal(number);
    // Undo keeps the crossings of the cylinders the import changes, not all of a large plan's.
    QList<RowChange::Scope> scopes = {
        {QStringLiteral("TBZylinder"), QStringLiteral("1")},
        {QStringLiteral("TBSchliessung"), touched.isEmpty() ? QStringLiteral("0")
                                                            : QStringLiteral("ZylinderNr IN (") +
                                                                  touched.join(QStringLiteral(", ")) + ')'},
        {QStringLiteral("TBPlanSchluessel"), QStringLiteral("1")}};
    // The new keys last: taking one back takes its crossings along, which must be back in place by then.
    if (!createdKeys.isEmpty())
        scopes.append({QStringLiteral("TBSchluessel"),
                       QStringLiteral("SchluesselNr IN (") + createdKeys.join(QStringLiteral(", ")) + ')'});
    RegisterChange::make(RegisterChange::Kind::Schliessplan, scopes, [&] {
        for (const QString& statement : std::as_const(statements))
            db.execute(statement);
    });
    return report;
}

QStringList ImportReport::lines() const
{
    QStringList out;
    out << GetText(QStringLiteral("Der Schließplan hat jetzt %1 Zylinder und %2 Schließungen."), 1910)
               .arg(cylinders)
               .arg(crossings);
    const auto list = [&out](const QString& title, const QStringList& items) {
        if (items.isEmpty())
            return;
        out << title.arg(items.size());
        for (const QString& item : items)
            out << QStringLiteral("  ") + item;
    };
    list(GetText(QStringLiteral("Neue Schlüssel (Gesamtstand 0): %1"), 1911), keysCreated);
    list(GetText(QStringLiteral("Nicht übernommen, die Schlüsselnummer wäre nach der Regel eine andere: %1"), 1912),
         keysRefused);
    if (!cylindersAdded.isEmpty())
        out << GetText(QStringLiteral("Neue Zylinder: %1 (mit %2 Schließungen)"), 1913)
                   .arg(cylindersAdded.size())
                   .arg(newCylinderCrossings);
    for (const QString& number : cylindersAdded)
        out << QStringLiteral("  ") + number;
    list(GetText(QStringLiteral("Entfernte Zylinder: %1"), 1914), cylindersRemoved);
    list(GetText(QStringLiteral("Geänderte Türen: %1"), 1915), doorsChanged);
    list(GetText(QStringLiteral("Neue Schließungen: %1"), 1916), crossingsAdded);
    list(GetText(QStringLiteral("Entfernte Schließungen: %1"), 1917), crossingsRemoved);
    return out;
}

std::optional<Cylinder> cylinder(Database& db, const QString& number)
{
    Recordset rs = db.openRecordset(QStringLiteral("SELECT ") + kCylinderColumns +
                                    QStringLiteral(" FROM TBZylinder z WHERE z.ZylinderNr = ") + literal(number));
    if (rs.eof())
        return std::nullopt;
    return cylinderOf(rs);
}

QList<Holder> whoCanOpen(Database& db, const QString& cylinder)
{
    QList<Holder> holders;
    // The cylinder's keys first, then each key's copies out by the index on status and key number. b.Bis,
    // which no one here needs, is read all the same: without it the index of the copies out by day would
    // hold every column asked for, and the engine would rather walk all copies out through it (at full
    // size three to five times slower).
    for (Recordset rs = db.openRecordset(
             QStringLiteral("SELECT p.PersID, p.Nachname, p.Vorname, p.PersNr, b.SchluesselNr, b.ZusatzNr, b.Von, "
                            "b.BewID, b.Bis FROM TBBewegungen b INNER JOIN TBPersonen p ON p.PersID = b.PersonID "
                            "WHERE b.Status = 0 AND b.SchluesselNr IN (SELECT s.SchluesselNr FROM TBSchliessung s "
                            "WHERE s.ZylinderNr = ") +
             literal(cylinder) +
             QStringLiteral(") ORDER BY p.Nachname, p.Vorname, p.PersID, b.SchluesselNr, b.ZusatzNr"));
         !rs.eof(); rs.moveNext())
        holders << Holder{rs.field(0).toInt(), shown(rs, 1), shown(rs, 2), shown(rs, 3),
                          rs.text(4),          shown(rs, 5), rs.date(6),   rs.field(7).toInt()};
    return holders;
}

QList<KeyStock> keysOpening(Database& db, const QString& cylinder)
{
    QList<KeyStock> keys;
    for (Recordset rs = db.openRecordset(
             QStringLiteral("SELECT k.SchluesselNr, k.Funktion, k.Gesamt, (SELECT Count(BewID) FROM TBBewegungen b "
                            "WHERE b.Status = 0 AND b.SchluesselNr = k.SchluesselNr) FROM TBSchliessung s INNER JOIN "
                            "TBSchluessel k ON k.SchluesselNr = s.SchluesselNr WHERE s.ZylinderNr = ") +
             literal(cylinder) + QStringLiteral(" ORDER BY k.SchluesselNr"));
         !rs.eof(); rs.moveNext())
        keys << KeyStock{rs.text(0), shown(rs, 1), rs.field(2).toLongLong(), rs.field(3).toLongLong()};
    return keys;
}

QList<Cylinder> doorsOf(Database& db, const QString& keyNumber)
{
    QList<Cylinder> doors;
    for (Recordset rs = db.openRecordset(QStringLiteral("SELECT ") + kCylinderColumns +
                                         QStringLiteral(" FROM TBSchliessung s INNER JOIN TBZylinder z ON "
                                                        "z.ZylinderNr = s.ZylinderNr WHERE s.SchluesselNr = ") +
                                         literal(keyNumber) + QStringLiteral(" ORDER BY z.Reihe, z.ZylinderNr"));
         !rs.eof(); rs.moveNext())
        doors << cylinderOf(rs);
    return doors;
}

void setCrossing(Database& db, const QString& cylinder, const QString& keyNumber, bool opens)
{
    const QString crossing =
        QStringLiteral("ZylinderNr = %1 AND SchluesselNr = %2").arg(literal(cylinder), literal(keyNumber));
    RegisterChange::make(RegisterChange::Kind::Schliessung, {{QStringLiteral("TBSchliessung"), crossing}}, [&] {
        if (opens)
            db.execute(QStringLiteral("INSERT INTO TBSchliessung (ZylinderNr, SchluesselNr) SELECT %1, %2 WHERE NOT "
                                      "EXISTS (SELECT 1 FROM TBSchliessung WHERE %3)")
                           .arg(literal(cylinder), literal(keyNumber), crossing));
        else
            db.execute(QStringLiteral("DELETE * FROM TBSchliessung WHERE ") + crossing);
    });
}

} // namespace Schliessplan
