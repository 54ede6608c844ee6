#include "platform/UserName.h"

#include <QtTest>

class TestUserName : public QObject {
    Q_OBJECT

private slots:
    void gecos_data()
    {
        QTest::addColumn<QByteArray>("gecos");
        QTest::addColumn<QString>("name");
        QTest::newRow("full entry") << QByteArray("Jeanne Dupré,Bureau 12,0102030405,,") << "Jeanne Dupré";
        QTest::newRow("name only") << QByteArray("Paul Martin") << "Paul Martin";
        QTest::newRow("spaces") << QByteArray("  Paul Martin ,x") << "Paul Martin";
        QTest::newRow("commas only") << QByteArray(",,,") << "";
    }
    void gecos()
    {
        QFETCH(QByteArray, gecos);
        QFETCH(QString, name);
        QCOMPARE(platform::fullNameFromGecos(gecos.constData()), name);
    }
    void missingField() { QCOMPARE(platform::fullNameFromGecos(nullptr), QString()); }
};

QTEST_MAIN(TestUserName)
#include "test_username.moc"
