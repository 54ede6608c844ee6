#include "cheque/frmImpression.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

namespace {

// Counts paint events reaching the printing window and its label.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint &&
            (qobject_cast<frmImpression *>(object) || qobject_cast<frmImpression *>(object->parent())))
            ++paints;
        return false;
    }
};

} // namespace

class TestImpression : public QObject {
    Q_OBJECT
private slots:
    void shownOverOwner()
    {
        QWidget owner;
        owner.setGeometry(200, 150, 640, 420);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        PaintCounter counter;
        qApp->installEventFilter(&counter);
        QPointer<frmImpression> window = frmImpression::ShowOver(&owner);
        qApp->removeEventFilter(&counter);

        // Painted before the caller gets it back: the job gives the event loop no chance later.
        QVERIFY(counter.paints > 0);
        QVERIFY(window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), QString("Impression en cours..."));
        QCOMPARE(window->lblImpression->text(), QString("Impression en cours..."));
        const QPoint offset = window->frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));

        frmImpression::Unload(window);
        QVERIFY(window.isNull());
        frmImpression::Unload(nullptr);
    }
};

QTEST_MAIN(TestImpression)
#include "test_impression.moc"
