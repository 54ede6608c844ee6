// The print job started from the main window: checks and messages, F5 and the
// button, the real page on "Fichier PDF" and the window reset afterwards.

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "support/FakePrinter.h"
#include "platform/forms/MessageBox.h"
#include "platform/print/PdfPrinter.h"
#include "support/PdfText.h"
#include "support/TestPrinters.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using platform::MsgIcon;

class TestPrintJob : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;
    platform::FakePrinter *fake = nullptr;

    static QWidget *focused() { return QApplication::focusWidget(); }

    void start(const QByteArray &ini = QByteArray())
    {
        QFile::remove(dir.filePath("Tolvo.ini"));
        if (!ini.isEmpty())
            QVERIFY(testsupport::writeAll(dir.filePath("Tolvo.ini"), ini));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        if (fake)
            fake->clearCalls();
    }
    void type(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        for (const QChar c : text) // keyClicks knows only ASCII keys
            if (c.unicode() < 128)
                QTest::keyClick(focused(), c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

private slots:
    void init()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        auto printers = std::make_unique<platform::FakePrinters>();
        fake = &printers->add("HP");
        platform::setPrinters(std::move(printers));
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
    }

    void checks_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("focusOnDate");
        QTest::newRow("empty amount, bad date too")
            << QString() << QString("31/02/2026") << QString("Indiquez le montant du chèque.")
            << int(MsgIcon::Exclamation) << false;
        QTest::newRow("comma alone, checked normalised")
            << QString(",") << QString("05/12/26") << QString("Un montant nul n'est pas autorisé.")
            << int(MsgIcon::Exclamation) << false;
        QTest::newRow("31 February")
            << QString("12") << QString("31/02/2026")
            << QString("La date du chèque n'est pas une date valide.\r\nVeuillez la corriger.")
            << int(MsgIcon::Information) << true;
    }
    void checks()
    {
        QFETCH(QString, amount);
        QFETCH(QString, date);
        start();
        platform::MessageBoxRecorder boxes;
        w->cboMontant->setEditText(amount); // as pasted: no filter on the way
        w->txtDate->setText(date);
        w->cboMontant->setFocus();
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(boxes.shown.size(), 1);
        QTEST(boxes.shown[0].text, "message");
        QTEST(int(boxes.shown[0].icon), "icon");
        QCOMPARE(boxes.shown[0].title, QString("Tolvo"));
        QCOMPARE(boxes.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QFETCH(bool, focusOnDate);
        QTRY_VERIFY(focusOnDate ? w->txtDate->hasFocus() : w->cboMontant->hasFocus());
        QCOMPARE(fake->documents, 0);
        QVERIFY(fake->calls.empty());
    }

    // F5 in the amount box prints the normalised amount, without adding it to the list,
    // with the saved settings, under the printing window and the hourglass.
    void f5InTheAmountBox()
    {
        const QByteArray ini =
            testsupport::iniBytes("[HP]\nPaperBin=4\nOrientation=1\n[Défaut]\nFont=Courier New\n");
        start(ini);
        int busyMeasures = 0;
        fake->widthOf = [&](const QString &text, float size) {
            bool shown = false;
            for (QWidget *top : QApplication::topLevelWidgets())
                shown = shown || (top != w.get() && top->isVisible());
            busyMeasures += shown && platform::mousePointer() == 11;
            return 0.2 * size * text.size();
        };
        type(w->cboMontant, "12,345");
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(fake->printed().value(4), QString("12,35"));
        QCOMPARE(fake->printed().value(2), QString("DOUZE EUROS TRENTE CINQ CTS"));
        const QStringList log = fake->log(false);
        QVERIFY(log.contains("PaperBin 4") && log.contains("Orientation 1") &&
                log.contains("FontName Courier New"));
        QVERIFY(busyMeasures > 0);
        QCOMPARE(busyMeasures, int(std::count_if(fake->calls.begin(), fake->calls.end(),
                                                 [](const auto &c) { return c.member == "TextWidth"; })));
        QCOMPARE(w->cboMontant->count(), 0);
        QCOMPARE(testsupport::readAll(dir.filePath("Tolvo.ini")), ini);
    }

    // A page that cannot be handed over is reported, and the cheque stays typed in.
    void notHandedOver()
    {
        const QString notAFolder = dir.filePath("Tolvo.ini");
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(notAFolder));
        fake = nullptr;
        start(testsupport::iniBytes("[Défaut]\nMontant=10,00\nAutoAjout1=Non\nAutoAjout2=Non\n"));
        platform::MessageBoxRecorder boxes;
        w->cboMontant->setEditText("25");
        w->cboBénéficiaire->setEditText("Durand");
        w->cboMontant->setFocus();
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].text,
                 "Le chèque n'a pas été imprimé.\nImpossible de créer le dossier " + notAFolder);
        QCOMPARE(boxes.shown[0].icon, MsgIcon::Exclamation);
        QCOMPARE(boxes.shown[0].title, QString("Tolvo"));
        QCOMPARE(w->cboMontant->currentText(), QString("25,00"));
        QCOMPARE(w->cboBénéficiaire->currentText(), QString("Durand"));
        QCOMPARE(w->txtDate->text(), QString("05/12/2026"));
        QCOMPARE(platform::mousePointer(), 0);
    }

    void noPrinterAtAll()
    {
        platform::setPrinters(std::make_unique<platform::FakePrinters>());
        fake = nullptr;
        start();
        platform::MessageBoxRecorder boxes;
        type(w->cboMontant, "0");
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(boxes.shown.size(), 1); // the checks still run
        w->cboMontant->setEditText("15");
        w->cboBénéficiaire->setEditText("Durand");
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(w->cboMontant->currentText(), QString());
        QCOMPARE(w->cboBénéficiaire->currentText(), QString());
        QCOMPARE(platform::mousePointer(), 0);
    }

    // Typed in, printed by F5 or the button on "Fichier PDF", the window reset to its defaults.
    void realPage_data()
    {
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::addColumn<QString>("how");
        QTest::addColumn<double>("dx"); // where the cheque's corner lands
        QTest::addColumn<double>("dy");
        QTest::addColumn<QSizeF>("page");
        const QSizeF a4(210, 297), landscape(297, 210);
        QTest::newRow("portrait") << "1" << QString() << 0 << 0 << "F5" << 0.0 << 0.0 << a4;
        QTest::newRow("adjusted") << "1" << QString() << -3 << 2 << "Shift+F5" << -3.0 << 2.0 << a4;
        QTest::newRow("landscape 90") << "2"
                                      << "90" << 0 << 0 << "button" << 122.0 << 0.0 << landscape;
        QTest::newRow("landscape 270") << "2"
                                       << "270" << 0 << 0 << "F5" << 0.0 << 129.0 << landscape;
    }
    void realPage()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(QSizeF, page);
        QTemporaryDir out;
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(out.path()));
        fake = nullptr;
        QFETCH(QString, orientation);
        QFETCH(QString, rotation);
        QFETCH(int, hor);
        QFETCH(int, ver);
        // Everything from the saved settings, in a font other than the default.
        start(testsupport::iniBytes(
            QString("[Défaut]\nMontant=10,00\nBénéficiaire=EDF\nAutoAjout1=Non\n"
                    "AutoAjout2=Non\nFont=Liberation Serif\nImprimante=Fichier PDF\n"
                    "[Fichier PDF]\nPaperBin=7\nOrientation=%1\nHorAjust=%2\nVerAjust=%3\n")
                .arg(orientation)
                .arg(hor)
                .arg(ver)));
        if (rotation == "270") // the PDF printer turns by 90 only
            w->lblPositionnement->Tag = rotation;
        QCOMPARE(w->lblPositionnement->Tag, rotation);
        QCOMPARE(w->lblImprimante->text(), QString("Fichier PDF"));
        platform::MessageBoxRecorder boxes;
        w->cboMontant->setEditText(QString());
        type(w->cboMontant, "1234,5");
        w->cboBénéficiaire->setEditText(QString());
        type(w->cboBénéficiaire, "Société Générale");
        w->txtDate->clear();
        type(w->txtDate, "1/2/27");
        w->chkEtoiles->setChecked(true);
        QFETCH(QString, how);
        if (how == "button")
            QTest::mouseClick(w->cmdImprime, Qt::LeftButton);
        else
            QTest::keyClick(focused(), Qt::Key_F5, how == "F5" ? Qt::NoModifier : Qt::ShiftModifier);

        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(w->txtDate->text(), QString("01/02/2027"));
        QCOMPARE(w->cboMontant->currentText(), QString("10,00"));
        QCOMPARE(w->cboBénéficiaire->currentText(), QString("EDF"));
        QTRY_VERIFY(w->cboMontant->hasFocus());
        QCOMPARE(platform::mousePointer(), 0);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!top->isVisible() || top == w.get());

        const QStringList files = QDir(out.path()).entryList({"*.pdf"});
        QCOMPARE(files.size(), 1);
        QProcess fonts;
        fonts.start("pdffonts", {out.filePath(files[0])});
        QVERIFY(fonts.waitForFinished());
        const QString fontList = QString::fromUtf8(fonts.readAllStandardOutput());
        QVERIFY2(fontList.contains("LiberationSerif") && !fontList.contains("LiberationSans"),
                 qPrintable(fontList));
        const auto pages = testsupport::pdfPages(out.filePath(files[0]));
        QCOMPARE(pages.size(), 1);
        QVERIFY(qAbs(pages[0].size.width() - page.width()) < 1 &&
                qAbs(pages[0].size.height() - page.height()) < 1);

        // The words of the line ending at the design y, as long as the line starts at the design x.
        qsizetype found = 0;
        auto line = [&](double x, double y) {
            QStringList texts;
            double left = 1e9;
            for (const auto &word : pages[0].words)
                if (qAbs(word.yMax - (y + dy)) <= 0.5) {
                    texts << word.text;
                    left = std::min(left, word.xMin);
                }
            found += texts.size();
            return texts.join(' ') +
                   (qAbs(left - (x + dx)) <= 0.5 ? "" : " starting at " + QString::number(left));
        };
        QCOMPARE(line(15, 33), QString("Société Générale"));
        QCOMPARE(line(135, 45), QString("01/02/2027"));
        QCOMPARE(line(45, 22) + " " + line(15, 27),
                 QString("**MILLE DEUX CENT TRENTE QUATRE EUROS CINQUANTE CTS**"));
        QCOMPARE(line(135, 35), QString("**1 234,50**"));
        QCOMPARE(found, pages[0].words.size());
    }
};

QTEST_MAIN(TestPrintJob)
#include "test_printjob.moc"
