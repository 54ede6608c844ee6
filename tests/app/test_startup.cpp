// Start-up of the main window against real settings files.

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "support/FakePrinter.h"
#include "printer/Capabilities.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readAll;
using testsupport::writeAll;

namespace {

platform::FakePrinters *installPrinters()
{
    auto printers = std::make_unique<platform::FakePrinters>();
    auto &hp = printers->add("HP LaserJet", "usb://HP/LaserJet");
    hp.paperBin = 2;
    hp.rotation = 270;
    auto &canon = printers->add("Canon", "ipp://canon");
    canon.paperBin = 7;
    canon.rotation = 90;
    printers->add("P", "ipp://p");
    auto *raw = printers.get();
    platform::setPrinters(std::move(printers));
    return raw;
}

// The printer panel: printer, bin caption and tag, orientation caption and tag,
// rotation tag, adjustments; and the advice matching the tags.
QString describePanel(const frmTolvo &w)
{
    const QString advice = w.lblOrientation->Tag == "1"
                               ? printer::portraitPositioningText
                               : printer::positioningText(w.lblPositionnement->Tag.toInt());
    if (w.lblPositionnement->text() != advice)
        return "advice: " + w.lblPositionnement->text();
    return QStringList{w.lblImprimante->text(),     w.lblPaperBin->Tag,         w.lblPaperBin->text(),
                       w.lblOrientation->Tag,       w.lblOrientation->text(),   w.lblPositionnement->Tag,
                       QString::number(w.HorAjust), QString::number(w.VerAjust)}
        .join(" | ");
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    void write(const QString &content)
    {
        QVERIFY(writeAll(dir.filePath("Tolvo.ini"), testsupport::iniBytes(content)));
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        QFile::remove(dir.filePath("Tolvo.ini"));
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        installPrinters();
    }
    void cleanup() { platform::setPrinters(nullptr); }

    void panel_data()
    {
        QTest::addColumn<QString>("file"); // empty: no file at all
        QTest::addColumn<QString>("panel");
        const QString hp = "HP LaserJet | 2 | Bac inférieur | 2 | Orientation Paysage | 270 | 0 | 0";
        QTest::newRow("no file") << QString() << hp;
        QTest::newRow("saved printer, portrait")
            << "[Défaut]\nImprimante=Canon\n[Canon]\nPaperBin=4\nOrientation=1\nHorAjust=-3\nVerAjust=2\n"
            << "Canon | 4 | Alimentation manuelle | 1 | Orientation Portrait |  | -3 | 2";
        QTest::newRow("saved printer, no orientation key")
            << "[Défaut]\nImprimante=Canon\n[Canon]\nPaperBin=5\n"
            << "Canon | 5 | Bac pour enveloppes | 2 | Orientation Paysage | 90 | 0 | 0";
        QTest::newRow("saved printer without section")
            << "[Défaut]\nImprimante=Canon\n"
            << "Canon | 7 | Bac par défaut | 2 | Orientation Paysage | 90 | 0 | 0";
        QTest::newRow("section without PaperBin: bin 7, not the printer's")
            << "[Défaut]\nImprimante=HP LaserJet\n[HP LaserJet]\nOrientation=1\n"
            << "HP LaserJet | 7 | Bac par défaut | 1 | Orientation Portrait |  | 0 | 0";
        QTest::newRow("one-letter printer, last section")
            << "[Défaut]\nImprimante=P\n[P]\nPaperBin=4\nHorAjust=5\n"
            << "P | 4 | Alimentation manuelle | 2 | Orientation Paysage | 90 | 5 | 0";
        QString many = "[Défaut]\nImprimante=Canon\n";
        for (int i = 0; i < 1500; ++i)
            many += QString("[Section de réglages numéro %1]\n").arg(i);
        QTest::newRow("printer section after 40 000 characters of names")
            << many + "[Canon]\nPaperBin=4\nVerAjust=-2\n"
            << "Canon | 4 | Alimentation manuelle | 2 | Orientation Paysage | 90 | 0 | -2";
        QTest::newRow("saved printer gone") << "[Défaut]\nImprimante=Epson\n[Epson]\nPaperBin=4\nHorAjust=9\n"
                                            << hp;
        QTest::newRow("name differing by case") << "[Défaut]\nImprimante=canon\n[canon]\nPaperBin=4\n" << hp;
        QTest::newRow("stored text kept as tag")
            << "[Défaut]\nImprimante=Canon\n[Canon]\nPaperBin=14abc\nOrientation=2\n"
            << "Canon | 14abc | Bac-cassette | 2 | Orientation Paysage | 90 | 0 | 0";
        QTest::newRow("hand-edited numbers out of range")
            << "[Défaut]\nImprimante=Canon\n[Canon]\nPaperBin=99999\nOrientation=1\nHorAjust=40000\nVerAjust="
               "abc\n"
            << "Canon | 99999 | Bac par défaut | 1 | Orientation Portrait |  | 0 | 0";
    }
    void panel()
    {
        QFETCH(QString, file);
        if (!file.isEmpty())
            write(file);
        frmTolvo w;
        w.Form_Load();
        QTEST(describePanel(w), "panel");
        QCOMPARE(platform::printers().current().DeviceName(), w.lblImprimante->text());
        QCOMPARE(platform::helpFile(), dir.filePath("Tolvo.hlp"));
        // The advice fits inside its frame, clear of the border.
        const QRect advice = w.lblPositionnement->geometry();
        QVERIFY(w.fraPositionnement->contentsRect().contains(advice));
        QVERIFY2(w.lblPositionnement->heightForWidth(advice.width()) <= advice.height(),
                 qPrintable(QString("%1 > %2")
                                .arg(w.lblPositionnement->heightForWidth(advice.width()))
                                .arg(advice.height())));
    }

    void defaults_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("addMontant");
        QTest::addColumn<bool>("addBeneficiaire");
        QTest::addColumn<bool>("stars");
        QTest::addColumn<QString>("font");
        QTest::newRow("no file") << "" << true << true << false << "Arial";
        QTest::newRow("auto-add Oui means off") << "[Défaut]\nAutoAjout1=Oui\nAutoAjout2=\n"
                                                << false << true << false << "Arial";
        QTest::newRow("auto-add Non, second only") << "[Défaut]\nAutoAjout2=Non\n"
                                                   << true << false << false << "Arial";
        QTest::newRow("stars Oui") << "[Défaut]\nEncadrement=Oui\nFont=Courier New\n"
                                   << true << true << true << "Courier New";
        QTest::newRow("stars in other case") << "[Défaut]\nEncadrement=oui\nFont=\n"
                                             << true << true << false << "Arial";
        QTest::newRow("names in other case") << "[DÉFAUT]\nautoajout1=Non\nENCADREMENT=Oui\n"
                                             << false << true << true << "Arial";
    }
    void defaults()
    {
        QFETCH(QString, file);
        if (!file.isEmpty())
            write(file);
        frmTolvo w;
        w.Form_Load();
        QTEST(w.AddMontant, "addMontant");
        QTEST(w.AddBénéficiaire, "addBeneficiaire");
        QTEST(w.chkEtoiles->isChecked(), "stars");
        QTEST(w.sFont, "font");
        QCOMPARE(w.txtDate->text(), QString("05/12/26"));
    }

