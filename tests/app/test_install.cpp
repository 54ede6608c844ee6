// The installed program: where it finds and keeps its files, its terminal
// options, its desktop entry, metadata and Debian package, and Qt's texts in French.

#include "platform/Application.h"
#include "platform/Translations.h"
#include "support/TestFiles.h"

#include <QtTest>
#include <QtWidgets>

using testsupport::Run;
using testsupport::run;

namespace {

QStringList filesUnder(const QString &root)
{
    QStringList files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << QDir(root).relativeFilePath(it.next());
    return files;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString prefix() const { return m_root.filePath("usr"); }

private slots:
    // Installed into a temporary prefix, packaged from there (uncompressed: only its
    // contents matter here) and unpacked: what the package holds is what the next checks run.
    void debianPackage()
    {
        const QString stage = m_root.filePath("stage"), out = m_root.filePath("package");
        QCOMPARE(run(TOLVO_CMAKE_COMMAND, {"--install", TOLVO_BINARY_DIR, "--prefix", stage}).code, 0);
        const Run pack =
            run(TOLVO_CPACK_COMMAND,
                {"-G", "DEB", "-B", out, "-D", "CPACK_DEBIAN_COMPRESSION_TYPE=none", "-D",
                 "CPACK_INSTALL_CMAKE_PROJECTS=", "-D", "CPACK_INSTALLED_DIRECTORIES=" + stage + ";usr",
                 "--config", QString(TOLVO_BINARY_DIR) + "/CPackConfig.cmake"});
        QVERIFY2(pack.code == 0, qPrintable(pack.out + pack.err));
        const QString deb = out + "/" + QDir(out).entryList({"*.deb"}).value(0);
        QCOMPARE(run("dpkg-deb", {"-x", deb, m_root.path()}).code, 0);

        const Run fields = run("dpkg-deb", {"--field", deb, "Package", "Version", "Depends"});
        QVERIFY2(fields.out.startsWith("Package: tolvo\nVersion: " + platform::applicationVersion() + "\n"),
                 qPrintable(fields.out));
        for (const QString expected :
             {"libqt6widgets6", "libcups2", "libqt6sql6-sqlite", "libqt6sql6-psql", "libqt6keychain1",
              "qt6-qpa-plugins", "libc6", "fonts-liberation2", "xdg-utils", "qt6-translations-l10n"})
            QVERIFY2(fields.out.section("Depends: ", 1).contains(expected), qPrintable(expected));
        const QStringList files = filesUnder(prefix());
        for (const QString expected :
             {"bin/tolvo", "share/tolvo/Tolvo.hlp", "share/tolvo/Specimen.jpg", "share/tolvo/registre-postgresql.sql",
              "share/applications/org.example.Tolvo.desktop", "share/metainfo/org.example.Tolvo.metainfo.xml",
              "share/man/man1/tolvo.1", "share/icons/hicolor/scalable/apps/org.example.Tolvo.svg",
              "share/icons/hicolor/48x48/apps/org.example.Tolvo.png"})
            QVERIFY2(files.contains(expected), qPrintable(expected + " absent : " + files.join(' ')));
        QCOMPARE(files.filter(QRegularExpression("^bin/")), QStringList{"bin/tolvo"});

        const Run desktop =
            run("desktop-file-validate", {prefix() + "/share/applications/org.example.Tolvo.desktop"});
        QVERIFY2(desktop.code == 0 && desktop.out.isEmpty(), qPrintable(desktop.out + desktop.err));
        const Run meta = run("appstreamcli", {"validate", "--no-net",
                                              prefix() + "/share/metainfo/org.example.Tolvo.metainfo.xml"});
        QVERIFY2(meta.code == 0, qPrintable(meta.out + meta.err));
    }

    // --version and --help answer without any window system; an unknown option is refused.
    void terminalOptions()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        const Run version = run(prefix() + "/bin/tolvo", {"--version"}, env);
        QCOMPARE(version.out + version.err + QString::number(version.code),
                 "Tolvo " + platform::applicationVersion() + "\n0");
        const Run help = run(prefix() + "/bin/tolvo", {"-h"}, env);
        QVERIFY2(help.code == 0 && help.out.startsWith("Utilisation : tolvo") && help.err.isEmpty(),
                 qPrintable(help.out + help.err));
        const Run unknown = run(prefix() + "/bin/tolvo", {"--imprimer"});
        QVERIFY2(unknown.code == 2 && unknown.out.isEmpty() &&
                     unknown.err.contains("argument inconnu « --imprimer »"),
                 qPrintable(unknown.err));
    }

    // Started with a fresh home: the help opens (F1), a new amount lands in the
    // user's configuration folder, nothing is written beside the program.
    void installedProgramKeepsItsFiles()
    {
        const QString config = m_root.filePath("config");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_root.filePath("home"));
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("LD_PRELOAD", TOLVO_STARTUP_DRIVER);
        env.insert("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0");
        env.insert("TOLVO_DRIVER_KEYS", "12,5\t|");
        const QStringList before = filesUnder(prefix());
        const Run r = run(prefix() + "/bin/tolvo", {}, env);
        QVERIFY2(r.code == 0 && r.out.contains("window: Aide de Tolvo"), qPrintable(r.out + r.err));
        QFile ini(config + "/tolvo/Tolvo.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("0=12,50"));
        QCOMPARE(filesUnder(prefix()), before);
    }

    // Qt's own texts, here its standard buttons.
    void qtTextsInFrench()
    {
        QVERIFY(platform::installQtTranslations());
        QMessageBox box(QMessageBox::Question, "Tolvo", "?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Close);
        QStringList buttons;
        for (const auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Close})
            buttons << box.button(which)->text().remove(u'&');
        QCOMPARE(buttons, (QStringList{"Oui", "Non", "Annuler", "Fermer"}));
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
