#pragma once

class Database;

// Brings an open catalogue up to this program's version (PRAGMA user_version) in one transaction:
// a catalogue whose names were indexed in an older order of names has those indexes rebuilt. A
// rebuild that would make two names one is undone, leaving the file as it was, and raises 3022
// naming them. Newer catalogues are left alone.
void upgradeCatalogue(const Database& database);
