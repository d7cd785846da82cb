#include "core/cRegistry.h"
#include "support/FileFaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The registry reader's answers from a desktop of the test's own making.
class RegistryTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_desktop = std::make_unique<QTemporaryDir>();
        m_saved.clear();
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
            m_saved.append({name, qgetenv(name)});
            const QString folder = m_desktop->filePath(QString::fromLatin1(name));
            QDir().mkpath(folder + QStringLiteral("/applications"));
            // The desktop's own data stays reachable behind ours: it holds the file type database.
            const QByteArray system = QByteArrayView(name) == "XDG_DATA_DIRS" ? ":/usr/share" : "";
            qputenv(name, QFile::encodeName(folder) + system);
        }
    }
    void cleanup()
    {
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }

    void fileTypesComeFromTheirExtension()
    {
        const cRegistry registry;
        QCOMPARE(registry.GetDefaultValue(QStringLiteral(".jpg")), QStringLiteral("image/jpeg"));
        QCOMPARE(registry.GetDefaultValue(QStringLiteral(".JPG")), QStringLiteral("image/jpeg"));
        QCOMPARE(registry.GetDefaultValue(QStringLiteral(".gif")), QStringLiteral("image/gif"));
        // Questions with no answer on this desktop give empty text.
        QCOMPARE(registry.GetDefaultValue(QStringLiteral(".qqzzyy")), QString());
        QCOMPARE(registry.GetDefaultValue(QString()), QString());
        QCOMPARE(
            registry.GetDefaultValue(QStringLiteral("CLSID\\{00000010-0000-0010-8000-00AA006D2EA4}\\inprocserver32")),
            QString());
    }

    void theDefaultApplicationIsTheUsersChoice()
    {
        writeDesktopEntry("XDG_DATA_DIRS", "viewer.desktop", "Exec=imageviewer --fullscreen %F");
        writeDesktopEntry("XDG_DATA_HOME", "painter.desktop", "Exec=painter %u");
        writeFile("XDG_DATA_DIRS/applications/mimeinfo.cache", "[MIME Cache]\nimage/jpeg=viewer.desktop;\n");
        const cRegistry registry;
        // Only installed entries can open files: the cache names the viewer.
        QCOMPARE(registry.GetDefaultApp(QStringLiteral("image/jpeg")), QStringLiteral("imageviewer --fullscreen %F"));

        // The user's chosen default wins; an entry that is not installed is passed over.
        writeFile("XDG_CONFIG_HOME/mimeapps.list",
                  "[Added Associations]\nimage/jpeg=viewer.desktop;\n"
                  "[Default Applications]\nimage/jpeg=gone.desktop;painter.desktop;\n");
        QCOMPARE(registry.GetDefaultApp(QStringLiteral("image/jpeg")), QStringLiteral("painter %u"));
    }

    void withoutAnApplicationTheAnswerIsEmpty()
    {
        const cRegistry registry;
        const QString unknown = QStringLiteral("image/x-vellaro-nothing");
        QCOMPARE(registry.GetDefaultApp(unknown), QString());
        QCOMPARE(registry.GetDefaultApp(QString()), QString());
        writeFile("XDG_CONFIG_HOME/mimeapps.list", "[Default Applications]\nimage/x-vellaro-nothing=missing.desktop\n");
        QCOMPARE(registry.GetDefaultApp(unknown), QString());
        // The help viewer is always there.
        QVERIFY(registry.IEVersion().size() >= 2);
    }

private:
    void writeFile(const char* path, const QByteArray& content)
    {
        ::writeFile(m_desktop->filePath(QString::fromLatin1(path)), content);
    }

    void writeDesktopEntry(const char* base, const char* id, const QByteArray& exec)
    {
        writeFile(QByteArray(base + QByteArray("/applications/") + id).constData(),
                  "[Desktop Entry]\nType=Application\nName=Test\n" + exec + "\n\n[Desktop Action new]\nExec=other\n");
    }

    std::unique_ptr<QTemporaryDir> m_desktop;
    QList<std::pair<const char*, QByteArray>> m_saved;
};

int runRegistryTest(int argc, char* argv[])
{
    RegistryTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RegistryTest.moc"
