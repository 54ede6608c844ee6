#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvo"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVO_VERSION));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Tolvo"));
    window.show();
    return app.exec();
}
