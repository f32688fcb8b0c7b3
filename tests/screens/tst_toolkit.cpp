#include "platform/messages.h"
#include "tests/screens/screen_test_support.h"
#include "toolkit/controls.h"
#include "toolkit/figure_box.h"
#include "toolkit/up_down.h"
#include "toolkit/window_fit.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace toolkit;
using namespace platform;

class TestToolkit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void fontMapping_data();
    void fontMapping();
    void yellowButtonIsFlatYellowAndRestores();
    void labelSizing_data();
    void labelSizing();
    void scrollBarChangesOnlyWhenDragEnds();
    void focusIsVisible_data();
    void focusIsVisible();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void valueBoxIsReadable_data();
    void valueBoxIsReadable();
    void longValueShowsItsBeginning_data();
    void longValueShowsItsBeginning();
    void longValueEndsInAnEllipsis_data();
    void longValueEndsInAnEllipsis();
    void focusOnAButtonShows_data();
    void focusOnAButtonShows();
    void windowFitsItsScreen_data();
    void windowFitsItsScreen();
    void scrolledFormKeepsItsControls_data();
    void scrolledFormKeepsItsControls();
    void longCaptionWrapsOnItsButton();
    void upDownStepsItsTextBox_data();
    void upDownStepsItsTextBox();
    void figureDrawnUnscaledFromTopLeft_data();
    void figureDrawnUnscaledFromTopLeft();
    void lineFromTwipsEndpoints_data();
    void lineFromTwipsEndpoints();
    void platformMessageBox_data();
    void platformMessageBox();
    void endProcessStopsAtOnce();

private:
    QTemporaryDir m_dir;
};

static QColor pixel(QWidget *w, QPoint p)
{
    return w->grab().toImage().pixelColor(p);
}

void TestToolkit::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    installFontSubstitutions();
    QVERIFY(m_dir.isValid());
}

void TestToolkit::fontMapping_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("pixelSize");

    QTest::newRow("default control font") << "MS Sans Serif" << 8.25 << false << 11;
    QTest::newRow("label font") << "MS Sans Serif" << 9.75 << false << 13;
    QTest::newRow("title font") << "Arial" << 24.0 << true << 32;
}

void TestToolkit::fontMapping()
{
    QFETCH(QString, face);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(int, pixelSize);

    const QFontInfo info(controlFont(face, points, bold));
    QCOMPARE(info.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(info.pixelSize(), pixelSize);
    QCOMPARE(info.bold(), bold);
}

void TestToolkit::yellowButtonIsFlatYellowAndRestores()
{
    QWidget parent;
    QPushButton *untouched = button(&parent, "Untouched", QString(), {0, 0, 1455, 495});
    QPushButton *b = button(&parent, "Command2", QString(), {0, 600, 1455, 495});
    const QImage before = untouched->grab().toImage();
    const QPoint inside(b->width() / 2, b->height() / 2);

    setBackColour(b, BackColour::Yellow);
    QCOMPARE(backColour(b), BackColour::Yellow);
    QCOMPARE(pixel(b, inside), yellow);
    QCOMPARE(pixel(b, {4, 4}), yellow);

    setBackColour(b, BackColour::ButtonFace);
    QCOMPARE(backColour(b), BackColour::ButtonFace);
    QCOMPARE(b->grab().toImage(), before);
}

void TestToolkit::labelSizing_data()
{
    QTest::addColumn<LabelSizing>("sizing");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("keepsWidth");
    QTest::addColumn<bool>("keepsHeight");

    const QString longText = QStringLiteral("Using an initial guess value to the left and right of the appogee angle.");
    QTest::newRow("auto-size grows to a long caption") << LabelSizing::AutoSize << longText << false << false;
    QTest::newRow("auto-size shrinks to a short caption") << LabelSizing::AutoSize << "Inc" << false << false;
    QTest::newRow("auto-size wrap keeps width, grows down") << LabelSizing::AutoSizeWrap << longText << true << false;
    QTest::newRow("fixed keeps its box") << LabelSizing::Fixed << longText << true << true;
    QTest::newRow("fixed wrap keeps its box") << LabelSizing::Wrap << longText << true << true;
}

void TestToolkit::labelSizing()
{
    QFETCH(LabelSizing, sizing);
    QFETCH(QString, text);
    QFETCH(bool, keepsWidth);
    QFETCH(bool, keepsHeight);

    QWidget parent;
    Label *l = label(&parent, "Label3", QStringLiteral("x"), {360, 360, 1500, 300}, {.sizing = sizing});
    const QRect designed = twips(TwipsRect{360, 360, 1500, 300});
    l->setText(text);

    QCOMPARE(l->pos(), designed.topLeft());
    QCOMPARE(l->width() == designed.width(), keepsWidth);
    QCOMPARE(l->height() == designed.height(), keepsHeight);
    if (sizing == LabelSizing::Fixed || sizing == LabelSizing::Wrap)
        return;
    const int flags = sizing == LabelSizing::AutoSizeWrap ? Qt::TextWordWrap : 0;
    const QRect needed = l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 10000), flags, text);
    QVERIFY2(l->width() >= needed.width() && l->height() >= needed.height(),
             qPrintable(QStringLiteral("label %1x%2, text needs %3x%4")
                            .arg(l->width())
                            .arg(l->height())
                            .arg(needed.width())
                            .arg(needed.height())));
}

