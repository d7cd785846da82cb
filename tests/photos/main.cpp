#include <QApplication>

int runControlsTest(int argc, char* argv[]);
int runImageViewerTest(int argc, char* argv[]);
int runPhotoEditorTest(int argc, char* argv[]);
int runViewPhotoTest(int argc, char* argv[]);
int runEditorSubjectsAndFilesTest(int argc, char* argv[]);

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    return runControlsTest(argc, argv) + runImageViewerTest(argc, argv) + runPhotoEditorTest(argc, argv) +
           runViewPhotoTest(argc, argv) + runEditorSubjectsAndFilesTest(argc, argv);
}
