// The yardstick for start-up time: the smallest Qt window that draws text, a main
// window with a menu bar of one item, a label and a combo box, shown and left
// running as the program's own main window is. Timed with the start-up driver of
// the tests (LD_PRELOAD), which quits it once its window is on screen.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addAction(QStringLiteral("&Options"));
    auto *client = new QWidget(&window);
    auto *layout = new QVBoxLayout(client);
    layout->addWidget(new QLabel(QStringLiteral("Montant du chèque:")));
    auto *amount = new QComboBox;
    amount->setEditable(true);
    layout->addWidget(amount);
    window.setCentralWidget(client);
    window.resize(310, 440);
    window.show();
    return app.exec();
}
