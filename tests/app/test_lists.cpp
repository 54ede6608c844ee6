// The lists of the main window growing through real focus moves, and amount typing.

#include "app/frmTolvo.h"
#include "platform/Application.h"
#include "support/FakePrinter.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
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
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::newRow("point becomes comma") << "1.5.," << QString("1,5") << QString("1,50");
        QTest::newRow("letters and signs dropped") << "a-1+2 b" << QString("12") << QString("12,00");
    }
    // Automatic addition off: normalised, but neither listed nor saved.
    void typingFilter()
    {
        const QString content = "[Défaut]\nAutoAjout1=Non\nAutoAjout2=Non\n";
        start(content);
        QFETCH(QString, keys);
        typeInto(w->cboMontant, keys);
        QTEST(w->cboMontant->currentText(), "typed");
        QTest::mouseClick(w->txtDate, Qt::LeftButton);
        QTEST(w->cboMontant->currentText(), "left");
        typeAndLeave(*w, w->cboBénéficiaire, "Durand");
        QCOMPARE(w->cboMontant->count() + w->cboBénéficiaire->count(), 0);
        QCOMPARE(readAll(file()), testsupport::iniBytes(content));
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
    }
};

QTEST_MAIN(TestLists)
#include "test_lists.moc"
