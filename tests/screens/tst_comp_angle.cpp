#include <QtTest>

class TestCompAngle : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestCompAngle)
#include "tst_comp_angle.moc"
