#pragma once

class Database;

// The version this program keeps in each catalogue (PRAGMA user_version): the level of its schema in
// the top bits and the order of its names (NameOrderVersion) in the 28 bits below. Catalogues written
// before the schema had levels hold the order alone, which reads as level 0.
int CatalogueVersion();

// Brings an open catalogue to this program's version in one transaction, after which it holds
// CatalogueVersion(), or the newer level it already had. A catalogue whose names were indexed in
// another order, by an older program or on a system with other collation data, has those indexes
// rebuilt; a catalogue of a lower level gets the tables and indexes added since, and nothing else
// changes. A rebuild that would make two names one is undone, leaving the file as it was, and raises
// 3022 naming them; any other failure of the engine is raised as it comes, the file again unchanged.
void upgradeCatalogue(const Database& database);
