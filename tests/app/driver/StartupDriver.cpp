// Loaded into an unchanged program with LD_PRELOAD: once its first window is on
// screen, types TOLVO_DRIVER_KEYS into the focused widget ("\t" is Tab, "|" is F1),
// prints the visible windows' titles, one "window: " line each, and quits. With no
// keys it quits at once, which is what start-up time is measured to.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

void typeKeysAndQuit()
{
    const QString keys = qEnvironmentVariable("TOLVO_DRIVER_KEYS");
    for (const QChar c : keys) {
        QWidget *target =
            QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        if (target && (c == u'\t' || c == u'|'))
            QTest::keyClick(target, c == u'\t' ? Qt::Key_Tab : Qt::Key_F1);
        else if (target)
            QTest::keyClicks(target, QString(c));
    }
    QTimer::singleShot(keys.isEmpty() ? 0 : 300, qApp, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible())
                std::printf("window: %s\n", qPrintable(w->windowTitle()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
}

struct Driver : QObject {
    using QObject::QObject;
    bool done = false;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!done && event->type() == QEvent::Expose && watched->isWindowType()) {
            done = true;
            QTimer::singleShot(0, qApp, typeKeysAndQuit);
        }
        return false;
    }
};

void start()
{
    qApp->installEventFilter(new Driver(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
