// The lists of the main window growing through real focus moves, and amount typing.

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "platform/print/Printer.h"
#include "support/FakePrinter.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using testsupport::readAll;

namespace {

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void typeInto(QComboBox *box, const QString &keys)
{
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), keys);
}

// Replaces the box's text by typing, then moves the focus to the date box by a click.
void typeAndLeave(frmTolvo &w, QComboBox *box, const QString &text)
{
    box->lineEdit()->clear();
    typeInto(box, text);
    QTest::mouseClick(w.txtDate, Qt::LeftButton);
    QTRY_VERIFY(w.txtDate->hasFocus());
}

} // namespace

class TestLists : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<frmTolvo> w;

    QString file() const { return dir.filePath("Tolvo.ini"); }
    void start(const QString &content)
    {
        QFile::remove(file());
        if (!content.isEmpty())
            QVERIFY(testsupport::writeAll(file(), testsupport::iniBytes(content)));
        w = std::make_unique<frmTolvo>();
        w->Form_Load();
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }

private slots:
    void init()
    {
        platform::setApplicationFolder(dir.path());
        platform::setToday(QDate(2026, 12, 5));
        auto printers = std::make_unique<platform::FakePrinters>();
        printers->add("HP");
        platform::setPrinters(std::move(printers));
    }
    void cleanup()
    {
        w.reset();
        platform::setPrinters(nullptr);
    }

    void amountGrowsSortedAndRenumbers()
    {
        start("[Montants]\n5=30,00\n9=100,00\n");
        typeAndLeave(*w, w->cboMontant, "20");
        QCOMPARE(w->cboMontant->currentText(), QString("20,00"));
        QCOMPARE(items(w->cboMontant), QStringList({"100,00", "20,00", "30,00"}));
        QCOMPARE(readAll(file()), testsupport::iniBytes("[Montants]\n0=100,00\n1=30,00\n2=20,00\n"));

        // Known amount: nothing written.
        const QByteArray before = readAll(file());
        typeAndLeave(*w, w->cboMontant, "30");
        QCOMPARE(w->cboMontant->currentText(), QString("30,00"));
        QCOMPARE(items(w->cboMontant).size(), 3);
        QCOMPARE(readAll(file()), before);
    }

    void typingFilter_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("added"); // what the file gains
        QTest::newRow("point becomes comma, both lists off")
            << "[Défaut]\nAutoAjout1=Non\nAutoAjout2=Non\n"
            << "1.5.," << QString("1,5") << QString("1,50") << QString();
        QTest::newRow("letters and signs dropped, amounts off")
            << "[Défaut]\nAutoAjout1=Non\n"
            << "a-1+2 b" << QString("12") << QString("12,00") << QString("[Bénéficiaires]\n0=Durand\n");
        QTest::newRow("beneficiaries off")
            << "[Défaut]\nAutoAjout2=Non\n"
            << "7" << QString("7") << QString("7,00") << QString("[Montants]\n0=7,00\n");
    }
    // Each list follows its own flag; normalised either way.
    void typingFilter()
    {
        QFETCH(QString, content);
        QFETCH(QString, added);
        start(content);
        QFETCH(QString, keys);
        typeInto(w->cboMontant, keys);
        QTEST(w->cboMontant->currentText(), "typed");
        QTest::mouseClick(w->txtDate, Qt::LeftButton);
        QTEST(w->cboMontant->currentText(), "left");
        typeAndLeave(*w, w->cboBénéficiaire, "Durand");
        QCOMPARE(items(w->cboMontant) + items(w->cboBénéficiaire),
                 QStringList(added.isEmpty() ? QStringList() : QStringList{added.section('=', 1).trimmed()}));
        QCOMPARE(readAll(file()), testsupport::iniBytes(content + added));
    }

    // Years of automatic growth: every entry loads and an addition keeps them all.
    // A list too long to be counted is never rewritten from the screen.
    void longLists()
    {
        QString content = "[Montants]\n";
        for (int i = 1; i <= 1500; ++i)
            content += QString("%1=%2,00\n").arg(i).arg(1000 + i);
        content += "[Bénéficiaires]\n";
        for (int i = 0; i < 700; ++i)
            content += QString("%1=Bénéficiaire numéro %1\n").arg(i);
        start(content);
        QCOMPARE(w->cboMontant->count(), 1500);
        QCOMPARE(w->cboBénéficiaire->count(), 700);
        typeAndLeave(*w, w->cboMontant, "5");
        typeAndLeave(*w, w->cboBénéficiaire, "Durand");
        const QString saved = QString::fromLatin1(readAll(file()));
        QCOMPARE(saved.count(",00\r\n"), 1501);
        QVERIFY(saved.contains("\r\n1500=5,00\r\n") && saved.contains("\r\n0=1001,00\r\n"));
        QCOMPARE(saved.count("\r\n") - 1503, 701);
        QVERIFY(saved.endsWith("\r\n700=Durand\r\n"));

        content = "[Montants]\n";
        for (int i = 0; i < 33000; ++i)
            content += QString("%1=1,00\n").arg(i);
        start(content);
        const QByteArray before = readAll(file());
        typeAndLeave(*w, w->cboMontant, "5");
        QCOMPARE(readAll(file()), before);
    }

    void commaWithSelection()
    {
        start(QString());
        typeInto(w->cboMontant, "1,5");
        w->cboMontant->lineEdit()->selectAll();
        QTest::keyClick(QApplication::focusWidget(), ',');
        QCOMPARE(w->cboMontant->currentText(), QString("1,5"));
        QTest::keyClick(QApplication::focusWidget(), '9'); // a digit replaces the selection
        QCOMPARE(w->cboMontant->currentText(), QString("9"));
    }

    void beneficiaryKeepsInsertionOrderAndCase()
    {
        start("[Bénéficiaires]\n3=Dupont\n7=Zoé Martin\n");
        typeAndLeave(*w, w->cboBénéficiaire, "dupont");
        QCOMPARE(items(w->cboBénéficiaire), QStringList({"Dupont", "Zoé Martin", "dupont"}));
        QCOMPARE(readAll(file()),
                 testsupport::iniBytes("[Bénéficiaires]\n0=Dupont\n1=Zoé Martin\n2=dupont\n"));
        QCOMPARE(w->cboBénéficiaire->currentText(), QString("dupont"));

        const QByteArray before = readAll(file());
        typeAndLeave(*w, w->cboBénéficiaire, "Dupont");
        QCOMPARE(readAll(file()), before);
    }

    void noValidationWhenTheListOpens()
    {
        start(QString());
        typeInto(w->cboMontant, "55");
        w->cboMontant->showPopup();
        QCOMPARE(w->cboMontant->currentText(), QString("55"));
        w->cboMontant->hidePopup();
        QCOMPARE(w->cboMontant->currentText(), QString("55"));
        QVERIFY(!QFile::exists(file()));
        // Leaving for a button validates before the button acts.
        QTest::mouseClick(w->chkEtoiles, Qt::LeftButton);
        QCOMPARE(w->cboMontant->currentText(), QString("55,00"));
        QCOMPARE(readAll(file()), testsupport::iniBytes("[Montants]\n0=55,00\n[Défaut]\nEncadrement=Oui\n"));
        w->chkEtoiles->click();
        QCOMPARE(readAll(file()), testsupport::iniBytes("[Montants]\n0=55,00\n[Défaut]\nEncadrement=Non\n"));

        // The menu bar, by Alt or by a click, is not leaving the box.
        w->cboMontant->lineEdit()->clear();
        typeInto(w->cboMontant, "7");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Alt);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QMenuBar *bar = w->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(w->mnuAide->menuAction()).center());
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // the bar itself
        QTRY_VERIFY(w->cboMontant->hasFocus());
        QCOMPARE(w->cboMontant->currentText(), QString("7"));
        // Alt+I presses the print button: the amount joins its list before it is printed.
        platform::FakePrinter &hp = *static_cast<platform::FakePrinters &>(platform::printers()).list[0];
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(hp.documents, 1);
        QCOMPARE(hp.printed().value(4), QString("7,00"));
        QCOMPARE(items(w->cboMontant), QStringList({"55,00", "7,00"}));
        QCOMPARE(readAll(file()),
                 testsupport::iniBytes("[Montants]\n0=55,00\n1=7,00\n[Défaut]\nEncadrement=Non\n"));
    }

    // Enter in a dialog's text box presses its default button after validating the box.
    void defaultButtonValidatesFirst()
    {
        QDialog dialog;
        auto *edit = new QLineEdit(&dialog);
        auto *ok = new QPushButton("OK", &dialog);
        ok->move(0, 40);
        ok->setDefault(true);
        QStringList order;
        platform::onValidate(edit, [&] { order << "validate"; });
        QObject::connect(ok, &QPushButton::clicked, [&] { order << "click"; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(order, QStringList({"validate", "click"}));
    }
};

QTEST_MAIN(TestLists)
#include "test_lists.moc"
