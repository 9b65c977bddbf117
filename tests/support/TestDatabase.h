#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh register file in a temporary folder, opened as the program's database (app().DB),
// with the language set to German and the system number "4711". Closed again on destruction.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }

    // Shorthands for arranging data.
    void exec(const QString& sql);
    QVariant scalar(const QString& sql);   // first field of the first row; null when none
    int count(const QString& table, const QString& where = {});

private:
    QTemporaryDir m_dir;
    QString m_path;
};
