// The yardstick for start-up time: a bare Qt window, shown and left running, as
// the program's own main window is. Timed with the start-up driver of the tests
// (LD_PRELOAD), which quits both once their first window is on screen.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(310, 440);
    window.show();
    return app.exec();
}
