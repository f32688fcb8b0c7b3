#include <QtTest>

class TestCompMzVel : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestCompMzVel)
#include "tst_comp_mz_vel.moc"
