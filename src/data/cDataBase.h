#pragma once

#include "data/Database.h"

#include <QString>

#include <memory>

// The program's one connection to the catalogue.
class cDataBase
{
public:
    // Prepares the engine: raises 429 when the linked engine cannot encrypt.
    cDataBase();
    ~cDataBase();
    cDataBase(const cDataBase&) = delete;
    cDataBase& operator=(const cDataBase&) = delete;

    // The open catalogue; raises 91 before OpenDB has succeeded.
    Database& DB() const;

    QString DBName() const { return m_fileName; }
    void setDBName(const QString& fileName) { m_fileName = fileName; }

    // Opens DBName shared and writable with the catalogue's password and returns true. Every failure
    // is raised with its own number, the source "Database Class::Open" and the description
    // " Error Opening the database.  " followed by the engine's: 3024 for a missing file, 3051 for a
    // file that is locked, unreadable, read-only, damaged, not a catalogue or protected with another
    // password.
    bool OpenDB();
    // Closes the catalogue's file; DB raises 91 until OpenDB succeeds again, and record sets still
    // open raise 3420. Nothing happens when it is not open.
    void CloseDB();

    // The catalogue's connect string, built when needed so that the password never stands in the
    // program file as plain text.
    static QString ConnectString();

private:
    std::unique_ptr<Database> m_database;
    QString m_fileName;
};

// The one connection, made by the start-up sequence and alive until the program ends.
extern std::unique_ptr<cDataBase> gDB;