void TestToolkit::scrollBarChangesOnlyWhenDragEnds()
{
    QWidget parent;
    QScrollBar *s = hScrollBar(&parent, "HScroll1", {0, 0, 1695, 255},
                               {.minimum = -10000, .maximum = 20000, .smallChange = 1, .largeChange = 100});
    QSignalSpy change(s, &QScrollBar::valueChanged);
    QSignalSpy scroll(s, &QScrollBar::sliderMoved);

    s->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    s->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(change.count(), 2);
    QCOMPARE(s->value(), 101);

    s->setSliderDown(true);
    s->setSliderPosition(5000);
    s->setSliderPosition(6000);
    QCOMPARE(scroll.count(), 2);
    QCOMPARE(change.count(), 2);
    s->setSliderDown(false);
    QCOMPARE(change.count(), 3);
    QCOMPARE(change.last().first().toInt(), 6000);
}

void TestToolkit::focusIsVisible_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("scroll bar") << "scroll bar";
    QTest::newRow("up-down") << "up-down";
    QTest::newRow("picture box") << "picture box";
}

// Fusion draws no focus on these: without a frame of their own, Tab seems to go nowhere.
void TestToolkit::focusIsVisible()
{
    QFETCH(QString, control);
    QWidget window;
    window.resize(400, 200);
    auto *other = button(&window, "Other", QStringLiteral("Other"), {0, 2000, 1500, 375});
    QWidget *target = nullptr;
    if (control == "scroll bar")
        target = hScrollBar(&window, "HScroll1", {240, 240, 1695, 255}, {.maximum = 100, .value = 50});
    else if (control == "up-down")
        target = upDown(&window, "UpDown1", {240, 240, 255, 285},
                        textBox(&window, "Text4", QStringLiteral("5"), {600, 240, 600, 285}), 1, 100);
    else
        target = pictureBox(&window, "Picture1", {240, 240, 1500, 1200});
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    other->setFocus();
    const QImage unfocused = window.grab(target->geometry()).toImage();
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    const QImage focused = window.grab(target->geometry()).toImage();

    const QColor highlight = target->palette().color(QPalette::Active, QPalette::Highlight);
    int framed = 0;
    for (int x = 0; x < focused.width(); ++x)
        framed += focused.pixelColor(x, 0) == highlight && unfocused.pixelColor(x, 0) != highlight;
    QVERIFY2(framed > focused.width() / 2, qPrintable(QStringLiteral("%1 of %2").arg(framed).arg(focused.width())));
}

void TestToolkit::enterPressesFocusedButton_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1;
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << 1;
    QTest::newRow("Ctrl+Enter is not a press") << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0;
}

void TestToolkit::enterPressesFocusedButton()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, clicks);
    QWidget window;
    auto *b = button(&window, "Command1", QStringLiteral("E&xit"), {0, 0, 1500, 375});
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->setFocus();
    QSignalSpy clicked(b, &QPushButton::clicked);
    QTest::keyClick(b, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (clicks > 0)
        QTRY_COMPARE(clicked.count(), clicks);
    else
        QTest::qWait(300);
    QCOMPARE(clicked.count(), clicks);
}

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(const QColor &c)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The text's darkest pixel against the box's middle-row background, inside the frame.
double renderedContrast(QWidget *box)
{
    const QImage image = box->grab().toImage();
    const QRect inside = QRect(QPoint(0, 0), image.size()).adjusted(3, 3, -3, -3);
    const QColor background = image.pixelColor(inside.left() + 1, inside.center().y());
    double darkest = 1.0;
    QColor ink = background;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (const QColor c = image.pixelColor(x, y); luminance(c) < darkest) {
                darkest = luminance(c);
                ink = c;
            }
    return contrast(ink, background);
}