    // The programmatic tick writes "Oui" back once; nothing else is written at start.
    void startWritesOnlyTheStars()
    {
        write("[Défaut]\nEncadrement=Oui\n");
        const QByteArray before = readAll(dir.filePath("Tolvo.ini"));
        {
            frmTolvo w;
            w.Form_Load();
        }
        QCOMPARE(readAll(dir.filePath("Tolvo.ini")), before);

        QFile::remove(dir.filePath("Tolvo.ini"));
        {
            frmTolvo w;
            w.Form_Load();
        }
        QVERIFY(!QFile::exists(dir.filePath("Tolvo.ini")));
    }

    void lists()
    {
        write("[Montants]\n5=30,00\n9=100,00\n0=20,00\n[Bénéficiaires]\n0=Zoé Martin\n1=Dupont\n"
              "[Défaut]\nMontant=20,00\nBénéficiaire=\n");
        frmTolvo w;
        w.Form_Load();
        QStringList amounts, names;
        for (int i = 0; i < w.cboMontant->count(); ++i)
            amounts << w.cboMontant->itemText(i);
        for (int i = 0; i < w.cboBénéficiaire->count(); ++i)
            names << w.cboBénéficiaire->itemText(i);
        QCOMPARE(amounts, QStringList({"100,00", "20,00", "30,00"}));
        QCOMPARE(names, QStringList({"Zoé Martin", "Dupont"}));
        QCOMPARE(w.cboMontant->currentText(), QString("20,00"));
        QCOMPARE(w.cboBénéficiaire->currentText(), QString()); // empty default wins over the first entry
        QCOMPARE(w.sDefault, QString("20,00"));
    }

    void noPrinterAtAll()
    {
        platform::setPrinters(std::make_unique<platform::FakePrinters>());
        write("[Défaut]\nImprimante=Canon\n");
        frmTolvo w;
        w.Form_Load();
        QCOMPARE(w.lblImprimante->text(), QString("Pas d'imprimante disponible"));
        QCOMPARE(w.lblPaperBin->text(), QString("Pas de bac d'alimentation disponible"));
        QCOMPARE(w.lblOrientation->text(), QString("Pas d'orientation disponible"));
        QCOMPARE(w.lblPositionnement->text(), QString("Positionnement"));
        QCOMPARE(w.sFont, QString("Arial"));
    }

    void printerThatCannotAnswer()
    {
        auto *printers = installPrinters();
        printers->list[0]->failOn("PaperBin?");
        printers->list[0]->rotation = -1;
        frmTolvo w;
        w.Form_Load();
        QCOMPARE(w.lblImprimante->text(), QString("HP LaserJet"));
        QCOMPARE(w.lblOrientation->text(), QString("Orientation Paysage"));
        QCOMPARE(w.lblPositionnement->text(), printer::positioningText(90));
        QCOMPARE(w.lblPositionnement->Tag, QString("-1"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
