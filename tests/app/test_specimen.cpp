// The specimen print from the main window: the confirmation box, the picture on a
// real PDF page at its place and size, read once per run, and every way it stops.

#include "app/frmTolvo.h"
#include "dialogs/frmMsgBox.h"
#include "platform/Application.h"
#include "platform/forms/MessageBox.h"
#include "support/TestFiles.h"
#include "support/TestPrinters.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using platform::MsgIcon;

namespace {
constexpr int dpi = 127; // 5 pixels per millimetre
constexpr double pxPerMm = dpi / 25.4;

QString run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(30000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

// The part of the rendered page that is not white, in millimetres.
QRectF inkBox(const QString &pdf, const QString &stem)
{
    run("pdftoppm", {"-png", "-r", QString::number(dpi), "-singlefile", pdf, stem});
    const QImage page(stem + ".png");
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 250) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    return QRectF(left / pxPerMm, top / pxPerMm, (right + 1 - left) / pxPerMm, (bottom + 1 - top) / pxPerMm);
}
} // namespace

class TestSpecimen : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;
    testsupport::PdfOnly *pdf = nullptr;

    void start(const QString &folder)
    {
        auto printers = std::make_unique<testsupport::PdfOnly>(folder);
        pdf = printers.get();
        platform::setPrinters(std::move(printers));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
    }
    int files() const { return QDir(dir.filePath("pdf")).entryList({"*.pdf"}).size(); }

private slots:
    void init()
    {
        platform::setApplicationFolder(dir.path());
        QVERIFY(QFile::copy(testsupport::sourceDir() + "/data/Specimen.jpg", dir.filePath("Specimen.jpg")) ||
                QFile::exists(dir.filePath("Specimen.jpg")));
        start(dir.filePath("pdf"));
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
    }

    void placed_data()
    {
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("portrait") << "1"
                                  << "270" << QRectF(0, 0, 175, 81);
        QTest::newRow("landscape, turned 270") << "2"
                                               << "270" << QRectF(0, 129, 175, 81);
        QTest::newRow("landscape, turned 90") << "2"
                                              << "90" << QRectF(122, 0, 175, 81);
    }
    void placed()
    {
        QFETCH(QString, orientation);
        QFETCH(QString, rotation);
        QFETCH(QRectF, expected);
        w->lblOrientation->Tag = orientation;
        w->lblPositionnement->Tag = rotation;
        w->HorAjust = 20; // not applied to the specimen
        platform::MessageBoxRecorder recorder;
        recorder.queueDialog([this](QDialog &dialog) {
            auto &box = dynamic_cast<frmMsgBox &>(dialog);
            QCOMPARE(box.Message(),
                     "Ceci imprimera un spécimen de chèque\r\n   sur l'imprimante: Fichier PDF\r\n"
                     "   Bac par défaut\r\n   " +
                         w->lblOrientation->text());
            QCOMPARE(box.PictureType(), 3);
            QCOMPARE(box.ButtonCaption(1), QString("Imprimer"));
            QCOMPARE(box.ButtonCaption(3), QString("Aide"));
            box.show();
            QTest::keyClick(box.cmdAction[1], Qt::Key_Return);
        });
        w->mnuSousAide[0]->trigger();
        QCOMPARE(recorder.shown.size(), 0);
        QCOMPARE(platform::mousePointer(), 0);

        const QString file = pdf->printer.lastFile();
        const QStringList images = run("pdfimages", {"-list", file}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 3); // two heading lines, one picture
        QVERIFY2(images[2].contains(" 1400   648 "), qPrintable(images[2]));
        const QRectF ink = inkBox(file, dir.filePath(QTest::currentDataTag()));
        for (const auto &[found, wanted] : {std::pair{ink.left(), expected.left()},
                                            {ink.top(), expected.top()},
                                            {ink.width(), expected.width()},
                                            {ink.height(), expected.height()}})
            QVERIFY2(std::abs(found - wanted) <= 0.5,
                     qPrintable(QString("%1 mm, expected %2").arg(found).arg(wanted)));
    }

    // The picture is read once; the box's Escape prints nothing; a page that could
    // not be written is reported; a missing picture stops before the box.
    void stops()
    {
        const int printed = files();
        platform::MessageBoxRecorder recorder;
        const auto print = [](QDialog &dialog) { dynamic_cast<frmMsgBox &>(dialog).cmdAction[1]->click(); };
        recorder.queueDialog([](QDialog &dialog) {
            dialog.show();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        w->mnuSousAide[0]->trigger();
        QCOMPARE(files(), printed);

        // Gone from the disk, still printed by the window that read it.
        QVERIFY(QFile::remove(dir.filePath("Specimen.jpg")));
        recorder.queueDialog(print);
        w->mnuSousAide[0]->trigger();
        QCOMPARE(recorder.dialogsRun, 2);
        QCOMPARE(files(), printed + 1);

        QVERIFY(testsupport::writeAll(dir.filePath("file"), "x"));
        start(dir.filePath("file/pdf")); // a folder that cannot be made
        recorder.queueDialog(print);
        w->mnuSousAide[0]->trigger(); // a new window reads the picture afresh: it is gone
        QVERIFY(testsupport::writeAll(dir.filePath("Specimen.jpg"), "pas une image"));
        w->mnuSousAide[0]->trigger();
        QCOMPARE(recorder.dialogsRun, 2);
        QCOMPARE(recorder.shown.size(), 2);
        for (const platform::ShownMessage &shown : recorder.shown)
            QCOMPARE(shown.text, QString("Impossible de charger le fichier Specimen.jpg."));

        QFile::remove(dir.filePath("Specimen.jpg"));
        QVERIFY(QFile::copy(testsupport::sourceDir() + "/data/Specimen.jpg", dir.filePath("Specimen.jpg")));
        w->mnuSousAide[0]->trigger();
        QCOMPARE(recorder.dialogsRun, 3);
        QCOMPARE(recorder.shown.size(), 3);
        QVERIFY(recorder.shown[2].text.startsWith(
            "Le spécimen n'a pas été imprimé.\nImpossible de créer le dossier"));
        QCOMPARE(recorder.shown[2].icon, MsgIcon::Exclamation);
        QCOMPARE(recorder.shown[2].title, QString("Tolvo"));
        QCOMPARE(platform::mousePointer(), 0);
    }
};

QTEST_MAIN(TestSpecimen)
#include "test_specimen.moc"