// Rows of the image holding dark ink, grouped into bands separated by blank rows.
int inkBands(const QImage &image, const QRect &area)
{
    int bands = 0;
    bool previous = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 100;
        bands += ink && !previous;
        previous = ink;
    }
    return bands;
}

} // namespace

void TestToolkit::valueBoxIsReadable_data()
{
    QTest::addColumn<QColor>("background");
    QTest::newRow("button face") << QColor();
    QTest::newRow("yellow highlight") << yellow;
}

// Greyed, so that it reads as not editable, but at 4.5:1 at least (WCAG AA),
// measured on "0", whose thin curves are drawn the palest.
void TestToolkit::valueBoxIsReadable()
{
    QFETCH(QColor, background);
    QWidget window;
    auto *box = textBox(&window, "Text7", QStringLiteral("0"), {0, 0, 1095, 285},
                        {.background = background.isValid() ? std::optional<QColor>(background) : std::nullopt});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!box->isEnabled());
    const double ratio = renderedContrast(box);
    QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
    QVERIFY2(ratio < 12, "no longer looks greyed");
}

void TestToolkit::longValueShowsItsBeginning_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("cut");
    QTest::newRow("gravity in feet") << "32.1740485564" << true;
    QTest::newRow("gravity in metres") << "9.80665" << false;
}

void TestToolkit::longValueShowsItsBeginning()
{
    QFETCH(QString, value);
    QFETCH(bool, cut);
    QWidget window;
    auto *box = textBox(&window, "Text4", QString(), {0, 0, 975, 285});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    box->setText(value);
    QCOMPARE(box->cursorPosition(), 0);
    QCOMPARE(box->toolTip(), cut ? value : QString());
}

void TestToolkit::longValueEndsInAnEllipsis_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("widthTwips");
    QTest::addColumn<QString>("shown");

    QTest::newRow("gravity in feet, the angle screen's box: one digit too many")
        << "32.17404855" << 975 << "32.17404\u2026";
    QTest::newRow("gravity in feet, all its digits") << "32.1740485564" << 975 << "32.17404\u2026";
    QTest::newRow("the longest that fits is shown whole") << "32.1740485" << 975 << "32.1740485";
    QTest::newRow("gravity in metres fits") << "9.80665" << 975 << "9.80665";
    QTest::newRow("cut right after the point") << "1234567.890" << 975 << "1234567.\u2026";
    QTest::newRow("wide box, long value") << "1234567.89012345678" << 1575 << "1234567.890123\u2026";
}

// The value is whole for everyone who reads it; only what is painted ends early.
void TestToolkit::longValueEndsInAnEllipsis()
{
    QFETCH(QString, value);
    QFETCH(int, widthTwips);
    QFETCH(QString, shown);
    QWidget window;
    auto *box = dynamic_cast<ValueBox *>(textBox(&window, "Text4", value, {0, 0, widthTwips, 285}));
    QVERIFY(box);
    auto *reference = textBox(&window, "Reference", shown, {0, 600, widthTwips, 285});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(box->shownText(), shown);
    QCOMPARE(box->text(), value);
    QCOMPARE(box->toolTip(), shown == value ? QString() : value);
    // Painted just as a box holding only what it shows.
    QCOMPARE(box->grab().toImage(), reference->grab().toImage());
}

void TestToolkit::focusOnAButtonShows_data()
{
    QTest::addColumn<bool>("yellowFace");
    QTest::newRow("yellow: a ring at 3:1 against the yellow") << true;
    QTest::newRow("button face: the style's own look") << false;
}

