#include "cheque/frmImpression.h"

#include <QLabel>
#include <QPointer>
#include <QTest>

namespace {
// Counts the paint events that reach the printing window or its label.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject *object, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint &&
                  (qobject_cast<frmImpression *>(object) || qobject_cast<frmImpression *>(object->parent()));
        return false;
    }
};
} // namespace

class TestImpression : public QObject {
    Q_OBJECT
private slots:
    // Painted, centred over its owner, before the job takes the event loop away.
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
        QVERIFY(counter.paints > 0 && window->isVisible() && !window->isModal());
        QCOMPARE(window->lblImpression->text(), window->windowTitle());
        QCOMPARE(window->windowTitle(), QString("Impression en cours..."));
        QVERIFY((window->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength() <= 2);
        frmImpression::Unload(window);
        QVERIFY(window.isNull());
    }
};

QTEST_MAIN(TestImpression)
#include "test_impression.moc"
