#include <QtTest>

class TestSetup : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