void TestToolkit::focusOnAButtonShows()
{
    QFETCH(bool, yellowFace);
    QWidget window;
    window.resize(400, 200);
    auto *b = button(&window, "Command2", QStringLiteral("Next >>"), {240, 240, 1455, 495});
    setBackColour(b, yellowFace ? BackColour::Yellow : BackColour::ButtonFace);
    auto *plain = new QPushButton(b->text(), &window);
    plain->setGeometry(b->geometry().translated(0, 60));
    plain->setFont(b->font());
    plain->setAutoDefault(false);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    b->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(b->hasFocus());
    const QImage focused = b->grab().toImage();
    if (!yellowFace) {
        plain->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(plain->hasFocus());
        QCOMPARE(focused, plain->grab().toImage());
        return;
    }
    const QColor face = focused.pixelColor(4, focused.height() / 2);
    QCOMPARE(face, yellow);
    const QPoint middle(focused.width() / 2, focused.height() / 2);
    for (const QPoint edge : {QPoint(middle.x(), 0), QPoint(middle.x(), focused.height() - 1), QPoint(0, middle.y()),
                              QPoint(focused.width() - 1, middle.y())}) {
        const double ratio = contrast(focused.pixelColor(edge), face);
        QVERIFY2(ratio >= 3.0, qPrintable(QStringLiteral("%1 at %2,%3").arg(ratio).arg(edge.x()).arg(edge.y())));
    }
}

void TestToolkit::windowFitsItsScreen_data()
{
    QTest::addColumn<QSize>("form");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("outline");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<bool>("scrolls");

    // A frame of 1 pixel with a title bar of 13, a scroll bar 16 thick.
    QTest::newRow("fits: centred, as laid out")
        << QSize(581, 521) << QRect(0, 0, 1280, 1024) << QRect(348, 244, 583, 535) << QSize(581, 521) << false;
    QTest::newRow("exactly as tall as the room: no bar")
        << QSize(500, 498) << QRect(0, 0, 911, 512) << QRect(205, 0, 502, 512) << QSize(500, 498) << false;
    QTest::newRow("too tall for 1366x768 at 150 %: full height and a bar beside")
        << QSize(581, 521) << QRect(0, 0, 911, 512) << QRect(156, 0, 599, 512) << QSize(597, 498) << true;
    QTest::newRow("too wide: full width and a bar below")
        << QSize(609, 300) << QRect(0, 0, 600, 800) << QRect(0, 235, 600, 330) << QSize(598, 316) << true;
    QTest::newRow("the bar beside leaves too little width: a bar below too")
        << QSize(590, 600) << QRect(0, 0, 600, 500) << QRect(0, 0, 600, 500) << QSize(598, 486) << true;
    QTest::newRow("the bar below leaves too little height: a bar beside too")
        << QSize(700, 490) << QRect(0, 0, 600, 512) << QRect(0, 0, 600, 512) << QSize(598, 498) << true;
    QTest::newRow("a panel above: the title bar stays below it")
        << QSize(581, 521) << QRect(0, 30, 911, 482) << QRect(156, 30, 599, 482) << QSize(597, 468) << true;
}

void TestToolkit::windowFitsItsScreen()
{
    QFETCH(QSize, form);
    QFETCH(QRect, available);
    QFETCH(QRect, outline);
    QFETCH(QSize, client);
    QFETCH(bool, scrolls);

    const QMargins frame(1, 13, 1, 1);
    const WindowFit fit = fitWindow(form, frame, available, 16);
    QCOMPARE(fit.scrolls, scrolls);
    QCOMPARE(fit.client, client);
    QCOMPARE(QRect(fit.framePosition, fit.client.grownBy(frame)), outline);
}

void TestToolkit::scrolledFormKeepsItsControls_data()
{
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("scrolling before the window shows") << false;
    QTest::newRow("scrolling once it shows") << true;
}

// Screens, tests and screen readers find the controls as they were laid out.
void TestToolkit::scrolledFormKeepsItsControls()
{
    QFETCH(bool, shownFirst);
    QWidget window;
    window.resize(300, 420);
    auto *top = button(&window, "Command1", QStringLiteral("Top"), {150, 150, 1500, 375});
    auto *note = label(&window, "Label1", QStringLiteral("Hidden"), {150, 1500, 1500, 300});
    note->hide();
    auto *bottom = button(&window, "Command2", QStringLiteral("Bottom"), {150, 5400, 1500, 375});
    auto *bar = hScrollBar(&window, "HScroll1", {150, 3000, 1500, 255}, {});
    setFocusOrder({bottom, top, bar});
    if (shownFirst) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    QScrollArea *area = scrollForm(&window, window.size());
    window.resize(300, 200);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("Command2")), bottom);
    QCOMPARE(bottom->pos(), QPoint(10, 360));
    for (QWidget *control : std::initializer_list<QWidget *>{top, note, bottom, bar})
        QCOMPARE(formSurface(control), area->widget());
    QVERIFY(top->isVisible());
    QVERIFY(!note->isVisible());
    QStringList order;
    for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
    QCOMPARE(order, QStringList({"Command2", "Command1", "HScroll1"}));

    QTRY_VERIFY(area->verticalScrollBar()->isVisible());
    const auto inView = [area](QWidget *w) {
        return area->viewport()->rect().contains(QRect(w->mapTo(area->viewport(), QPoint(0, 0)), w->size()));
    };
    for (QWidget *w : std::initializer_list<QWidget *>{bottom, top}) {
        w->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY2(inView(w), qPrintable(w->objectName()));
    }
}

