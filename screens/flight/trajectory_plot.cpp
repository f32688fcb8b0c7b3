#include "screens/flight/trajectory_plot.h"

#include "platform/messages.h"
#include "platform/print.h"
#include "screens/flight/flight_chart.h"
#include "screens/flight/flight_settings.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QChart>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPicture>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QSaveFile>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Samples of a flight with air resistance, evenly spaced in time.
constexpr int dragSamples = 240;

const QString geometryKey = QStringLiteral("flight/window");
const QString splitKey = QStringLiteral("flight/split");
const QString settingsShownKey = QStringLiteral("flight/settingsShown");

QSettings store()
{
    return QSettings(QStringLiteral("Trajectrix"), QStringLiteral("Trajectrix"));
}

drag::Units unitsOf(const PlotProblem &p)
{
    return p.distanceUnit == QLatin1String("Feet") ? drag::Units::Imperial : drag::Units::Metric;
}

// A sample of the line's pen and the line's kind ("Solution # 1"): the figures are
// in the table.
QWidget *legendEntry(const plot::Line &line, qreal pixelRatio)
{
    auto *entry = new QWidget;
    auto *row = new QHBoxLayout(entry);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    const int height = entry->fontMetrics().height();
    const QSizeF size(2 * height, height);
    QPixmap sample((size * pixelRatio).toSize());
    sample.setDevicePixelRatio(pixelRatio);
    sample.fill(Qt::transparent);
    QPainter painter(&sample);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(linePen(line));
    painter.drawLine(QPointF(1, size.height() / 2), QPointF(size.width() - 1, size.height() / 2));
    painter.end();
    auto *key = new QLabel;
    key->setPixmap(sample);
    row->addWidget(key);
    QString name = line.name.section(QLatin1Char(':'), 0, 0);
    name.replace(QStringLiteral(" with air resistance"), QStringLiteral(" in air"));
    auto *text = new QLabel(name);
    text->setToolTip(line.name);
    row->addWidget(text);
    row->addStretch(1);
    return entry;
}

// Its entries in as many columns as its width holds: one or two rows in a window
// of usual width. Its least height follows its width without taking part in
// layouts' height for width, which would let them squeeze the chart below its least.
class Legend : public QWidget
{
public:
    explicit Legend(std::vector<QWidget *> entries) : m_entries(std::move(entries))
    {
        setObjectName(QStringLiteral("legend"));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        for (QWidget *entry : m_entries) {
            entry->setParent(this);
            m_widest = std::max(m_widest, entry->sizeHint().width());
            m_line = std::max(m_line, entry->sizeHint().height());
        }
    }

    int heightForWidth(int width) const override
    {
        const int rows = (int(m_entries.size()) + columnsFor(width) - 1) / columnsFor(width);
        return rows * m_line + std::max(0, rows - 1) * spacing;
    }
    // As many rows as it needs at the width it has (at first, the chart's least).
    QSize minimumSizeHint() const override
    {
        return {m_widest + 2 * margin, heightForWidth(width() > 0 ? width() : FlightChart::leastWidth)};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QWidget::resizeEvent(event);
        if (heightForWidth(event->size().width()) != heightForWidth(event->oldSize().width()))
            updateGeometry();
        const int columns = columnsFor(width());
        const int each = (width() - 2 * margin + spacing) / columns - spacing;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const int row = int(i) / columns, column = int(i) % columns;
            m_entries[i]->setGeometry(margin + column * (each + spacing), row * (m_line + spacing), each, m_line);
        }
    }

private:
    static constexpr int margin = 2;
    static constexpr int spacing = 6;

    int columnsFor(int width) const
    {
        const int fit = (width - 2 * margin + spacing) / std::max(1, m_widest + spacing);
        return std::clamp(fit, 1, std::max(1, int(m_entries.size())));
    }

    std::vector<QWidget *> m_entries;
    int m_widest = 0;
    int m_line = 0;
};

// The printed page: the chart as drawn now, then every row of the table, however
// few of them the window has room to show.
class FlightPage : public QWidget
{
public:
    FlightPage(QWidget *parent, FlightChart *chart, const flight::ResultsModel *model)
        : QWidget(parent), m_chart(chart), m_model(model)
    {
        setObjectName(QStringLiteral("FlightPage"));
        setAttribute(Qt::WA_DontShowOnScreen);
        hide();
    }

