#include "model/conversions.h"
#include "model/module1.h"
#include "screens/comp_angle_record.h"
#include "screens/comp_mz_vel_record.h"
#include "solvers/angle_solver.h"
#include "solvers/firing_table.h"
#include "solvers/min_velocity.h"
#include "solvers/muzzle_velocity.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(firing::Problem)
Q_DECLARE_METATYPE(firing::Varied)
Q_DECLARE_METATYPE(firing::StepsOutcome)

namespace {

using firing::Problem;
using firing::Question;
using firing::Varied;

Problem anglesProblem(double sx, double so, double sy, double v, bool feet = false, bool radians = false)
{
    Problem p;
    p.distance = sx;
    p.firing = so;
    p.target = sy;
    p.velocity = v;
    p.feet = feet;
    p.radians = radians;
    return p;
}

Problem velocityProblem(double sx, double so, double sy, double angle, bool radians = false)
{
    Problem p = anglesProblem(sx, so, sy, 0, false, radians);
    p.question = Question::Velocity;
    p.angle = angle;
    return p;
}

double given(const Problem &p, Varied varied)
{
    return varied == Varied::Distance ? p.distance : varied == Varied::Velocity ? p.velocity : p.angle;
}

// The result screen's texts for the problem, through its own handler on a model of its own.
QStringList screenTexts(const Problem &p)
{
    ProblemModel m;
    m.TargetDistance = p.distance;
    m.FiringElevationEntry = p.firing;
    m.TargetElevationEntry = p.target;
    m.DistanceUnitCode = p.feet ? "f" : "m";
    m.AngleUnitCode = p.radians ? "r" : "d";
    m.setupCommit();
    QStringList out;
    const auto add = [&](const figure_text::Texts &t) {
        for (const std::string *text : t.rows())
            out << QString::fromStdString(*text);
    };
    if (p.question == Question::Angles) {
        m.resetSolverSettings();
        m.MuzzleVelocity = p.velocity;
        for (const SolutionReport &s : comp_angle_record::computeSuperElevation(m).solutions)
            if (s.figures)
                add(s.figures->texts);
    } else {
        m.ElevationAngle = p.radians ? p.angle : p.angle * 3.14159 / 180;
        add(comp_mz_vel_record::computeMuzzleVelocity(m).texts);
    }
    return out;
}

QStringList rowTexts(const firing::Answer &a)
{
    QStringList out;
    for (const firing::Solution &s : a.vacuum)
        for (const std::string *text : s.texts.rows())
            if (!text->empty())
                out << QString::fromStdString(*text);
    return out;
}

// The angle screen's floor as its velocity box shows it.
double screenFloor(const Problem &p)
{
    const double g = firing::gravity(p.feet);
    const MinVelocitySearch s = searchMinVelocity(p.distance, p.firing, p.target, g);
    return conv::leadingNumber(conv::formatPattern(s.minVelocity, "###.000"));
}

double number(const std::string &text)
{
    return conv::leadingNumber(text);
}

// One unit of a text's last decimal.
double lastDigit(const std::string &text)
{
    const std::size_t point = text.find('.');
    return point == std::string::npos ? 1 : std::pow(10.0, -double(text.size() - point - 1));
}

} // namespace

class TestFiringTable : public QObject
{
    Q_OBJECT

private slots:
    void screenRow_data();
    void screenRow();
    void publishedLevelFigures();
    void leastVelocity_data();
    void leastVelocity();
    void stepValues_data();
    void stepValues();
    void notes_data();
    void notes();
    void vacuumThroughTheAirModel_data();
    void vacuumThroughTheAirModel();
};

