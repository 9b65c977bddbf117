#include "Database.h"

#include "CollationVersion.h"
#include "Dialect.h"
#include "Schema.h"
#include "SqlError.h"
#include "SqlFunctions.h"
#include "Texts.h"
#include "Utf8.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace {

struct HandleCloser
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Handle = std::unique_ptr<sqlite3, HandleCloser>;

[[noreturn]] void throwEngineError(sqlite3* db, int rc, const QString& statement = {})
{
    // The primary result code is the number the user sees (5 for a file in use, 19 for a refused value).
    const QString text = Utf8::decode(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    throw SqlError(rc & 0xff, text, statement);
}

void run(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwEngineError(db, rc, Utf8::decode(sql));
}

Handle openHandle(const QByteArray& name, int flags)
{
    // No SQLITE_OPEN_CREATE: the file must exist; the engine refuses a missing one. The engine serializes
    // the calls on a connection: at the start the day's copy reads the register in one thread while the
    // main window's lists are read in another.
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &raw, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
    Handle db(raw);
    if (rc != SQLITE_OK)
        throwEngineError(db.get(), rc);
    // A file in use elsewhere is refused at once, never waited for.
    sqlite3_busy_timeout(db.get(), 0);
    const int installed = SqlFunctions::install(db.get());
    if (installed != SQLITE_OK)
        throwEngineError(db.get(), installed);
    return db;
}

Handle openWritable(const QString& path)
{
    Handle db = openHandle(QFile::encodeName(path), SQLITE_OPEN_READWRITE);
    // The engine quietly falls back to reading only when the file is write-protected; the register
    // must be writable, so say so now rather than at the first change.
    if (sqlite3_db_readonly(db.get(), "main") == 1)
        throw SqlError(SQLITE_READONLY, QStringLiteral("attempt to write a readonly database"));
    // Crash safety: a rollback journal (DELETE) with synchronous=FULL. Each statement reaches the disk
    // before it returns, a crash in the middle is rolled back from the journal by the next open, and at
    // rest the register is the one file, readable by a stock sqlite3 and copied as one file (while it is
    // open, exclusive mode keeps an emptied journal beside it and removes it at close).
    // WAL would buy write speed a clerk's clicks never need, and leave -wal/-shm files beside it.
    run(db.get(), "PRAGMA journal_mode = DELETE");
    run(db.get(), "PRAGMA synchronous = FULL");
    // Room for the pages of a large site's lists (32 MB rather than 2), so a refill finds them in memory.
    run(db.get(), "PRAGMA cache_size = -32768");
    return db;
}

// The journal is created beside the file at every change: in a folder the user may not write to, each
// change would be refused. Refuse at open instead, with the number the engine would give then.
void requireWritableFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isWritable())
        throw SqlError(SQLITE_READONLY,
                       GetText(QStringLiteral("Der Ordner der Datenbank ist schreibgeschützt. Das Programm muss dort "
                                              "eine Hilfsdatei anlegen, sonst kann es keine Änderung speichern: %1"),
                               722)
                           .arg(QDir::toNativeSeparators(folder)));
}

