#include "intro.h"
#include "screen_test_support.h"
#include "toolkit/print.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>

// Runs against the private spooler of scripts/test-printer (CUPS_SERVER set by CTest),
// or with CUPS_SERVER pointing nowhere for the no-printer case.
class TestPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { toolkit::installFontSubstitutions(); }
    void cleanup() { Screens::discardAll(); }

    void printsThroughSpooler();
    void refusesPrinterThatRejectsJobs();
    void reportsMissingPrinter();

private:
    static QString lpCommand(const QString &program, const QStringList &args);
    static QFileInfo waitForPdf(const QString &jobPrefix, const QDateTime &since);
};

QString TestPrint::lpCommand(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}

// cups-pdf writes each job into the user's ~/PDF, named after the job title.
QFileInfo TestPrint::waitForPdf(const QString &jobPrefix, const QDateTime &since)
{
    const QDir out(QDir::homePath() + QStringLiteral("/PDF"));
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        const QFileInfoList files = out.entryInfoList({jobPrefix + QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
        // A file still being written has a size of 0 or grows; wait until it settles.
        if (!files.isEmpty() && files.first().lastModified() >= since && files.first().size() > 0) {
            QTest::qWait(500);
            return QFileInfo(files.first().absoluteFilePath());
        }
        QTest::qWait(200);
    }
    return {};
}

// The spooler's PDF goes through PostScript and comes back as one bitmap per page, so
// the page is compared with the screen as a picture.
void TestPrint::printsThroughSpooler()
{
    ToolkitRecorder recorder;
    auto *intro = Screens::get<Intro>();
    QVERIFY(intro);
    const QImage screen = intro->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);

    QVERIFY(toolkit::printWindow(intro));
    QVERIFY2(recorder.boxes.isEmpty(), qPrintable(recorder.boxes.value(0).text));

    const QFileInfo pdf = waitForPdf(QStringLiteral("Introduction"), since);
    QVERIFY2(pdf.exists(), "no PDF arrived from the spooler");
    const QString info = lpCommand(QStringLiteral("pdfinfo"), {pdf.absoluteFilePath()});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))), qPrintable(info));

    const QString stem = QDir::temp().filePath(QStringLiteral("trajectrix-print-%1").arg(QCoreApplication::applicationPid()));
    lpCommand(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                           QStringLiteral("-singlefile"), pdf.absoluteFilePath(), stem});
    const QImage page = QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    QFile::remove(stem + QStringLiteral(".png"));
    QFile::remove(pdf.absoluteFilePath());
    QVERIFY(!page.isNull());

    // Whatever is not paper white is the printed window.
    QRect printed;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 250)
                printed |= QRect(x, y, 1, 1);
    QVERIFY(!printed.isEmpty());
    QVERIFY2(printed.width() > page.width() * 8 / 10, "the window does not fill the page width");
    const double aspect = double(printed.width()) / printed.height();
    const double screenAspect = double(screen.width()) / screen.height();
    QVERIFY2(qAbs(aspect / screenAspect - 1) < 0.03, qPrintable(QStringLiteral("%1 vs %2").arg(aspect).arg(screenAspect)));

    const QImage expected = screen.scaled(printed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage actual = page.copy(printed);
    double difference = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            difference += qAbs(qRed(a) - qRed(e)) + qAbs(qGreen(a) - qGreen(e)) + qAbs(qBlue(a) - qBlue(e));
        }
    difference /= 3.0 * actual.width() * actual.height();
    qInfo("page differs from the screen by %.1f per channel on average", difference);
    QVERIFY2(difference < 12, qPrintable(QStringLiteral("page differs from the screen by %1 per channel").arg(difference)));
}

// The spooler keeps the queue but refuses new jobs: Qt still reports it idle.
void TestPrint::refusesPrinterThatRejectsJobs()
{
    ToolkitRecorder recorder;
    lpCommand(QStringLiteral("cupsreject"), {QStringLiteral("PDF")});
    const bool printed = toolkit::printWindow(Screens::get<Intro>());
    lpCommand(QStringLiteral("cupsaccept"), {QStringLiteral("PDF")});

    QVERIFY(!printed);
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, QStringLiteral("Note!"));
    QVERIFY(recorder.boxes[0].text.contains(QStringLiteral("not accepting jobs")));
    QVERIFY(recorder.boxes[0].text.contains(QStringLiteral("The page was not printed.")));
}

void TestPrint::reportsMissingPrinter()
{
    if (QFile::exists(qEnvironmentVariable("CUPS_SERVER")))
        QSKIP("runs only without a spooler");
    ToolkitRecorder recorder;
    auto *intro = Screens::get<Intro>();
    intro->show();
    QVERIFY(!toolkit::printWindow(intro));
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(recorder.boxes[0].title, QStringLiteral("Note!"));
    QCOMPARE(recorder.boxes[0].text, QStringLiteral("No printer is available.\rThe page was not printed."));
    QCOMPARE(recorder.ends, 0);
    QVERIFY(intro->isVisible());
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