void TestFiringTable::screenRow_data()
{
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<Varied>("varied");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("step");

    QTest::newRow("level 1000 m at 150 m/s, distance from 100")
        << anglesProblem(1000, 0, 0, 150) << Varied::Distance << 100.0 << 100.0;
    QTest::newRow("level 1000 m, velocity from 100")
        << anglesProblem(1000, 0, 0, 150) << Varied::Velocity << 100.0 << 10.0;
    QTest::newRow("target 100 m below, feet and radians")
        << anglesProblem(1000, 100, 0, 200, true, true) << Varied::Distance << 250.0 << 250.0;
    QTest::newRow("target 500 m above, from 150 m/s")
        << anglesProblem(1000, 0, 500, 180, false, false) << Varied::Velocity << 150.0 << 15.0;
    QTest::newRow("velocity question at 45 degrees, distance from 200")
        << velocityProblem(1000, 0, 0, 45) << Varied::Distance << 200.0 << 200.0;
    QTest::newRow("velocity question, angle from 15 degrees, target above")
        << velocityProblem(1000, 0, 500, 40.001) << Varied::Angle << 30.001 << 5.0;
    QTest::newRow("velocity question, radians")
        << velocityProblem(1000, 0, 0, 0.7854, true) << Varied::Angle << 0.5854 << 0.05;
}

// The row of the screen's own value reads as the screen does, whatever values came before it.
void TestFiringTable::screenRow()
{
    QFETCH(Problem, problem);
    QFETCH(Varied, varied);
    QFETCH(double, from);
    QFETCH(double, step);

    const double own = given(problem, varied);
    const firing::StepValues steps = firing::stepValues({from, own, step}, firing::maxRows);
    QCOMPARE(steps.outcome, firing::StepsOutcome::Valid);
    QCOMPARE(steps.values.back(), own);
    // Each row takes its own value, not the problem's.
    Problem start = problem;
    (varied == Varied::Distance ? start.distance : varied == Varied::Velocity ? start.velocity : start.angle) = from;
    const std::vector<firing::Row> rows = firing::firingTable(start, varied, steps.values);
    QCOMPARE(rows.size(), steps.values.size());
    const QStringList expected = screenTexts(problem);
    QCOMPARE(expected.size(), problem.question == Question::Angles ? 12 : 6);
    QCOMPARE(rowTexts(rows.back().answer), expected);
    QCOMPARE(rowTexts(firing::solve(problem)), expected);

    const std::vector<firing::Column> columns = firing::tableColumns(problem, varied);
    for (const firing::Row &row : rows)
        QCOMPARE(firing::tableCells(problem, row).size(), columns.size());
}

void TestFiringTable::publishedLevelFigures()
{
    const Problem p = anglesProblem(1000, 0, 0, 150);
    const std::vector<firing::Row> rows = firing::firingTable(p, Varied::Distance, {500, 1000});
    const std::vector<std::string> cells = firing::tableCells(p, rows.back());
    // distance, then angle, time of flight, apogee, arrival angle and speed of each solution
    QCOMPARE(cells[0], "1000");
    QCOMPARE(cells[1], "12.92");
    QCOMPARE(cells[2], "6.84");
    QCOMPARE(cells[6], "77.08");
    QCOMPARE(cells[7], "29.82");
    // Level ground: the shot comes down as steeply and as fast as it left.
    QCOMPARE(cells[4], cells[1]);
    QCOMPARE(cells[5], "150.00");
    QCOMPARE(cells[9], cells[6]);
    QCOMPARE(cells[11], "");
}

void TestFiringTable::leastVelocity_data()
{
    QTest::addColumn<Problem>("problem");
    QTest::newRow("level 1000 m") << anglesProblem(1000, 0, 0, 0);
    QTest::newRow("a metre away: a slow floor well above the exact least") << anglesProblem(1, 0, 0, 0);
    QTest::newRow("a centimetre away") << anglesProblem(0.01, 0, 0, 0);
    QTest::newRow("far below and near") << anglesProblem(2190, 20000, -10000, 0);
    QTest::newRow("steep line of sight, feet") << anglesProblem(3, 0, 20000, 0, true);
    QTest::newRow("far and high") << anglesProblem(32000, -10000, 20000, 0);
    QTest::newRow("just below") << anglesProblem(500, 10, 0, 0);
}