void TestToolkit::longCaptionWrapsOnItsButton()
{
    QWidget window;
    auto *b = button(&window, "Command4", QStringLiteral("Compute Super Elevation Angles"), {0, 0, 1455, 615});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(b->text(), QStringLiteral("Compute Super Elevation Angles"));
    const QImage image = b->grab().toImage();
    QCOMPARE(inkBands(image, image.rect().adjusted(3, 3, -3, -3)), 2);
    setBackColour(b, BackColour::Yellow);
    const QImage yellowImage = b->grab().toImage();
    QCOMPARE(inkBands(yellowImage, yellowImage.rect().adjusted(3, 3, -3, -3)), 2);
}

void TestToolkit::upDownStepsItsTextBox_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("steps");
    QTest::addColumn<QString>("expected");

    QTest::newRow("up from the loaded limit") << "100" << 1 << "101";
    QTest::newRow("stops at the lower bound") << "2" << -3 << "1";
    QTest::newRow("stops at the upper bound") << "32766" << 3 << "32767";
    QTest::newRow("a design text counts as the lower bound") << "Text4" << 1 << "2";
}

void TestToolkit::upDownStepsItsTextBox()
{
    QFETCH(QString, shown);
    QFETCH(int, steps);
    QFETCH(QString, expected);

    QWidget parent;
    QLineEdit *text4 = textBox(&parent, "Text4", shown, {8040, 5400, 780, 285});
    UpDown *arrows = upDown(&parent, "UpDown1", {8820, 5400, 195, 285}, text4, 1, 32767);
    QSignalSpy change(text4, &QLineEdit::textChanged);
    parent.show();

    QToolButton *arrow = steps > 0 ? arrows->upArrow() : arrows->downArrow();
    for (int i = 0; i < std::abs(steps); ++i)
        QTest::mouseClick(arrow, Qt::LeftButton);
    QCOMPARE(text4->text(), expected);
    QVERIFY(change.count() >= 1);
}

void TestToolkit::figureDrawnUnscaledFromTopLeft_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("picture");

    QTest::newRow("vector drawing in a picture box") << "figure.svg" << true;
    QTest::newRow("raster image in a picture box") << "figure.png" << true;
    QTest::newRow("raster image in an image box") << "figure.png" << false;
}

void TestToolkit::figureDrawnUnscaledFromTopLeft()
{
    QFETCH(QString, file);
    QFETCH(bool, picture);

    // A 40 x 30 figure: black, with its drawing space ten times finer than pixels.
    const QString path = m_dir.filePath(file);
    if (file.endsWith(QLatin1String(".svg"))) {
        QFile svg(path);
        QVERIFY(svg.open(QIODevice::WriteOnly));
        svg.write("<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30' viewBox='0 0 400 300'>"
                  "<rect x='0' y='0' width='400' height='300' fill='black'/></svg>");
    } else {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::black);
        QVERIFY(image.save(path));
    }

    QWidget parent;
    parent.setPalette(QPalette(QColor(10, 200, 10)));
    FigureBox *box = picture ? pictureBox(&parent, "Picture1", {240, 2400, 5895, 4695}, lightYellow)
                             : imageBox(&parent, "Image1", {240, 120, 8160, 7380});
    QVERIFY(box->setFigure(path));
    QCOMPARE(box->figureSize(), QSize(40, 30));
    const QColor around = picture ? lightYellow : QColor(10, 200, 10);
    const QPoint origin = box->figureOrigin();
    QCOMPARE(origin, picture ? QPoint(2, 2) : QPoint(0, 0));

    const QImage shot = box->grab().toImage();
    QCOMPARE(shot.pixelColor(origin), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(origin + QPoint(39, 29)), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(origin + QPoint(40, 10)), around);
    QCOMPARE(shot.pixelColor(origin + QPoint(10, 30)), around);
    QCOMPARE(shot.pixelColor(box->contentsRect().bottomRight()), around);
}

