#include <QtTest>

class TestRootFindParameters : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(TestRootFindParameters)
#include "tst_root_find_parameters.moc"