// A velocity below the screen's floor is refused, the floor itself and above are solved,
// however close: the shortcut past the search must never claim more than it.
void TestFiringTable::leastVelocity()
{
    QFETCH(Problem, problem);
    const double floor = screenFloor(problem);
    QCOMPARE(number(firing::leastVelocityText(problem)), floor);
    for (const double v :
         {floor - 0.001, std::nextafter(floor, 0.0), floor, floor + 0.001, floor + 0.1, 1.01 * floor}) {
        problem.velocity = v;
        const firing::Answer a = firing::solve(problem);
        QVERIFY2(a.reachable == (v >= floor),
                 qPrintable(QStringLiteral("%1 against %2").arg(v, 0, 'g', 17).arg(floor)));
        if (!a.reachable)
            QVERIFY(a.vacuum[0].note.find(firing::leastVelocityText(problem)) != std::string::npos);
    }
}

void TestFiringTable::stepValues_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("step");
    QTest::addColumn<firing::StepsOutcome>("outcome");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("last");

    using firing::StepsOutcome;
    QTest::newRow("100 to 2000 by 100") << 100.0 << 2000.0 << 100.0 << StepsOutcome::Valid << 20 << 2000.0;
    QTest::newRow("tenths land on the last despite rounding") << 0.1 << 0.7 << 0.1 << StepsOutcome::Valid << 7 << 0.7;
    QTest::newRow("downward by a negative step") << 2000.0 << 100.0 << -100.0 << StepsOutcome::Valid << 20 << 100.0;
    QTest::newRow("a step past the last stops short") << 100.0 << 250.0 << 100.0 << StepsOutcome::Valid << 2 << 200.0;
    QTest::newRow("one value") << 5.0 << 5.0 << 1.0 << StepsOutcome::Valid << 1 << 5.0;
    QTest::newRow("exactly the limit") << 1.0 << 10000.0 << 1.0 << StepsOutcome::Valid << 10000 << 10000.0;
    QTest::newRow("one over the limit") << 0.0 << 10000.0 << 1.0 << StepsOutcome::TooMany << 0 << 0.0;
    QTest::newRow("a step too fine to tell rows apart")
        << 1000.0 << 1000.000001 << 1e-12 << StepsOutcome::TooFine << 0 << 0.0;
    QTest::newRow("away from the last") << 100.0 << 50.0 << 10.0 << StepsOutcome::AwayFromLast << 0 << 0.0;
    QTest::newRow("negative step upward") << 50.0 << 100.0 << -10.0 << StepsOutcome::AwayFromLast << 0 << 0.0;
    QTest::newRow("zero step") << 100.0 << 2000.0 << 0.0 << StepsOutcome::ZeroStep << 0 << 0.0;
    QTest::newRow("NaN step") << 1.0 << 2.0 << std::nan("") << StepsOutcome::NotFinite << 0 << 0.0;
}

void TestFiringTable::stepValues()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, step);
    QFETCH(firing::StepsOutcome, outcome);
    QFETCH(int, count);
    QFETCH(double, last);

    const firing::StepValues s = firing::stepValues({from, to, step}, firing::maxRows);
    QCOMPARE(s.outcome, outcome);
    QCOMPARE(int(s.values.size()), count);
    if (count == 0)
        return;
    QCOMPARE(s.values.front(), from);
    QCOMPARE(s.values.back(), last);
    for (std::size_t i = 1; i < s.values.size(); ++i)
        QVERIFY(std::fabs(s.values[i] - s.values[i - 1] - step) <= 1e-9 * std::fabs(step));
}

void TestFiringTable::notes_data()
{
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<QStringList>("notes"); // per solution, empty when found

    QTest::newRow("below the least velocity") << anglesProblem(1000, 0, 0, 50)
                                              << QStringList{"beyond reach: the least velocity is 99.032 m/s",
                                                             "beyond reach: the least velocity is 99.032 m/s"};
    QTest::newRow("steep solution above 89.9 degrees")
        << anglesProblem(1, 0, 0, 100) << QStringList{"", "above the angle limit of 89.90 degrees"};
    QTest::newRow("in radians") << anglesProblem(1, 0, 0, 100, false, true)
                                << QStringList{"", "above the angle limit of 1.569 radians"};
    QTest::newRow("velocity question below the line of sight")
        << velocityProblem(1000, 0, 100, 5) << QStringList{"at or below the line of sight, 5.71 degrees"};
    QTest::newRow("velocity question at a right angle")
        << velocityProblem(1000, 0, 0, 90) << QStringList{"at or above a right angle"};
    QTest::newRow("no distance") << anglesProblem(0, 0, 0, 150)
                                 << QStringList{"the horizontal distance to the target must be greater than 0",
                                                "the horizontal distance to the target must be greater than 0"};
}

