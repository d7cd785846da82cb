#pragma once

class Database;

// Brings an open catalogue to this program's order of names (PRAGMA user_version) in one
// transaction: a catalogue whose names were indexed in another order, by an older program or on a
// system with other collation data, has those indexes rebuilt. A rebuild that would make two names
// one is undone, leaving the file as it was, and raises 3022 naming them.
void upgradeCatalogue(const Database& database);
