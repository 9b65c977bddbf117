#pragma once

#include "Recordset.h"

#include <QString>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The one open register file. Statements arrive as text in the register's own dialect
// (see Dialect.h) and are translated before the engine sees them.
class Database
{
public:
    // Called with every statement: as the program wrote it and as the engine runs it.
    using Observer = std::function<void(const QString& written, const QString& executed)>;

    // Opens an existing register for exclusive use; a second opener is refused at once, and so is a
    // file in a folder the user cannot write to (every change needs a journal file beside it). What is
    // no register of this program (not a regular file, no register, one of a newer version) is refused
    // before anything touches it. Nothing is written to a register here (a hot journal left by a crash
    // is rolled back, as always). Throws SqlError with the engine's number and text.
    static std::unique_ptr<Database> open(const QString& path);

    // For looking only: nothing can be written, and nothing is left beside the file; the file may lie
    // anywhere. Refuses what open() refuses, apart from a write-protected folder.
    static std::unique_ptr<Database> openReadOnly(const QString& path);

    // Writes a new file holding the four empty tables. Refuses (SqlError) when the file exists.
    static void create(const QString& path);
    // The same as an earlier version of the program wrote it (for checking the upgrades).
    static void createAtVersion(const QString& path, int schemaVersion);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs an insert, update or delete. Every statement is atomic: a refused statement changes
    // nothing. failOnError is kept for the call sites that ask for it; both forms throw SqlError.
    void execute(const QString& sql, bool failOnError = false);

    // Runs engine SQL exactly as written, bypassing the dialect: the schema's own statements.
    void executeNative(const QString& sql);

    // Runs a query and positions on its first row.
    Recordset openRecordset(const QString& sql);

    void setObserver(Observer observer) { m_observer = std::move(observer); }

    // Called before every statement that may write (execute, executeNative, the start of a
    // Transaction): the start holds writes there until the day's copy of the register is whole.
    void setWriteGate(std::function<void()> gate) { m_writeGate = std::move(gate); }

    // Called once as the connection closes, before it does: what reads through it from another thread
    // (the day's copy) stops there, however the register is let go.
    void setBeforeClose(std::function<void()> stop) { m_beforeClose = std::move(stop); }

    // Groups several statements: all of them land or none (rolls back unless committed).
    class Transaction
    {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        void commit();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        Database& m_db;
        QString m_name;
        bool m_done = false;
    };

    sqlite3* handle() const { return m_db; }

private:
    explicit Database(sqlite3* db);
    QString translate(const QString& sql) const;
    void runPlain(const char* sql);
    void beforeWrite() const;
    // Translates, reports to the observer and prepares exactly one statement.
    sqlite3_stmt* prepare(const QString& sql);

    sqlite3* m_db = nullptr;
    Observer m_observer;
    std::function<void()> m_writeGate;
    std::function<void()> m_beforeClose;
    int m_savepointDepth = 0;
};