void TestToolkit::lineFromTwipsEndpoints_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");

    QTest::newRow("horizontal separator") << QPoint(360, 5760) << QPoint(9000, 5760);
    QTest::newRow("vertical separator") << QPoint(4560, 5400) << QPoint(4560, 5760);
    QTest::newRow("drawn right to left") << QPoint(5400, 600) << QPoint(360, 600);
}

void TestToolkit::lineFromTwipsEndpoints()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);

    QWidget parent;
    parent.resize(620, 500);
    parent.setPalette(QPalette(Qt::white));
    parent.setAutoFillBackground(true);
    line(&parent, "Line1", {from.x(), from.y()}, {to.x(), to.y()});
    const QImage shot = parent.grab().toImage();
    const QPoint a = from / twipsPerPixel;
    const QPoint b = to / twipsPerPixel;
    for (const QPoint p : {a, b, (a + b) / 2})
        QCOMPARE(shot.pixelColor(p), QColor(Qt::black));
    const QPoint beside = a.x() == b.x() ? a + QPoint(1, 0) : a + QPoint(0, 1);
    QCOMPARE(shot.pixelColor(beside), QColor(Qt::white));
}

void TestToolkit::platformMessageBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("answer");

    const QString note =
        QStringLiteral("You are only permitted to come within\r0.001 radians of minimum and 90 degree\r"
                       " angles (to avoid singularities)!");
    const QString noteShown = QString(note).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTest::newRow("exit confirmation answered Yes")
        << "Sure you wish to exit?" << MessageButtons::YesNo << int(QMessageBox::Yes) << "Sure you wish to exit?" << 6;
    QTest::newRow("exit confirmation answered No")
        << "Sure you wish to exit?" << MessageButtons::YesNo << int(QMessageBox::No) << "Sure you wish to exit?" << 7;
    QTest::newRow("Enter takes the default Yes")
        << "Sure you wish to exit?" << MessageButtons::YesNo << 0 << "Sure you wish to exit?" << 6;
    QTest::newRow("three-line note, OK only") << note << MessageButtons::Ok << int(QMessageBox::Ok) << noteShown << 1;
}

void TestToolkit::platformMessageBox()
{
    QFETCH(QString, text);
    QFETCH(MessageButtons, buttons);
    QFETCH(int, press);
    QFETCH(QString, shownText);
    QFETCH(int, answer);

    QMessageBox *seen = nullptr;
    QString title;
    QString shown;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons offered;
    Qt::WindowModality modality = Qt::NonModal;
    QTimer::singleShot(0, this, [&] {
        seen = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!seen)
            return;
        title = seen->windowTitle();
        shown = seen->text();
        icon = seen->icon();
        offered = seen->standardButtons();
        modality = seen->windowModality();
        if (press == 0)
            QTest::keyClick(seen, Qt::Key_Return);
        else
            seen->button(QMessageBox::StandardButton(press))->click();
    });
    ModalWatchdog watchdog;
    const int result = messageBox(text, QStringLiteral("Confirm"), buttons);

    QVERIFY(seen);
    QVERIFY(!watchdog.tripped());
    QCOMPARE(result, answer);
    QCOMPARE(title, QStringLiteral("Confirm"));
    QCOMPARE(shown, shownText);
    QCOMPARE(icon, QMessageBox::NoIcon);
    QCOMPARE(modality, Qt::ApplicationModal);
    QCOMPARE(offered, buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                       : QMessageBox::StandardButtons(QMessageBox::Ok));
}

// The probe shows two windows, queues an event, then ends the process from a
// handler: nothing after that point may run.
static int endProcessProbe(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget first;
    QWidget second;
    first.show();
    second.show();
    QTimer::singleShot(0, &app, [] {
        QMetaObject::invokeMethod(
            qApp, [] { std::puts("queued event ran"); }, Qt::QueuedConnection);
        platform::endProcess();
        std::puts("handler went on");
    });
    QApplication::exec();
    std::puts("event loop returned");
    return 3;
}

void TestToolkit::endProcessStopsAtOnce()
{
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--end-process-probe")});
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.readAllStandardOutput(), QByteArray());
    QCOMPARE(probe.exitCode(), 0);
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--end-process-probe") == 0)
        return endProcessProbe(argc, argv);
    QApplication app(argc, argv);
    TestToolkit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_toolkit.moc"
