#include "model/module1.h"

#include <QtTest>

class TestModule1 : public QObject
{
    Q_OBJECT

private slots:
    void init() { Module1 = ProblemModel{}; }

    void startValues();
    void setupCommit_data();
    void setupCommit();
    void solverSettingsReset();
    void rootFindUpdates();
    void dynamicValueKinds_data();
    void dynamicValueKinds();
};

void TestModule1::startValues()
{
    QVERIFY(Module1.ExitAnswer.isEmpty());
    QCOMPARE(Module1.ExitAnswer.toNumber(), 0.0);
    QVERIFY(Module1.DistanceUnitCode.empty());
    QVERIFY(Module1.AngleUnitName.empty());
    QCOMPARE(Module1.TargetDistance, 0.0);
    QCOMPARE(Module1.Gravity, 0.0);
    QCOMPARE(Module1.Tolerance, 0.0);
    QVERIFY(Module1.MaxIterations.isEmpty());
    QVERIFY(Module1.MuzzleVelocity.isEmpty());
    QVERIFY(Module1.DenominatorTerm5.isEmpty());
}

void TestModule1::setupCommit_data()
{
    QTest::addColumn<QString>("distanceCode");
    QTest::addColumn<QString>("angleCode");
    QTest::addColumn<bool>("entries");
    QTest::addColumn<double>("gravity");
    QTest::addColumn<QString>("distanceName");
    QTest::addColumn<QString>("angleName");

    QTest::newRow("metres and degrees") << "m"
                                        << "d" << true << 9.80665 << "Meters"
                                        << "Degrees";
    QTest::newRow("feet and radians") << "f"
                                      << "r" << true << 32.1740485564 << "Feet"
                                      << "Radians";
    QTest::newRow("empty codes give feet and radians") << ""
                                                       << "" << false << 32.1740485564 << "Feet"
                                                       << "Radians";
    QTest::newRow("upper-case M is not metres") << "M"
                                                << "D" << true << 32.1740485564 << "Feet"
                                                << "Radians";
}

void TestModule1::setupCommit()
{
    QFETCH(QString, distanceCode);
    QFETCH(QString, angleCode);
    QFETCH(bool, entries);
    QFETCH(double, gravity);
    QFETCH(QString, distanceName);
    QFETCH(QString, angleName);

    Module1.DistanceUnitCode = distanceCode.toStdString();
    Module1.AngleUnitCode = angleCode.toStdString();
    if (entries) {
        Module1.FiringElevationEntry = 100.0;
        Module1.TargetElevationEntry = -250.0;
    }
    Module1.TargetDistance = 1000;
    Module1.setupCommit();

    QCOMPARE(Module1.Gravity, gravity);
    QCOMPARE(QString::fromStdString(Module1.DistanceUnitName), distanceName);
    QCOMPARE(QString::fromStdString(Module1.AngleUnitName), angleName);
    QCOMPARE(Module1.FiringElevation, entries ? 100.0 : 0.0);
    QCOMPARE(Module1.TargetElevation, entries ? -250.0 : 0.0);
    QCOMPARE(Module1.TargetDistance, 1000.0);
}

void TestModule1::solverSettingsReset()
{
    Module1.Tolerance = 5e-9;
    Module1.Increment = 3e-6;
    Module1.MaxIterations = 42.0;
    Module1.resetSolverSettings();
    QCOMPARE(Module1.Tolerance, 1e-7);
    QCOMPARE(Module1.Increment, 1e-5);
    QVERIFY(Module1.MaxIterations.isWhole());
    QCOMPARE(Module1.MaxIterations.toText(), std::string("100"));
}

void TestModule1::rootFindUpdates()
{
    Module1.MaxIterations = 7.0;
    Module1.rootFindLoaded();
    QVERIFY(Module1.MaxIterations.isWhole());
    QCOMPARE(Module1.MaxIterations.toNumber(), 100.0);

    Module1.iterationLimitChanged("101");
    QVERIFY(Module1.MaxIterations.isDouble());
    QCOMPARE(Module1.MaxIterations.toNumber(), 101.0);

    Module1.storeRootFindSettings("3E-09", "0.0001", "50");
    QCOMPARE(Module1.Tolerance, 3e-9);
    QCOMPARE(Module1.Increment, 1e-4);
    QVERIFY(Module1.MaxIterations.isDouble());
    QCOMPARE(Module1.MaxIterations.toText(), std::string("50"));
}

void TestModule1::dynamicValueKinds_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << 0 << 0.0 << "";
    QTest::newRow("16-bit whole") << 1 << 100.0 << "100";
    QTest::newRow("32-bit whole") << 2 << 200000.0 << "200000";
    QTest::newRow("double") << 3 << 50.5 << "50.5";
    QTest::newRow("text reads its leading number") << 4 << 12.0 << "12 iterations";
}

void TestModule1::dynamicValueKinds()
{
    QFETCH(int, row);
    QFETCH(double, number);
    QFETCH(QString, text);
    const DynamicValue values[] = {DynamicValue{}, DynamicValue{std::int16_t{100}}, DynamicValue{std::int32_t{200000}},
                                   DynamicValue{50.5}, DynamicValue{std::string("12 iterations")}};
    QCOMPARE(values[row].toNumber(), number);
    QCOMPARE(QString::fromStdString(values[row].toText()), text);
    // The whole number 100 and the double 100 are different values.
    QVERIFY(DynamicValue{std::int16_t{100}} != DynamicValue{100.0});
}

QTEST_GUILESS_MAIN(TestModule1)
#include "tst_module1.moc"
