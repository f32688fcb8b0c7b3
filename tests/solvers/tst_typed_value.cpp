#include "model/module1.h"
#include "model/typed_value.h"
#include "solvers/min_velocity.h"
#include "solvers/muzzle_velocity.h"

#include <QtTest>

#include <cmath>

using typed::Outcome;

Q_DECLARE_METATYPE(typed::Outcome)

namespace {

constexpr double metres = 9.80665;
constexpr double feet = 32.1740485564;

ProblemModel angleProblem(double sy, const char *metric)
{
    ProblemModel m;
    m.TargetDistance = 1000;
    m.TargetElevation = sy;
    m.AngleUnitCode = metric;
    m.SightAngle = minimumAngleRange(1000, 0, sy).sightAngle;
    return m;
}

// Each scroll bar's scale as its screen builds it, from the problem it shows.
typed::Scale scaleNamed(const QString &name)
{
    static const ProblemModel level = angleProblem(0, "d");
    static const ProblemModel above = angleProblem(100, "d");
    static const ProblemModel radians = angleProblem(0, "r");
    const auto velocity = [](double g, int maximum) {
        const double least = searchMinVelocity(1000, 0, 0, g).minVelocity;
        return velocityScale(least, static_cast<int>(10 * std::floor(least)), maximum);
    };
    if (name == "elevation")
        return typed::wholeNumbers(-10000, 20000);
    if (name == "distance")
        return typed::wholeNumbers(0, 32000);
    if (name == "velocity")
        return velocity(metres, 20000);
    if (name == "velocity in feet")
        return velocity(feet, 30000);
    if (name == "degrees")
        return angleScale(level, 1, 15707);
    if (name == "degrees, target above")
        return angleScale(above, 1, minimumAngleRange(1000, 0, 100).scrollMaximum);
    if (name == "radians")
        return angleScale(radians, 1, 15707);
    if (name == "tolerance")
        return typed::fractions(1, 1000, 1e9);
    if (name == "increment")
        return typed::fractions(1, 1000, 1e7);
    return typed::wholeNumbers(1, 1000); // iterations
}

} // namespace

class TestTypedValue : public QObject
{
    Q_OBJECT

private slots:
    void readsToPosition_data();
    void readsToPosition();
    void notes_data();
    void notes();
};

