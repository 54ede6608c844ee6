// The print job started from the main window: checks and messages, F5 and the
// button, the window reset afterwards, and the real page on "Fichier PDF".

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "platform/FakePrinter.h"
#include "platform/MessageBox.h"
#include "platform/PdfPrinter.h"
#include "support/PdfText.h"
#include "support/TestPrinters.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using platform::MsgIcon;

namespace {

QWidget *focused()
{
    return QApplication::focusWidget();
}

} // namespace

class TestPrintJob : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;
    platform::FakePrinter *fake = nullptr;

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
        QTest::keyClicks(focused(), text);
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
        const QString empty = QString::fromUtf8("Indiquez le montant du chèque.");
        const QString zero = QString::fromUtf8("Un montant nul n'est pas autorisé.");
        const QString badDate =
            QString::fromUtf8("La date du chèque n'est pas une date valide.\r\nVeuillez la corriger.");
        QTest::newRow("empty amount, bad date too")
            << ""
            << "31/02/2026" << empty << int(MsgIcon::Exclamation) << false;
        QTest::newRow("zero") << "0,00"
                              << "05/12/26" << zero << int(MsgIcon::Exclamation) << false;
        QTest::newRow("zero as typed, F5 in the box")
            << "0"
            << "05/12/26" << zero << int(MsgIcon::Exclamation) << false;
        QTest::newRow("comma alone") << ","
                                     << "05/12/26" << zero << int(MsgIcon::Exclamation) << false;
        QTest::newRow("31 February") << "12"
                                     << "31/02/2026" << badDate << int(MsgIcon::Information) << true;
        QTest::newRow("date letters") << "12"
                                      << "demain" << badDate << int(MsgIcon::Information) << true;
        QTest::newRow("too large") << "2147483648"
                                   << "05/12/26" << QString::fromUtf8("Le montant du chèque est trop élevé.")
                                   << int(MsgIcon::Exclamation) << false;
        QTest::newRow("pasted letters")
            << "douze"
            << "05/12/26" << QString::fromUtf8("Le montant du chèque n'est pas valide.")
            << int(MsgIcon::Exclamation) << false;
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

    void printsAndResets_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<bool>("shift");
        QTest::newRow("F5 in the date box") << false << false;
        QTest::newRow("Shift+F5") << false << true;
        QTest::newRow("button") << true << false;
    }
    void printsAndResets()
    {
        QFETCH(bool, byButton);
        QFETCH(bool, shift);
        start(QByteArray("[D\xe9"
                         "faut]\r\nMontant=10,00\r\nB\xe9n\xe9"
                         "ficiaire=EDF\r\nAutoAjout1=Non\r\n"
                         "AutoAjout2=Non\r\n"));
        platform::MessageBoxRecorder boxes;
        w->cboMontant->setEditText(QString());
        type(w->cboMontant, "1234,5");
        w->cboBénéficiaire->setEditText(QString());
        type(w->cboBénéficiaire, "Dupont");
        w->txtDate->clear();
        type(w->txtDate, "5/12/26");
        w->chkEtoiles->setChecked(true);
        if (byButton)
            QTest::mouseClick(w->cmdImprime, Qt::LeftButton);
        else
            QTest::keyClick(focused(), Qt::Key_F5, shift ? Qt::ShiftModifier : Qt::NoModifier);

        QVERIFY(boxes.shown.isEmpty());
        QCOMPARE(fake->documents, 1);
        const QStringList printed = fake->printed();
        QCOMPARE(printed.size(), 5);
        QCOMPARE(printed[0], QString("Dupont"));
        QCOMPARE(printed[1], QString("05/12/2026"));
        QCOMPARE(printed[2] + " " + printed[3],
                 QString("**MILLE DEUX CENT TRENTE QUATRE EUROS CINQUANTE CTS**"));
        QCOMPARE(printed[4], QString("**1 234,50**"));

        QCOMPARE(w->txtDate->text(), QString("05/12/2026"));
        QCOMPARE(w->cboMontant->currentText(), QString("10,00"));
        QCOMPARE(w->cboBénéficiaire->currentText(), QString("EDF"));
        QTRY_VERIFY(w->cboMontant->hasFocus());
        QCOMPARE(platform::mousePointer(), 0);
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!top->isVisible() || top == w.get());
    }

    // F5 in the amount box prints the normalised amount, without adding it to the list.
    void f5InTheAmountBox()
    {
        start();
        type(w->cboMontant, "12,345");
        QTest::keyClick(focused(), Qt::Key_F5);
        QCOMPARE(fake->printed().value(4), QString("12,35"));
        QCOMPARE(fake->printed().value(2), QString("DOUZE EUROS TRENTE CINQ CTS"));
        QCOMPARE(w->cboMontant->count(), 0);
        QVERIFY(!QFile::exists(dir.filePath("Tolvo.ini")));
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

    // The page on "Fichier PDF": every item where the layout puts it, within 0.5 mm.
    void realPage_data()
    {
        QTest::addColumn<QString>("orientation");
        QTest::addColumn<QString>("rotation");
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<QSizeF>("page");
        QTest::newRow("portrait") << "1"
                                  << "" << 0.0 << 0.0 << QSizeF(210, 297);
        QTest::newRow("landscape 90") << "2"
                                      << "90" << 122.0 << 0.0 << QSizeF(297, 210);
        QTest::newRow("landscape 270") << "2"
                                       << "270" << 0.0 << 129.0 << QSizeF(297, 210);
    }
    void realPage()
    {
        QFETCH(QString, orientation);
        QFETCH(QString, rotation);
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(QSizeF, page);
        QTemporaryDir out;
        platform::setPrinters(std::make_unique<testsupport::PdfOnly>(out.path()));
        fake = nullptr;
        start();
        w->lblOrientation->Tag = orientation;
        w->lblPositionnement->Tag = rotation;
        type(w->cboMontant, "1234,5");
        type(w->cboBénéficiaire, "Dupont");
        w->chkEtoiles->setChecked(true);
        QTest::mouseClick(w->cmdImprime, Qt::LeftButton);

        const QStringList files = QDir(out.path()).entryList({"*.pdf"});
        QCOMPARE(files.size(), 1);
        const auto pages = testsupport::pdfPages(out.filePath(files[0]));
        QCOMPARE(pages.size(), 1);
        QVERIFY(qAbs(pages[0].size.width() - page.width()) < 1);
        QVERIFY(qAbs(pages[0].size.height() - page.height()) < 1);

        struct Item {
            const char *word;
            double x, y;
        };
        // Design positions: x where the text starts, y where its line ends.
        const Item items[] = {
            {"Dupont", 15, 33}, {"05/12/2026", 135, 45}, {"**MILLE", 45, 22}, {"**1", 135, 35}};
        for (const Item &item : items) {
            const testsupport::PdfWord *word = testsupport::findWord(pages[0], item.word);
            QVERIFY2(word, item.word);
            QVERIFY2(qAbs(word->xMin - (item.x + dx)) <= 0.5,
                     qPrintable(QString("%1 x %2").arg(item.word).arg(word->xMin)));
            QVERIFY2(qAbs(word->yMax - (item.y + dy)) <= 0.5,
                     qPrintable(QString("%1 y %2").arg(item.word).arg(word->yMax)));
        }
        // The second line of words starts at x 15, its line ending at y 27.
        const testsupport::PdfWord *cts = testsupport::findWord(pages[0], "CTS**");
        QVERIFY(cts);
        const testsupport::PdfWord *second = nullptr;
        for (const auto &word : pages[0].words)
            if (qAbs(word.yMax - cts->yMax) < 0.2 && (!second || word.xMin < second->xMin))
                second = &word;
        QVERIFY(second);
        QVERIFY2(qAbs(second->xMin - (15 + dx)) <= 0.5, qPrintable(QString::number(second->xMin)));
        QVERIFY2(qAbs(second->yMax - (27 + dy)) <= 0.5, qPrintable(QString::number(second->yMax)));
    }
};

QTEST_MAIN(TestPrintJob)
#include "test_printjob.moc"
