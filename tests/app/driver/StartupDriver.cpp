// Loaded into an unchanged program with LD_PRELOAD: once its first window is on
// screen, types TOLVO_DRIVER_KEYS into the focused widget (a "\t" is Tab, "|" is
// F1), lists the visible windows' titles on stdout, one "window: " line each, and
// quits. With no keys it quits as soon as the first window is shown, which is what
// start-up time is measured to.

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

void typeKeys(const QString &keys)
{
    for (const QChar c : keys) {
        QWidget *target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        if (!target)
            return;
        if (c == u'\t')
            QTest::keyClick(target, Qt::Key_Tab);
        else if (c == u'|')
            QTest::keyClick(target, Qt::Key_F1);
        else
            QTest::keyClicks(target, QString(c));
    }
}

void report()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            std::printf("window: %s\n", qPrintable(w->windowTitle()));
    std::fflush(stdout);
}

class Driver : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Expose && watched->isWindowType()) {
            m_done = true;
            const QString keys = qEnvironmentVariable("TOLVO_DRIVER_KEYS");
            if (keys.isEmpty()) {
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            } else {
                QTimer::singleShot(0, qApp, [keys] {
                    typeKeys(keys);
                    QTimer::singleShot(300, qApp, [] {
                        report();
                        QCoreApplication::exit(0);
                    });
                });
            }
        }
        return false;
    }

private:
    bool m_done = false;
};

void start()
{
    qApp->installEventFilter(new Driver(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
