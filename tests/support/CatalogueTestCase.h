#pragma once

#include "support/TestProgramFolder.h"

#include <QObject>

#include <memory>

// A test class whose every test starts on a fresh copy of the delivered catalogue, opened as gDB,
// in a program folder of its own.
class CatalogueTestCase : public QObject
{
    Q_OBJECT

protected:
    void openFreshCatalogue()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_folder->openCatalogue();
    }

    std::unique_ptr<TestProgramFolder> m_folder;

private slots:
    void init() { openFreshCatalogue(); }
    void cleanup() { m_folder.reset(); }
};