void TestTypedValue::readsToPosition_data()
{
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("position");

    const auto row = [](const char *tag, const char *scale, const char *text, Outcome outcome, int position = 0) {
        QTest::newRow(tag) << scale << text << outcome << position;
    };
    row("distance typed whole", "distance", "1000", Outcome::Exact, 1000);
    row("blanks around ignored", "elevation", " \t250 ", Outcome::Exact, 250);
    row("plus sign", "elevation", "+7", Outcome::Exact, 7);
    row("point without decimals", "elevation", "5.", Outcome::Exact, 5);
    row("exponent", "elevation", "2E3", Outcome::Exact, 2000);
    row("decimal to the nearest whole", "elevation", "12.4", Outcome::Nearest, 12);
    row("half away from zero, up", "elevation", "12.5", Outcome::Nearest, 13);
    row("half away from zero, down", "elevation", "-12.5", Outcome::Nearest, -13);
    row("lone decimals: half of 1", "elevation", ".5", Outcome::Nearest, 1);
    row("too small for a double reads as 0", "elevation", "1E-400", Outcome::Exact, 0);
    row("elevation's lowest", "elevation", "-10000", Outcome::Exact, -10000);
    row("elevation's highest", "elevation", "20000", Outcome::Exact, 20000);
    row("a fraction below the lowest", "elevation", "-10000.4", Outcome::BelowRange);
    row("above the highest", "elevation", "20001", Outcome::AboveRange);
    row("negative distance", "distance", "-1", Outcome::BelowRange);
    row("a fraction above the longest distance", "distance", "32000.5", Outcome::AboveRange);

    row("velocity 150", "velocity", "150", Outcome::Exact, 1500);
    row("least velocity as shown", "velocity", "99.032", Outcome::Exact, 990);
    row("nearer the least velocity than 99.1", "velocity", "99.05", Outcome::Nearest, 990);
    row("nearer 99.1 than the least velocity", "velocity", "99.07", Outcome::Nearest, 991);
    row("velocity below the least", "velocity", "99.0319", Outcome::BelowRange);
    row("velocity in metres tops at 2000", "velocity", "2000", Outcome::Exact, 20000);
    row("velocity in metres above 2000", "velocity", "2000.1", Outcome::AboveRange);
    row("velocity in feet reaches 3000", "velocity in feet", "3000", Outcome::Exact, 30000);

    row("40 degrees lies between positions", "degrees", "40", Outcome::Nearest, 6981);
    row("an angle as its box shows it", "degrees", "39.998", Outcome::Exact, 6981);
    row("45 degrees shows as 45.000", "degrees", "45", Outcome::Exact, 7854);
    row("lowest angle as shown", "degrees", "0.006", Outcome::Exact, 1);
    row("highest angle as shown, a hair above the angle itself", "degrees", "89.995", Outcome::Exact, 15707);
    row("the line of sight is below the usable angles", "degrees", "0", Outcome::BelowRange);
    row("a right angle is above them", "degrees", "90", Outcome::AboveRange);
    row("target above: 40 degrees out of reach", "degrees, target above", "40", Outcome::Nearest, 5985);
    row("radians exact", "radians", "0.7854", Outcome::Exact, 7854);
    row("radians as the box rounds them", "radians", "0.785", Outcome::Exact, 7850);
    row("radians: the top as shown", "radians", "1.571", Outcome::Exact, 15707);
    row("radians past the top as shown", "radians", "1.5711", Outcome::AboveRange);
    row("radians: the lowest as shown, rounded down to 0", "radians", "0", Outcome::Exact, 1);
    row("radians below the lowest as shown", "radians", "-0.0001", Outcome::BelowRange);

    row("tolerance in E-notation", "tolerance", "5E-08", Outcome::Exact, 50);
    row("tolerance as a plain decimal", "tolerance", "0.0000001", Outcome::Exact, 100);
    row("tolerance between steps", "tolerance", "5.04e-8", Outcome::Nearest, 50);
    row("tolerance's lowest", "tolerance", "1E-09", Outcome::Exact, 1);
    row("tolerance's highest", "tolerance", "1E-06", Outcome::Exact, 1000);
    row("tolerance 0", "tolerance", "0", Outcome::BelowRange);
    row("tolerance above", "tolerance", "2E-06", Outcome::AboveRange);
    row("increment's highest", "increment", "0.0001", Outcome::Exact, 1000);
    row("increment 1E-05", "increment", "1E-05", Outcome::Exact, 100);
    row("iteration limit", "iterations", "250", Outcome::Exact, 250);
    row("no iterations", "iterations", "0", Outcome::BelowRange);
    row("iterations above", "iterations", "1001", Outcome::AboveRange);

    row("empty", "elevation", "", Outcome::Empty);
    row("blanks only", "elevation", "   ", Outcome::Empty);
    row("letters", "elevation", "abc", Outcome::NotANumber);
    row("letters after digits", "elevation", "12abc", Outcome::NotANumber);
    row("a unit after the number", "degrees", "40deg", Outcome::NotANumber);
    row("comma for a point", "elevation", "1,5", Outcome::NotANumber);
    row("two points", "elevation", "1.2.3", Outcome::NotANumber);
    row("exponent without digits", "elevation", "1E", Outcome::NotANumber);
    row("two signs", "elevation", "--1", Outcome::NotANumber);
    row("lone point", "elevation", ".", Outcome::NotANumber);
    row("two numbers", "elevation", "12 34", Outcome::SeveralNumbers);
    row("a number and a word", "elevation", "12 m", Outcome::NotANumber);
    row("nan", "elevation", "nan", Outcome::NotFinite);
    row("negative infinity", "elevation", "-inf", Outcome::NotFinite);
    row("Infinity spelled out", "elevation", "Infinity", Outcome::NotFinite);
    row("too large for a double", "elevation", "1E400", Outcome::NotFinite);
}

void TestTypedValue::readsToPosition()
{
    QFETCH(QString, scale);
    QFETCH(QString, text);
    QFETCH(Outcome, outcome);
    QFETCH(int, position);

    const typed::Reading r = typed::read(text.toStdString(), scaleNamed(scale));
    QCOMPARE(r.outcome, outcome);
    if (outcome == Outcome::Exact || outcome == Outcome::Nearest)
        QCOMPARE(r.position, position);
}

void TestTypedValue::notes_data()
{
    QTest::addColumn<QString>("scale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("note");

    QTest::newRow("exact: nothing to say") << "distance"
                                           << "1000"
                                           << "";
    QTest::newRow("nearest angle, said as the box shows it")
        << "degrees"
        << "40"
        << "Set to 39.998\u00b0 \u2014 the nearest angle this screen can take.";
    QTest::newRow("range in a word unit, said once") << "elevation"
                                                     << "20001"
                                                     << "Out of range: type a number from -10000 to 20000 Meters.";
    QTest::newRow("range in degrees, after each end")
        << "degrees"
        << "90"
        << "Outside the usable angles: type a number from 0.006\u00b0 to 89.995\u00b0.";
    QTest::newRow("below the least velocity")
        << "velocity"
        << "50"
        << "Below the minimum velocity: type a number from 99.032 to 2000 Meters/Sec.";
    QTest::newRow("two numbers") << "elevation"
                                 << "1 2"
                                 << "Type one number only.";
}

void TestTypedValue::notes()
{
    QFETCH(QString, scale);
    QFETCH(QString, text);
    QFETCH(QString, note);

    typed::Wording wording{.unit = " Meters"};
    if (scale == "degrees")
        wording = {.unit = "\u00b0",
                   .noun = "angle",
                   .below = "Outside the usable angles",
                   .above = "Outside the usable angles"};
    else if (scale == "velocity")
        wording = {.unit = " Meters/Sec", .below = "Below the minimum velocity"};
    const typed::Scale s = scaleNamed(scale);
    QCOMPARE(QString::fromStdString(typed::noteText(typed::read(text.toStdString(), s), s, wording)), note);
}

QTEST_GUILESS_MAIN(TestTypedValue)
#include "tst_typed_value.moc"
