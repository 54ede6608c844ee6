// The installed program: where it finds and keeps its files, its terminal
// options, its desktop entry, metadata and Debian package, and Qt's texts in French.

#include "platform/Application.h"
#include "platform/Translations.h"

#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString &program, const QStringList &arguments, const QProcessEnvironment &env = {},
        int timeout = 120000)
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(timeout)) {
        p.kill();
        p.waitForFinished();
        r.err = program + " n'a pas fini";
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Every file under `root`, relative, sorted.
QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(root).relativeFilePath(it.next()));
    files.sort();
    return files;
}

QStringList withoutAccelerators(const QList<QAction *> &actions)
{
    QStringList texts;
    for (const QAction *a : actions)
        if (!a->isSeparator())
            texts.append(a->text().remove(u'&').section(u'\t', 0, 0));
    return texts;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString prefix() const { return m_root.filePath("usr"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const Run install = run(TOLVO_CMAKE_COMMAND, {"--install", TOLVO_BINARY_DIR, "--prefix", prefix()});
        QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
    }

    void folders_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("configHome");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("settings");
        const QString source = qEnvironmentVariable("TOLVO_SOURCE_DIR") + "/data";
        QTest::newRow("help beside the executable") << source << "/x/config" << source << source;
        QTest::newRow("installed") << "/opt/t/bin"
                                   << "/x/config/"
                                   << "/opt/t/share/tolvo"
                                   << "/x/config/tolvo";
        QTest::newRow("installed, no XDG folder") << "/usr/bin"
                                                  << ""
                                                  << "/usr/share/tolvo"
                                                  << "/home/anne/.config/tolvo";
        QTest::newRow("installed, relative XDG folder ignored") << "/usr/bin/"
                                                                << "config"
                                                                << "/usr/share/tolvo"
                                                                << "/home/anne/.config/tolvo";
    }
    void folders()
    {
        QFETCH(QString, executable);
        QFETCH(QString, configHome);
        const platform::Folders found = platform::locateFolders(executable, configHome, "/home/anne");
        QTEST(found.data, "data");
        QTEST(found.settings, "settings");
    }

    // What the installation puts where, and the two files desktops read.
    void installedFiles()
    {
        const QStringList files = filesUnder(prefix());
        for (const QString expected :
             {"bin/tolvo", "share/tolvo/Tolvo.hlp", "share/applications/org.example.Tolvo.desktop",
              "share/metainfo/org.example.Tolvo.metainfo.xml", "share/man/man1/tolvo.1",
              "share/icons/hicolor/scalable/apps/org.example.Tolvo.svg",
              "share/icons/hicolor/48x48/apps/org.example.Tolvo.png"})
            QVERIFY2(files.contains(expected), qPrintable(expected + " absent : " + files.join(' ')));
        QCOMPARE(files.filter(QRegularExpression("^bin/")), QStringList{"bin/tolvo"});
        if (QFile::exists(qEnvironmentVariable("TOLVO_SOURCE_DIR") + "/data/Specimen.jpg"))
            QVERIFY(files.contains("share/tolvo/Specimen.jpg"));

        const Run desktop =
            run("desktop-file-validate", {prefix() + "/share/applications/org.example.Tolvo.desktop"});
        QVERIFY2(desktop.code == 0 && desktop.out.isEmpty(), qPrintable(desktop.out + desktop.err));
        const Run meta = run("appstreamcli", {"validate", "--no-net",
                                              prefix() + "/share/metainfo/org.example.Tolvo.metainfo.xml"});
        QVERIFY2(meta.code == 0, qPrintable(meta.out + meta.err));
    }

    // --version and --help answer without any window system.
    void terminalOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("version") << QStringList{"--version"} << 0 << "Tolvo " + platform::applicationVersion()
                                 << "";
        QTest::newRow("help") << QStringList{"-h"} << 0 << "Utilisation : tolvo"
                              << "";
        QTest::newRow("unknown") << QStringList{"--imprimer"} << 2 << ""
                                 << "argument inconnu « --imprimer »";
    }
    void terminalOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        // Only the unknown option gets as far as a window system.
        if (code == 0)
            env.remove("QT_QPA_PLATFORM");
        const Run r = run(prefix() + "/bin/tolvo", arguments, env);
        QCOMPARE(r.code, code);
        QVERIFY2(out.isEmpty() ? r.out.isEmpty() : r.out.startsWith(out), qPrintable(r.out));
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.contains(err), qPrintable(r.err));
    }

    // Started with a fresh home: the help opens (F1), a new amount lands in the
    // user's configuration folder, nothing is written beside the program.
    void installedProgramKeepsItsFiles()
    {
        const QString home = m_root.filePath("home");
        const QString config = m_root.filePath("config");
        QVERIFY(QDir().mkpath(home));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("XDG_DATA_HOME", home + "/.local/share");
        env.insert("LD_PRELOAD", TOLVO_STARTUP_DRIVER);
        env.insert("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0");
        env.insert("TOLVO_DRIVER_KEYS", "12,5\t|");
        const Run r = run(prefix() + "/bin/tolvo", {}, env);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("window: Aide de Tolvo"), qPrintable(r.out + r.err));
        QVERIFY2(!r.out.contains("Impossible"), qPrintable(r.out));

        QVERIFY(filesUnder(config).contains("tolvo/Tolvo.ini"));
        QFile ini(config + "/tolvo/Tolvo.ini");
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(ini.readAll().contains("0=12,50"));
        QCOMPARE(filesUnder(prefix() + "/bin"), QStringList{"tolvo"});
        QCOMPARE(filesUnder(prefix() + "/share/tolvo").filter("Tolvo.ini"), QStringList{});
    }

    // The Debian package: files at their places, dependencies from the binary plus
    // the fonts, the shell links and Qt's French texts.
    void debianPackage()
    {
        const QString out = m_root.filePath("package");
        const Run pack = run(TOLVO_CPACK_COMMAND, {"-G", "DEB", "-B", out, "--config",
                                                   QString(TOLVO_BINARY_DIR) + "/CPackConfig.cmake"});
        QVERIFY2(pack.code == 0, qPrintable(pack.out + pack.err));
        const QStringList debs = QDir(out).entryList({"*.deb"});
        QCOMPARE(debs.size(), 1);
        const QString deb = out + "/" + debs[0];

        const Run contents = run("dpkg-deb", {"--contents", deb});
        for (const QString expected : {"./usr/bin/tolvo", "./usr/share/tolvo/Tolvo.hlp",
                                       "./usr/share/applications/org.example.Tolvo.desktop",
                                       "./usr/share/metainfo/org.example.Tolvo.metainfo.xml",
                                       "./usr/share/man/man1/tolvo.1", "/apps/org.example.Tolvo.svg"})
            QVERIFY2(contents.out.contains(expected), qPrintable(expected + "\n" + contents.out));
        const Run fields = run("dpkg-deb", {"--field", deb, "Package", "Version", "Depends"});
        QVERIFY2(fields.out.contains("Package: tolvo\n") &&
                     fields.out.contains("Version: " + platform::applicationVersion() + "\n"),
                 qPrintable(fields.out));
        const QString depends = fields.out.section("Depends: ", 1);
        for (const QString expected : {"libqt6widgets6", "libcups2", "libc6", "fonts-liberation2",
                                       "xdg-utils", "qt6-translations-l10n"})
            QVERIFY2(depends.contains(expected), qPrintable(expected + " absent : " + depends));
    }

    // Qt's own texts: a text box's context menu and the standard buttons.
    void qtTextsInFrench()
    {
        QVERIFY(platform::installQtTranslations());
        QLineEdit edit("abc");
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        const QStringList texts = withoutAccelerators(menu->actions());
        for (const QString expected :
             {"Annuler", "Rétablir", "Couper", "Copier", "Coller", "Supprimer", "Tout sélectionner"})
            QVERIFY2(texts.contains(expected), qPrintable(texts.join(" | ")));

        QMessageBox box(QMessageBox::Question, "Tolvo", "?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Close);
        QStringList buttons;
        for (const auto which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Close})
            buttons.append(box.button(which)->text().remove(u'&'));
        QCOMPARE(buttons, (QStringList{"Oui", "Non", "Annuler", "Fermer"}));
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