    void prepare(const QString &title)
    {
        setWindowTitle(title);
        m_document.setDefaultFont(font());
        // Laid out with the screen's metrics, so the paper shows the lines the screen does.
        m_document.documentLayout()->setPaintDevice(this);
        m_document.setHtml(tableHtml());
        const int width = m_chart->width();
        m_document.setTextWidth(width);
        m_chartHeight = m_chart->height();
        // Recorded here: a widget cannot render another from within its own paint event.
        m_picture = QPicture();
        QPainter recorder(&m_picture);
        static_cast<QWidget *>(m_chart)->render(&recorder, QPoint(), QRegion(), QWidget::DrawChildren);
        recorder.end();
        resize(width, m_chartHeight + 12 + int(m_document.size().height()));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        // As the chart paints itself on screen: a vector page, text kept as text.
        painter.drawPicture(0, 0, m_picture);
        painter.translate(0, m_chartHeight + 12);
        m_document.drawContents(&painter);
    }

private:
    QString tableHtml() const
    {
        const auto escaped = [](const QString &s) { return s.toHtmlEscaped(); };
        QString html = QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
        for (const QString &name : m_model->table().header())
            html += QStringLiteral("<th>%1</th>").arg(escaped(name));
        html += QStringLiteral("</tr>");
        for (const flight::Row &row : m_model->table().rows) {
            html += QStringLiteral("<tr><td>%1</td>").arg(escaped(row.figure));
            for (const QString &cell : row.cells)
                html += QStringLiteral("<td align=\"right\">%1</td>").arg(escaped(cell));
            html += QStringLiteral("<td>%1</td></tr>").arg(escaped(row.unit));
        }
        html += QStringLiteral("</table>");
        for (const QString &note : m_model->table().notes)
            html += QStringLiteral("<p>%1</p>").arg(escaped(note));
        return html;
    }

    FlightChart *m_chart;
    const flight::ResultsModel *m_model;
    QTextDocument m_document;
    QPicture m_picture;
    int m_chartHeight = 0;
};

} // namespace

const QString TrajectoryPlot::prompt = QStringLiteral("Press Compute to draw the trajectory");

