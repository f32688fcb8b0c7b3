#include "model/conversions.h"
#include "model/figure_text.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

using Writer = std::function<std::string(double)>;
Q_DECLARE_METATYPE(Writer)

using namespace conv;

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void generalText_data();
    void generalText();
    void generalTextReadsBack_data();
    void generalTextReadsBack();
    void formatPattern_data();
    void formatPattern();
    void wholeNumberText();
    void figureTexts_data();
    void figureTexts();
};

void TestConversions::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty text is 0") << "" << 0.0;
    QTest::newRow("no number is 0") << "abc" << 0.0;
    QTest::newRow("trailing letters ignored") << "12abc" << 12.0;
    QTest::newRow("blanks inside skipped") << " 1 2 . 5 " << 12.5;
    QTest::newRow("sign and exponent") << "-3.5E2x" << -350.0;
    QTest::newRow("general form 1E-07") << "1E-07" << 1e-7;
    QTest::newRow("general form 1.5E-07") << "1.5E-07" << 1.5e-7;
    QTest::newRow("pattern form .70") << ".70" << 0.7;
    QTest::newRow("negative pattern form") << "-.5" << -0.5;
    QTest::newRow("point without decimals") << "5." << 5.0;
    QTest::newRow("E without digits ends the number") << "1E" << 1.0;
    QTest::newRow("E with sign only ends the number") << "7E+x" << 7.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("two signs are no number") << "--1" << 0.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("lower-case exponent") << "2e3" << 2000.0;
    QTest::newRow("lone point is 0") << "." << 0.0;
    QTest::newRow("comma is not a decimal point") << "1,5" << 1.0;
    QTest::newRow("huge saturates instead of infinity") << "1E400" << std::numeric_limits<double>::max();
    QTest::newRow("tiny underflows to 0") << "1E-400" << 0.0;
    // Too large or too small follows from where the first digit stands, not the exponent's sign.
    QTest::newRow("tiny without exponent underflows to 0") << "." + QString(323, '0') + "1" << 0.0;
    QTest::newRow("huge despite a negative exponent saturates")
        << "2" + QString(308, '0') + "e-0" << std::numeric_limits<double>::max();
    QTest::newRow("NA text of a result box") << "NA" << 0.0;
}

void TestConversions::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(conv::leadingNumber(text.toStdString()), expected);
}

void TestConversions::generalText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one ten-millionth") << 1e-7 << "1E-07";
    QTest::newRow("0.00000015") << 1.5e-7 << "1.5E-07";
    QTest::newRow("0.0000999") << 9.99e-5 << "9.99E-05";
    QTest::newRow("one ten-thousandth stays plain") << 1e-4 << "0.0001";
    QTest::newRow("Inc start value") << 1e-5 << "1E-05";
    QTest::newRow("whole double") << 50.0 << "50";
    QTest::newRow("half") << 50.5 << "50.5";
    QTest::newRow("feet gravity") << 32.1740485564 << "32.1740485564";
    QTest::newRow("metric gravity") << 9.80665 << "9.80665";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative whole") << -150.0 << "-150";
    QTest::newRow("velocity position 1235") << 1235 / 10.0 << "123.5";
    QTest::newRow("15 digits, binary noise dropped") << 0.1 + 0.2 << "0.3";
    QTest::newRow("a third") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("two thirds rounds") << 2.0 / 3 << "0.666666666666667";
    QTest::newRow("rounding carries into the exponent") << 0.00009999999999999999 << "0.0001";
    QTest::newRow("rounding carries to a new digit") << 99.99999999999999 << "100";
    QTest::newRow("largest plain") << 123456789012345.0 << "123456789012345";
    QTest::newRow("1E+15 takes the exponent form") << 1e15 << "1E+15";
    QTest::newRow("big with mantissa") << 1.23456789012345678e20 << "1.23456789012346E+20";
    QTest::newRow("three-digit exponent") << 1e100 << "1E+100";
    QTest::newRow("negative small") << -2.5e-10 << "-2.5E-10";
}

void TestConversions::generalText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(conv::generalText(value)), expected);
}

void TestConversions::generalTextReadsBack_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("tolerance") << 1e-7;
    QTest::newRow("tolerance step") << 37e-9;
    QTest::newRow("velocity") << 123.4;
    QTest::newRow("a third") << 1.0 / 3;
    QTest::newRow("negative large") << -9.87654321e18;
    QTest::newRow("pi") << 3.141592653589793;
}

// The text shown must parse back to the number it shows, so it prints unchanged.
void TestConversions::generalTextReadsBack()
{
    QFETCH(double, value);
    const std::string text = conv::generalText(value);
    const double back = conv::leadingNumber(text);
    QCOMPARE(conv::generalText(back), text);
    QVERIFY(std::fabs(back - value) <= std::fabs(value) * 1e-14);
}