// A solution without figures says why, and one with figures has every one of them.
void TestFiringTable::notes()
{
    QFETCH(Problem, problem);
    QFETCH(QStringList, notes);

    const firing::Answer a = firing::solve(problem);
    QCOMPARE(int(a.vacuum.size()), notes.size());
    for (int i = 0; i < notes.size(); ++i) {
        const firing::Solution &s = a.vacuum[std::size_t(i)];
        QCOMPARE(QString::fromStdString(s.note), notes[i]);
        for (const std::string *text : s.texts.rows())
            QCOMPARE(text->empty(), !s.found());
        QCOMPARE(s.arrivalAngle.empty(), !s.found());
        QCOMPARE(s.arrivalSpeed.empty(), !s.found());
    }
    const Varied varied = problem.question == Question::Angles ? Varied::Velocity : Varied::Angle;
    const std::vector<std::string> cells = firing::tableCells(problem, {given(problem, varied), a});
    QCOMPARE(cells.back().empty(), std::all_of(a.vacuum.begin(), a.vacuum.end(), [](auto &s) { return s.found(); }));
}

void TestFiringTable::vacuumThroughTheAirModel_data()
{
    QTest::addColumn<Problem>("problem");
    QTest::newRow("level 1000 m at 150 m/s") << anglesProblem(1000, 0, 0, 150);
    QTest::newRow("target 300 m above, feet") << anglesProblem(2000, 0, 300, 400, true);
    QTest::newRow("target 100 m below, radians") << anglesProblem(1000, 100, 0, 200, false, true);
    QTest::newRow("velocity at 30 degrees, target above") << velocityProblem(1500, 0, 200, 30);
}

// With no drag the integrated flight is the vacuum one: every figure the table shows
// agrees with the closed form within its last digit.
void TestFiringTable::vacuumThroughTheAirModel()
{
    QFETCH(Problem, problem);
    firing::AirShot noDrag;
    noDrag.projectile.curve = air::DragCurve::Constant;
    noDrag.projectile.mass = 1;
    noDrag.projectile.diameter = 0.1;
    noDrag.projectile.dragCoefficient = 0;
    noDrag.atmosphere.model = air::AirModel::Standard;
    problem.air = noDrag;

    const firing::Answer a = firing::solve(problem);
    QCOMPARE(a.air.size(), a.vacuum.size());
    for (std::size_t i = 0; i < a.vacuum.size(); ++i) {
        const firing::Solution &v = a.vacuum[i];
        const firing::Solution &w = a.air[i];
        QVERIFY2(v.found() && w.found(), w.note.c_str());
        const std::array<std::pair<const std::string *, const std::string *>, 7> pairs{{
            {&v.texts.answer, &w.texts.answer},
            {&v.texts.horizontal, &w.texts.horizontal},
            {&v.texts.vertical, &w.texts.vertical},
            {&v.texts.flightTime, &w.texts.flightTime},
            {&v.texts.apogee, &w.texts.apogee},
            {&v.arrivalAngle, &w.arrivalAngle},
            {&v.arrivalSpeed, &w.arrivalSpeed},
        }};
        // The air's patterns keep the screens' decimals.
        for (const auto &[vacuum, flown] : pairs)
            QVERIFY2(lastDigit(*vacuum) == lastDigit(*flown) &&
                         std::fabs(number(*vacuum) - number(*flown)) <= lastDigit(*vacuum),
                     (*vacuum + " without air, " + *flown + " flown").c_str());
    }
}

QTEST_GUILESS_MAIN(TestFiringTable)
#include "tst_firing_table.moc"