bool hasTable(sqlite3* db, const QString& table)
{
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE";
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray name = table.toUtf8();
        sqlite3_bind_text(stmt, 1, name.constData(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throwEngineError(db, rc);
    return rc == SQLITE_ROW;
}

void requireTables(sqlite3* db)
{
    QStringList missing;
    for (const QString& table : Schema::tables()) {
        if (!hasTable(db, table))
            missing.append(table);
    }
    if (!missing.isEmpty())
        throw SqlError(
            SQLITE_NOTADB,
            QStringLiteral("file is not a key register (missing tables: %1)").arg(missing.join(QStringLiteral(", "))));
}

bool onlyBlanksOrSemicolons(const char* tail)
{
    for (; tail && *tail; ++tail) {
        if (*tail != ';' && *tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n')
            return false;
    }
    return true;
}

// A folder, a device or a named pipe is no register: refused before the engine opens it (opening a pipe
// would wait for a writer). A link to a register is followed.
void requireRegularFile(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        throw SqlError(
            SQLITE_CANTOPEN,
            GetText(QStringLiteral("Die Datenbank ist keine gewöhnliche Datei, sondern ein Ordner, ein Gerät "
                                   "oder eine Pipe:"),
                    1750) +
                QLatin1Char(' ') + QDir::toNativeSeparators(path));
}

// The file read as it lies: without a lock, without rolling anything back and without writing anything,
// beside it either (no journal, no -wal or -shm file, which a file in WAL mode would otherwise get).
Handle openAsItLies(const QString& path)
{
    return openHandle(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?immutable=1",
                      SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

// A crash left a journal beside the file: the file is whole only once the journal is rolled back. A
// journal is live while its header begins with the engine's mark (the engine zeroes it when done).
bool hasHotJournal(const QString& path)
{
    static const QByteArray kMark("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    QFile journal(path + QStringLiteral("-journal"));
    return journal.open(QIODevice::ReadOnly) && journal.read(8) == kMark;
}

int storedVersion(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr);
    const int version = rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : 0;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        throwEngineError(db, rc);
    return version;
}

// A register of a newer program may hold what this one does not know: it is neither read nor written.
void requireKnownVersion(sqlite3* db)
{
    const int version = storedVersion(db);
    if (version > Schema::version())
        throw SqlError(SQLITE_NOTADB,
                       GetText(QStringLiteral("Das Register wurde von einer neueren Version des Programms geschrieben "
                                              "(Registerversion %1; dieses Programm liest bis Version %2). Bitte "
                                              "öffnen Sie es mit der neueren Version."),
                               1751)
                           .arg(version)
                           .arg(Schema::version()));
}

// Before anything is done with it: a file that is no register of this program is refused as it lies.
void inspect(sqlite3* db)
{
    requireTables(db);
    requireKnownVersion(db);
}

// The file's header says WAL mode (read and write version 2).
bool walMode(sqlite3* db)
{
    sqlite3_file* file = nullptr;
    unsigned char versions[2] = {};
    return sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK && file && file->pMethods &&
           file->pMethods->xRead(file, versions, 2, 18) == SQLITE_OK && versions[1] == 2;
}

} // namespace

std::unique_ptr<Database> Database::open(const QString& path)
{
    requireRegularFile(path);
    // A refused file stays byte for byte as it was, and nothing appears beside it: the engine would set
    // the journal mode below (rewriting a WAL file's header) and give an empty file its first page.
    if (!hasHotJournal(path))
        inspect(openAsItLies(path).get());
    Handle db = openWritable(path);
    inspect(db.get());
    requireWritableFolder(path);
    // Exclusive use: the engine keeps every lock it takes until the handle closes. Taking the write lock
    // now, without waiting, makes a second copy of the program fail here ("database is locked", 5) and
    // not at its first statement. The locks are the operating system's file locks, so they go with the
    // process however it ends. Neither this nor anything above writes to a register.
    run(db.get(), "PRAGMA locking_mode = EXCLUSIVE");
    run(db.get(), "BEGIN EXCLUSIVE");
    run(db.get(), "COMMIT");
    return std::unique_ptr<Database>(new Database(db.release()));
}

std::unique_ptr<Database> Database::openReadOnly(const QString& path)
{
    requireRegularFile(path);
    Handle look = openAsItLies(path);
    inspect(look.get());
    // A file in WAL mode is read as it lies: opened the usual way, it would get -wal and -shm files that a
    // reader cannot remove. Any other file is read under a lock, so a program writing it meanwhile is seen.
    if (walMode(look.get()))
        return std::unique_ptr<Database>(new Database(look.release()));
    look.reset();
    Handle db = openHandle(QFile::encodeName(path), SQLITE_OPEN_READONLY);
    requireTables(db.get());
    return std::unique_ptr<Database>(new Database(db.release()));
}

void Database::create(const QString& path)
{
    createAtVersion(path, Schema::version());
}

void Database::createAtVersion(const QString& path, int schemaVersion)
{
    // Creating the empty file first and atomically refuses an existing one, even one that appears meanwhile.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw SqlError(SQLITE_CANTOPEN, file.errorString()); // the caller names the file
    file.close();
    try {
        Database db(openWritable(path).release());
        Transaction transaction(db);
        Schema::create(db, schemaVersion);
        // A new register's (empty) indexes are in the running program's text order from the start.
        if (hasTable(db.m_db, QStringLiteral("TBSystem")))
            db.executeNative(CollationVersion::recordStatement());
        transaction.commit();
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

Database::Database(sqlite3* db) : m_db(db) {}

Database::~Database()
{
    if (m_beforeClose)
        m_beforeClose();
    // close_v2 waits for recordsets still open; the file locks go with the last of them.
    sqlite3_close_v2(m_db);
}

QString Database::translate(const QString& sql) const
{
    return Dialect::translate(sql);
}

void Database::beforeWrite() const
{
    if (m_writeGate)
        m_writeGate();
}

void Database::runPlain(const char* sql)
{
    run(m_db, sql);
}

sqlite3_stmt* Database::prepare(const QString& sql)
{
    QString executed;
    try {
        executed = translate(sql);
    } catch (...) {
        if (m_observer)
            m_observer(sql, QString());
        throw;
    }
    if (m_observer)
        m_observer(sql, executed);

    const QByteArray utf8 = executed.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &stmt, &tail);
    if (rc != SQLITE_OK)
        throwEngineError(m_db, rc, sql);
    if (!stmt)
        throw SqlError(SQLITE_MISUSE, QStringLiteral("empty statement"), sql);
    // One statement per call, as the old engine took them: text after it is refused, not run.
    if (!onlyBlanksOrSemicolons(tail)) {
        sqlite3_finalize(stmt);
        throw SqlError(SQLITE_ERROR, QStringLiteral("characters found after end of SQL statement"), sql);
    }
    return stmt;
}

void Database::execute(const QString& sql, bool /*failOnError*/)
{
    // Every statement runs in its own implicit transaction (or as one step of an open Transaction), and a
    // refused statement is undone completely; there is no mode that skips failing rows.
    beforeWrite();
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(prepare(sql), sqlite3_finalize);
    if (sqlite3_column_count(stmt.get()) > 0)
        throw SqlError(SQLITE_MISUSE, QStringLiteral("a query cannot be executed; open it as a recordset"), sql);
    const int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_DONE)
        throwEngineError(m_db, rc, sql);
}

void Database::executeNative(const QString& sql)
{
    beforeWrite();
    run(m_db, sql.toUtf8().constData());
}

Recordset Database::openRecordset(const QString& sql)
{
    return Recordset(prepare(sql), sql);
}

Database::Transaction::Transaction(Database& db)
    : m_db(db), m_name(QStringLiteral("clavaro_%1").arg(db.m_savepointDepth + 1))
{
    m_db.beforeWrite();
    m_db.runPlain(QStringLiteral("SAVEPOINT %1").arg(m_name).toUtf8().constData());
    ++m_db.m_savepointDepth;
}

Database::Transaction::~Transaction()
{
    if (m_done)
        return;
    try {
        m_db.runPlain(QStringLiteral("ROLLBACK TO %1").arg(m_name).toUtf8().constData());
        m_db.runPlain(QStringLiteral("RELEASE %1").arg(m_name).toUtf8().constData());
    } catch (const SqlError&) {
        // Nothing sensible is left to do in a destructor; the engine has rolled back what it could.
    }
    --m_db.m_savepointDepth;
}

void Database::Transaction::commit()
{
    if (m_done)
        return;
    m_db.runPlain(QStringLiteral("RELEASE %1").arg(m_name).toUtf8().constData());
    m_done = true;
    --m_db.m_savepointDepth;
}