void TestConversions::formatPattern_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero integer part shows no digit") << 0.7 << "#####.00"
                                                      << ".70";
    QTest::newRow("minimum velocity caption") << 99.03204 << "######.000"
                                              << "99.032";
    QTest::newRow("decimals padded") << 12.5 << "##.00"
                                     << "12.50";
    QTest::newRow("exact tie goes away from zero") << 0.125 << "##.00"
                                                   << ".13";
    QTest::newRow("negative tie goes away from zero") << -0.125 << "##.00"
                                                      << "-.13";
    QTest::newRow("2.675 is below the tie in binary") << 2.675 << "##.00"
                                                      << "2.67";
    QTest::newRow("0.05 is above the tie in binary") << 0.05 << "####.0"
                                                     << ".1";
    QTest::newRow("quarter tie") << 0.25 << "####.0"
                                 << ".3";
    QTest::newRow("integer part wider than the pattern") << 1234567.891 << "##.00"
                                                         << "1234567.89";
    QTest::newRow("zero with # integer part") << 0.0 << "###.00"
                                              << ".00";
    QTest::newRow("zero with 0 integer part") << 0.0 << "0.000"
                                              << "0.000";
    QTest::newRow("angle of position 1 in degrees") << (0.0001 * 180) / 3.14159 << "0.000"
                                                    << "0.006";
    QTest::newRow("#0 keeps one integer digit") << 0.5 << "#0.000"
                                                << "0.500";
    QTest::newRow("negative minimum angle") << (std::atan(-0.1) * 180) / 3.14159 << "#0.000"
                                            << "-5.711";
    QTest::newRow("metric gravity") << 9.80665 << "##.#####"
                                    << "9.80665";
    QTest::newRow("feet gravity rounds") << 32.1740485564 << "##.#####"
                                         << "32.17405";
    QTest::newRow("rounding carries into integer part") << 0.999 << "##.00"
                                                        << "1.00";
    QTest::newRow("rounding adds an integer digit") << 999.96 << "###.0"
                                                    << "1000.0";
    QTest::newRow("small negative keeps its sign") << -0.001 << "##.00"
                                                   << "-.00";
    QTest::newRow("radian angle") << 0.2254919 << "##.000"
                                  << ".225";
    QTest::newRow("apogee altitude") << 1089.8049 << "####.0"
                                     << "1089.8";
    QTest::newRow("large altitude") << 2595331.94 << "####.0"
                                    << "2595331.9";
    QTest::newRow("trailing # decimals dropped") << 10.5 << "##.#####"
                                                 << "10.5";
    QTest::newRow("tiny positive rounds to zero") << 1e-300 << "###.00"
                                                  << ".00";
    QTest::newRow("huge value shows every digit") << 1e20 << "#.0"
                                                  << "100000000000000000000.0";
}

void TestConversions::formatPattern()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(conv::formatPattern(value, pattern.toStdString())), expected);
}

void TestConversions::wholeNumberText()
{
    QCOMPARE(conv::wholeNumberText(0), std::string("0"));
    QCOMPARE(conv::wholeNumberText(-150), std::string("-150"));
    QCOMPARE(conv::wholeNumberText(32000), std::string("32000"));
}

void TestConversions::figureTexts_data()
{
    using figure_text::Form;
    QTest::addColumn<Writer>("write");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, const Writer &w, double v, const char *expected) {
        QTest::newRow(name) << w << v << QString::fromLatin1(expected);
    };
    // 0.2254919 rad is 12.92 degrees with pi taken as 3.14159.
    row(
        "angle in degrees", [](double a) { return figure_text::angle(a, false); }, 0.2254919, "12.92");
    row(
        "angle in radians", [](double a) { return figure_text::angle(a, true); }, 0.2254919, ".225");
    row(
        "angle in radians, table", [](double a) { return figure_text::angle(a, true, Form::Table); }, 0.2254919,
        "0.225");
    row(
        "muzzle velocity", [](double v) { return figure_text::muzzleVelocity(v); }, 99.0318, "99.03");
    row(
        "muzzle velocity, table", [](double v) { return figure_text::muzzleVelocity(v, Form::Table); }, 0.5, "0.50");
    row(
        "horizontal velocity", [](double v) { return figure_text::horizontalVelocity(v); }, 0.125, ".13");
    row(
        "vertical velocity, table", [](double v) { return figure_text::verticalVelocity(v, Form::Table); }, 0.125,
        "0.13");
    row(
        "time to apogee", [](double t) { return figure_text::timeToApogee(t); }, 3.4177, "3.42");
    row(
        "apogee", [](double y) { return figure_text::apogee(y); }, 57.25, "57.3");
    row(
        "apogee, table", [](double y) { return figure_text::apogee(y, Form::Table); }, 0.04, "0.0");
    row(
        "time of flight", [](double t) { return figure_text::flightTime(t); }, 0.8451, ".85");
    row(
        "time of flight, table", [](double t) { return figure_text::flightTime(t, Form::Table); }, 0.8451, "0.85");
    row(
        "least velocity", [](double v) { return figure_text::leastVelocity(v); }, 99.0318, "99.032");
    row(
        "arrival speed", [](double v) { return figure_text::arrivalSpeed(v); }, 0.5, "0.50");
    row(
        "arrival angle in degrees", [](double a) { return figure_text::arrivalAngle(a, false); }, 0.0017, "0.10");
    row(
        "arrival angle in radians", [](double a) { return figure_text::arrivalAngle(a, true); }, 0.0017, "0.002");
    row(
        "miss distance", [](double d) { return figure_text::missDistance(d); }, -0.26, "-0.3");
    row(
        "reach", [](double d) { return figure_text::reach(d); }, 1234.56, "1234.6");
}

void TestConversions::figureTexts()
{
    QFETCH(Writer, write);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(write(value)), expected);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