TrajectoryPlot::TrajectoryPlot(QWidget *resultScreen) : QWidget(resultScreen, Qt::Window)
{
    setObjectName(QStringLiteral("TrajectoryPlot"));
    setWindowTitle(QStringLiteral("Trajectory"));

    m_chart = new FlightChart;
    m_scaleNote = new QLabel;
    m_scaleNote->setObjectName(QStringLiteral("scaleNote"));
    m_scaleNote->setAlignment(Qt::AlignCenter);
    m_scaleNote->setMinimumWidth(1);
    m_scaleNote->installEventFilter(this);
    connect(m_chart, &FlightChart::scaleNoteChanged, this,
            [this](const QString &note) { showElided(m_scaleNote, note); });
    m_legend = new QWidget;

    m_model = new flight::ResultsModel(this);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("FlightResults"));
    m_table->setAccessibleName(QStringLiteral("Flight results"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    // The header and two rows; the table scrolls below that.
    m_table->setMinimumHeight(3 * m_table->verticalHeader()->defaultSectionSize() + 2 * m_table->frameWidth());
    m_notes = new QLabel;
    m_notes->setObjectName(QStringLiteral("FlightNotes"));
    m_notes->setWordWrap(false);
    m_notes->setMinimumWidth(1);
    m_notes->installEventFilter(this);
    m_notes->hide();

    // The chart takes most of the height; the table what it needs, scrolling below that.
    auto *plotAndTable = new QWidget;
    auto *column = new QVBoxLayout(plotAndTable);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(m_chart, 3);
    column->addWidget(m_legend);
    column->addWidget(m_scaleNote);
    column->addSpacing(2);
    column->addWidget(m_table, 1);
    column->addWidget(m_notes);

    m_settings = new FlightSettings;
    // Never squeezed into a sliver: where the window has no room for it, it folds away.
    m_settings->setMinimumWidth(m_settings->sizeHint().width());
    m_split = new QSplitter(Qt::Horizontal);
    m_split->setObjectName(QStringLiteral("FlightSplitter"));
    m_split->addWidget(plotAndTable);
    m_split->addWidget(m_settings);
    m_split->setStretchFactor(0, 1);
    m_split->setStretchFactor(1, 0);
    m_split->setCollapsible(0, false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(m_split, 1);
    createActions();
    m_page = new FlightPage(this, m_chart, m_model);

    connect(m_settings, &FlightSettings::changed, this, &TrajectoryPlot::rebuild);
    rebuild();
}

void TrajectoryPlot::createActions()
{
    auto *bar = new QHBoxLayout;
    bar->setSpacing(6);
    m_showSettings = new QToolButton;
    m_showSettings->setObjectName(QStringLiteral("ShowSettings"));
    m_showSettings->setText(QStringLiteral("&Settings"));
    m_showSettings->setToolTip(QStringLiteral("Show or hide the settings beside the chart"));
    m_showSettings->setCheckable(true);
    m_showSettings->setChecked(true);
    connect(m_showSettings, &QToolButton::toggled, m_settings, &QWidget::setVisible);
    bar->addWidget(m_showSettings);
    bar->addStretch(1);

    const auto add = [this, bar](const char *name, const QString &text, const QKeySequence &key, auto run) {
        auto *action = new QAction(text, this);
        action->setShortcut(key);
        // Its own: the result screen that owns the window has a Ctrl+C and Ctrl+P of its own.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
        auto *button = new QPushButton(QString(text).remove(QLatin1Char('&')));
        button->setObjectName(QLatin1String(name));
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        bar->addWidget(button);
    };
    add("CopyResults", QStringLiteral("Copy"), QKeySequence::Copy, [this] { copyResults(); });
    add("SaveCsv", QStringLiteral("Save as CSV\u2026"), QKeySequence(Qt::CTRL | Qt::Key_S), [this] { saveCsv(); });
    add("PrintResults", QStringLiteral("Print\u2026"), QKeySequence::Print, [this] { print(); });
    setContextMenuPolicy(Qt::ActionsContextMenu);
    static_cast<QVBoxLayout *>(layout())->addLayout(bar);
}

void TrajectoryPlot::setProblem(const PlotProblem &problem)
{
    m_problem = problem;
    m_settings->setUnits(unitsOf(problem));
    if (!m_restored) {
        m_restored = true;
        QSettings settings = store();
        m_settings->restore(settings);
    }
    rebuild();
}

void TrajectoryPlot::setQuestion(const PlotQuestion &question)
{
    m_question = question;
    if (airResistance() || !m_solutions.empty())
        rebuild();
}

void TrajectoryPlot::setSolutions(const std::vector<PlotSolution> &solutions)
{
    m_solutions.assign(solutions.begin(),
                       solutions.begin() + std::ptrdiff_t(std::min(solutions.size(), plot::maxSolutions)));
    rebuild();
}

bool TrajectoryPlot::airResistance() const
{
    return m_settings->airResistance();
}

const flight::Table &TrajectoryPlot::results() const
{
    return m_model->table();
}

QChart *TrajectoryPlot::chart() const
{
    return m_chart->chart();
}

bool TrajectoryPlot::equalScales() const
{
    return m_chart->equalScales();
}

QString TrajectoryPlot::scaleNote() const
{
    return m_chart->scaleNote();
}

// Flies each solution through the air when air resistance is on, then draws the
// chart and fills the table from the same figures.
void TrajectoryPlot::rebuild()
{
    const std::optional<flight::AirSetup> setup = m_settings->airSetup();
    std::optional<flight::AirFigures> air;
    plot::AirPaths paths;
    if (setup && !m_solutions.empty()) {
        air = flight::flyThroughAir(m_problem, m_question, m_solutions, *setup, dragSamples);
        for (const drag::Flight &f : air->flights) {
            paths.emplace_back();
            if (f.arrival == drag::Arrival::InvalidShot)
                continue;
            std::vector<QPointF> path;
            path.reserve(f.path.size());
            for (const drag::Point &point : f.path)
                path.emplace_back(point.x, point.y);
            paths.back() = std::move(path);
        }
    }
    flight::Table table = flight::resultTable(m_problem, m_question, m_solutions, air ? &*air : nullptr);
    if (airResistance() && m_solutions.empty())
        table.notes << QStringLiteral("Compute on the result screen to see the flights with air resistance.");
    showElided(m_notes, table.notes.join(QLatin1Char('\n')));
    m_notes->setVisible(!table.notes.isEmpty());
    m_model->setTable(std::move(table));
    m_table->resizeColumnsToContents();

    const plot::Scene scene = plot::scene(m_problem, m_question, m_solutions, paths);
    m_chart->draw(scene, m_problem.distanceUnit, m_solutions.empty() ? prompt : QString());
    showLegend(scene);
    emit rebuilt();
}

void TrajectoryPlot::showLegend(const plot::Scene &scene)
{
    std::vector<QWidget *> entries;
    for (const plot::Line &line : scene.lines) {
        entries.push_back(legendEntry(line, devicePixelRatioF()));
        if (line.stroke == plot::Stroke::Vacuum)
            for (const plot::Line &air : scene.airLines)
                if (air.solution == line.solution)
                    entries.push_back(legendEntry(air, devicePixelRatioF()));
    }
    auto *legend = new Legend(std::move(entries));
    auto *column = static_cast<QVBoxLayout *>(m_legend->parentWidget()->layout());
    // The layout hands back the old legend's item: it is ours to delete.
    delete column->replaceWidget(m_legend, legend);
    delete m_legend;
    m_legend = legend;
}

std::optional<flight::AirSetup> TrajectoryPlot::airSetup()
{
    return m_settings->airSetup();
}

QList<QStringList> TrajectoryPlot::airRows()
{
    const QList<QStringList> inputs = m_settings->inputRows();
    if (inputs.isEmpty())
        return {};
    QList<QStringList> rows{{}, {QStringLiteral("Air resistance")}};
    rows += inputs;
    const QList<QStringList> cells = results().cells();
    rows << QStringList{} << cells.front();
    for (qsizetype i = 1; i < cells.size(); ++i)
        if (cells[i].front().startsWith(QLatin1String("With air")) ||
            cells[i].front().startsWith(QLatin1String("Corrected")))
            rows << cells[i];
    return rows;
}

void TrajectoryPlot::copyResults() const
{
    QGuiApplication::clipboard()->setText(flight::tabSeparated(results().cells()));
}

void TrajectoryPlot::saveCsv()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString path =
        platform::saveFileName(QStringLiteral("Save as CSV"), QDir(folder).filePath(QStringLiteral("Trajectory.csv")),
                               QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = flight::csv(results().cells()).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        platform::messageBox(QStringLiteral("The CSV file could not be saved as\r%1\r%2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()),
                             QStringLiteral("Error"));
}

QWidget *TrajectoryPlot::printPage()
{
    static_cast<FlightPage *>(m_page)->prepare(windowTitle());
    return m_page;
}

void TrajectoryPlot::print()
{
    platform::printWindow(printPage());
}

// Each line cut short with an ellipsis where the window is narrow; whole in the
// tool tip and for screen readers, and from there elided again as the label resizes.
void TrajectoryPlot::showElided(QLabel *label, const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << label->fontMetrics().elidedText(line, Qt::ElideRight, label->width());
    label->setToolTip(text);
    label->setAccessibleName(text);
    label->setText(lines.join(QLatin1Char('\n')));
}

bool TrajectoryPlot::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && (watched == m_scaleNote || watched == m_notes)) {
        auto *label = static_cast<QLabel *>(watched);
        showElided(label, label->toolTip());
    }
    return QWidget::eventFilter(watched, event);
}

void TrajectoryPlot::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Grown by its content (more rows of legend, a note), it stays on its screen.
void TrajectoryPlot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!isVisible())
        return;
    const QRect avail = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const QPoint inside(std::max(avail.left(), std::min(frame.left(), avail.right() + 1 - frame.width())),
                        std::max(avail.top(), std::min(frame.top(), avail.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft())
        move(inside);
}

void TrajectoryPlot::hideEvent(QHideEvent *event)
{
    saveState();
    QWidget::hideEvent(event);
}

void TrajectoryPlot::saveState() const
{
    if (!m_shownBefore)
        return;
    QSettings settings = store();
    settings.setValue(geometryKey, saveGeometry());
    settings.setValue(splitKey, m_split->saveState());
    settings.setValue(settingsShownKey, m_showSettings->isChecked());
    m_settings->save(settings);
}

void TrajectoryPlot::showBeside()
{
    // Hidden again in this run, it keeps its size and place.
    if (!m_shownBefore) {
        m_shownBefore = true;
        QSettings settings = store();
        m_showSettings->setChecked(settings.value(settingsShownKey, true).toBool());
        m_split->restoreState(settings.value(splitKey).toByteArray());
        // Qt brings a window whose screen has gone back within an available area.
        if (!restoreGeometry(settings.value(geometryKey).toByteArray()))
            placeWindow();
    }
    show();
    raise();
    activateWindow();
}

// Right of the screen, as tall as it, unless the left side has markedly more
// room; below or above it when neither side is wide enough. On a desktop too
// small for any of these, the window keeps its least size and goes where it
// covers least of the screen's input frame (velocity or angle and Compute, in
// Frame1 on both result screens), normally none of it, then least of the rest.
// Where the side panel would make it cover the input frame, the panel folds away.
void TrajectoryPlot::placeWindow()
{
    QWidget *owner = parentWidget();
    const QRect frame = owner->frameGeometry();
    const QRect inner = owner->geometry();
    // This window's frame is not known before it is shown: assume the owner's.
    const QSize decoration(frame.width() - inner.width(), frame.height() - inner.height());
    const QRect avail = owner->screen()->availableGeometry();
    const QWidget *input = owner->findChild<QWidget *>(QStringLiteral("Frame1"));
    const QRect keep = input ? QRect(input->mapToGlobal(QPoint(0, 0)), input->size()) : QRect();
    const auto place = [&] {
        const QSize least = minimumSizeHint().boundedTo(avail.size() - decoration) + decoration;
        return plot::placeBeside(avail, frame, least, least.expandedTo(QSize(900, 680) + decoration), keep);
    };
    QRect outline = place();
    if (outline.intersects(keep) && m_showSettings->isChecked()) {
        m_showSettings->setChecked(false);
        outline = place();
    }
    resize(outline.size() - decoration);
    move(outline.topLeft());
}
