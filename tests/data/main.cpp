#include "support/TestMain.h"

#include <QCoreApplication>

int runWildcardTest(int argc, char* argv[]);
int runCollationTest(int argc, char* argv[]);
int runEngineTest(int argc, char* argv[]);
int runCatalogueTest(int argc, char* argv[]);
int runDataBaseTest(int argc, char* argv[]);
int runPhotosTest(int argc, char* argv[]);
int runPhotosSubjectsTest(int argc, char* argv[]);
int runFolderImportTest(int argc, char* argv[]);
int runCatalogueCopyTest(int argc, char* argv[]);
int runPictureDateTest(int argc, char* argv[]);
int runCsvExchangeTest(int argc, char* argv[]);
int runCatalogueUpgradeTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    return RunTestClasses(argc, argv,
                          {runWildcardTest, runCollationTest, runEngineTest, runCatalogueTest, runDataBaseTest,
                           runPhotosTest, runPhotosSubjectsTest, runFolderImportTest, runCatalogueCopyTest,
                           runPictureDateTest, runCsvExchangeTest, runCatalogueUpgradeTest});
}
