#include "screens/flight/firing_table_window.h"

#include "platform/messages.h"
#include "platform/print.h"
#include "screens/flight/flight_results.h"
#include "solvers/drag_inputs.h"
#include "toolkit/controls.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <array>
#include <cmath>
#include <functional>

namespace firing {

void GridModel::setHeader(const QStringList &header)
{
    beginResetModel();
    m_header = header;
    m_rows.clear();
    endResetModel();
}

void GridModel::appendRow(const QStringList &cells)
{
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size()));
    m_rows << cells;
    endInsertRows();
}

QList<QStringList> GridModel::cells() const
{
    return QList<QStringList>{m_header} + m_rows;
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_header.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const QString cell = m_rows[index.row()].value(index.column());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return cell;
    if (role == Qt::TextAlignmentRole)
        return index.column() == columnCount() - 1 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_header.value(section);
}

} // namespace firing

namespace {

using toolkit::qs;

const QString geometryKey = QStringLiteral("firingTable/geometry");

// Rows per printed page, the header repeated on each.
constexpr int rowsPerPage = 40;

// 1, 2 or 5 times a power of ten, the largest not above x.
double roundStep(double x)
{
    if (!(x > 0) || !std::isfinite(x))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    for (const double m : {5.0, 2.0, 1.0})
        if (m * power <= x)
            return m * power;
    return power;
}

QString number(double x)
{
    return qs(drag::fieldText(x));
}

// One printed page: a part of the table as the window shows it.
class TablePage : public QWidget
{
public:
    TablePage(QWidget *parent, const QString &title, const QStringList &header, const QList<QStringList> &rows)
        : QWidget(parent)
    {
        setWindowTitle(title);
        setAttribute(Qt::WA_DontShowOnScreen);
        hide();
        const auto escaped = [](const QString &s) { return s.toHtmlEscaped(); };
        QString html =
            QStringLiteral("<p>%1</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>").arg(escaped(title));
        for (const QString &name : header)
            html += QStringLiteral("<th>%1</th>").arg(escaped(name));
        html += QStringLiteral("</tr>");
        for (const QStringList &row : rows) {
            html += QStringLiteral("<tr>");
            for (const QString &cell : row)
                html += QStringLiteral("<td align=\"right\">%1</td>").arg(escaped(cell));
            html += QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
        m_document.setDefaultFont(font());
        m_document.documentLayout()->setPaintDevice(this);
        m_document.setHtml(html);
        m_document.setTextWidth(m_document.idealWidth());
        resize(int(std::ceil(m_document.size().width())), int(std::ceil(m_document.size().height())));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        m_document.drawContents(&painter);
    }

private:
    QTextDocument m_document;
};

} // namespace

FiringTableWindow::FiringTableWindow(QWidget *resultScreen) : QWidget(resultScreen, Qt::Window)
{
    setObjectName(QStringLiteral("FiringTable"));
    setWindowTitle(QStringLiteral("Firing Table"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setPalette(resultScreen->palette());

    auto *column = new QVBoxLayout(this);
    m_caption = new QLabel;
    m_caption->setObjectName(QStringLiteral("TableProblem"));
    m_caption->setWordWrap(true);
    column->addWidget(m_caption);
    auto *grid = new QGridLayout;
    m_varies = new QComboBox;
    m_varies->setObjectName(QStringLiteral("TableVaries"));
    auto *variesLabel = new QLabel(QStringLiteral("&Varies"));
    variesLabel->setBuddy(m_varies);
    grid->addWidget(variesLabel, 0, 0);
    grid->addWidget(m_varies, 0, 1, 1, 2);
    const std::array<std::pair<QLineEdit **, const char *>, 3> entries{
        {{&m_from, "TableFrom"}, {&m_to, "TableTo"}, {&m_step, "TableStep"}}};
    const std::array<const char *, 3> captions{"&From", "&To", "&Step"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QLatin1String(entries[i].second));
        edit->setAccessibleName(QString::fromLatin1(captions[i]).remove(QLatin1Char('&')));
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000.000")));
        connect(edit, &QLineEdit::returnPressed, this, &FiringTableWindow::rebuild);
        auto *label = new QLabel(QLatin1String(captions[i]));
        label->setBuddy(edit);
        auto *unit = new QLabel;
        grid->addWidget(label, 0, 3 + 3 * int(i));
        grid->addWidget(edit, 0, 4 + 3 * int(i));
        grid->addWidget(unit, 0, 5 + 3 * int(i));
        *entries[i].first = edit;
        m_units.push_back(unit);
    }
    auto *compute = new QPushButton(QStringLiteral("&Compute"));
    compute->setObjectName(QStringLiteral("TableCompute"));
    connect(compute, &QPushButton::clicked, this, &FiringTableWindow::rebuild);
    grid->addWidget(compute, 0, 12);
    grid->setColumnStretch(13, 1);
    column->addLayout(grid);

    m_view = new QTableView;
    m_view->setObjectName(QStringLiteral("FiringTableRows"));
    m_view->setAccessibleName(QStringLiteral("Firing table rows"));
    m_model = new firing::GridModel(this);
    m_view->setModel(m_model);
    m_view->verticalHeader()->hide();
    // Rows as tall as their text, so a screen holds more of them.
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 8);
    m_view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(m_view, 1);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("TableStatus"));
    m_status->setWordWrap(true);
    column->addWidget(m_status);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const auto button = [&](const QString &text, const char *name, const std::function<void()> &run) {
        auto *b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, run);
        buttons->addWidget(b);
    };
    button(QStringLiteral("Copy"), "TableCopy", [this] { copyRows(); });
    button(QStringLiteral("Save as CSV\u2026"), "TableSaveCsv", [this] { saveCsv(); });
    button(QStringLiteral("Print\u2026"), "TablePrint", [this] { print(); });
    column->addLayout(buttons);

    const auto shortcut = [this](const QKeySequence &key, auto run) {
        auto *action = new QAction(this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
    };
    shortcut(QKeySequence::Copy, [this] { copyRows(); });
    shortcut(QKeySequence::Print, [this] { print(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });

    m_pending = new QTimer(this);
    m_pending->setInterval(0);
    connect(m_pending, &QTimer::timeout, this, &FiringTableWindow::computeSome);
    m_rebuild = new QTimer(this);
    m_rebuild->setSingleShot(true);
    m_rebuild->setInterval(0);
    connect(m_rebuild, &QTimer::timeout, this, &FiringTableWindow::rebuild);
    connect(m_varies, &QComboBox::activated, this, [this] {
        resetSteps();
        rebuild();
    });
}

firing::Varied FiringTableWindow::varied() const
{
    return firing::Varied(m_varies->currentData().toInt());
}

QString FiringTableWindow::unitOf(firing::Varied v) const
{
    switch (v) {
    case firing::Varied::Distance:
        return qs(firing::lengthUnit(m_problem));
    case firing::Varied::Velocity:
        return qs(firing::speedUnit(m_problem));
    case firing::Varied::Angle:
        break;
    }
    return qs(firing::angleUnit(m_problem));
}

void FiringTableWindow::setProblem(const firing::Problem &problem)
{
    const bool sameKind = m_haveProblem && problem.question == m_problem.question && problem.feet == m_problem.feet &&
                          problem.radians == m_problem.radians;
    const std::optional<firing::AirShot> air = m_problem.air;
    m_problem = problem;
    m_problem.air = air;
    m_haveProblem = true;
    if (!sameKind) {
        const QSignalBlocker quiet(m_varies);
        m_varies->clear();
        m_varies->addItem(QStringLiteral("Horizontal distance"), int(firing::Varied::Distance));
        if (problem.question == firing::Question::Angles)
            m_varies->addItem(QStringLiteral("Muzzle velocity"), int(firing::Varied::Velocity));
        else
            m_varies->addItem(QStringLiteral("Angle"), int(firing::Varied::Angle));
        resetSteps();
    }
    m_caption->setText(problemText());
    rebuildSoon();
}

// The problem the rows belong to, as the screen holds it.
QString FiringTableWindow::problemText() const
{
    const QString length = qs(firing::lengthUnit(m_problem));
    const QString given = m_problem.question == firing::Question::Angles
                              ? QStringLiteral("Angles for a muzzle velocity of %1 %2")
                                    .arg(number(m_problem.velocity), qs(firing::speedUnit(m_problem)))
                              : QStringLiteral("Muzzle velocity for an angle of %1 %2")
                                    .arg(number(m_problem.angle), qs(firing::angleUnit(m_problem)));
    return QStringLiteral("%1; horizontal distance %2 %5, firing point elevation %3 %5, target elevation %4 %5.")
        .arg(given, number(m_problem.distance), number(m_problem.firing), number(m_problem.target), length);
}

void FiringTableWindow::setAir(const std::optional<firing::AirShot> &air)
{
    m_problem.air = air;
    rebuildSoon();
}

// A screen's change reaches the window as a new problem and its air one after the
// other: the rows are computed once for both.
void FiringTableWindow::rebuildSoon()
{
    if (isVisible())
        m_rebuild->start();
}

// Twenty rows around the screen's own value, in round steps.
void FiringTableWindow::resetSteps()
{
    double from = 0, to = 0, step = 0;
    switch (varied()) {
    case firing::Varied::Distance:
        step = roundStep((m_problem.distance > 0 ? m_problem.distance : 1000) / 10);
        from = step;
        to = 20 * step;
        break;
    case firing::Varied::Velocity:
        step = roundStep((m_problem.velocity > 0 ? m_problem.velocity : 100) / 10);
        from = step;
        to = 20 * step;
        break;
    case firing::Varied::Angle:
        step = m_problem.radians ? 0.1 : 5;
        from = step;
        to = m_problem.radians ? 1.5 : 85;
        break;
    }
    m_from->setText(number(from));
    m_to->setText(number(to));
    m_step->setText(number(step));
    const QString unit = unitOf(varied());
    for (QLabel *label : m_units)
        label->setText(unit);
}

std::optional<double> FiringTableWindow::entry(QLineEdit *edit, const QString &caption, QStringList &faults) const
{
    const QByteArray unit = unitOf(varied()).toUtf8();
    const drag::FieldRange range{-1e6, 1e6, unit.constData()};
    const drag::Entry read = drag::readEntry(edit->text().toStdString(), range);
    if (read.outcome == drag::EntryOutcome::Valid)
        return read.value;
    faults << caption + QStringLiteral(": ") + qs(drag::entryNote(read, range));
    return std::nullopt;
}

void FiringTableWindow::rebuild()
{
    m_rebuild->stop();
    m_pending->stop();
    m_values.clear();
    QStringList faults;
    const auto from = entry(m_from, QStringLiteral("From"), faults);
    const auto to = entry(m_to, QStringLiteral("To"), faults);
    const auto step = entry(m_step, QStringLiteral("Step"), faults);
    QStringList header;
    for (const firing::Column &c : firing::tableColumns(m_problem, varied()))
        header << (c.unit.empty() ? qs(c.title) : QStringLiteral("%1 (%2)").arg(qs(c.title), qs(c.unit)));
    m_model->setHeader(header);
    if (!faults.isEmpty()) {
        m_status->setText(faults.join(QLatin1Char('\n')));
        return;
    }
    const std::size_t limit = firing::rowLimit(m_problem);
    const firing::StepValues steps = firing::stepValues({*from, *to, *step}, limit);
    switch (steps.outcome) {
    case firing::StepsOutcome::Valid:
        break;
    case firing::StepsOutcome::NotFinite:
        m_status->setText(QStringLiteral("From, To and Step must be finite numbers."));
        return;
    case firing::StepsOutcome::ZeroStep:
        m_status->setText(QStringLiteral("Step: a step of 0 never reaches the last value."));
        return;
    case firing::StepsOutcome::AwayFromLast:
        m_status->setText(QStringLiteral("Step: from %1 a step of %2 leads away from %3; turn its sign.")
                              .arg(number(*from), number(*step), number(*to)));
        return;
    case firing::StepsOutcome::TooFine:
        m_status->setText(QStringLiteral("Step: too small for values this large; the rows would repeat."));
        return;
    case firing::StepsOutcome::TooMany:
        m_status->setText(QStringLiteral("Step: that makes more than %1 rows%2; take a larger step.")
                              .arg(limit)
                              .arg(m_problem.air ? QStringLiteral(" with air") : QString()));
        return;
    }
    m_values.assign(steps.values.rbegin(), steps.values.rend()); // taken from the back
    m_total = m_values.size();
    m_computing = m_problem;
    m_computingVaried = varied();
    computeSome();
}

// A slice of rows, then back to the event loop: a table with air takes seconds.
void FiringTableWindow::computeSome()
{
    const std::size_t slice = m_computing.air ? 2 : 200;
    std::vector<double> values;
    while (!m_values.empty() && values.size() < slice) {
        values.push_back(m_values.back());
        m_values.pop_back();
    }
    for (const firing::Row &row : firing::firingTable(m_computing, m_computingVaried, values)) {
        QStringList cells;
        for (const std::string &cell : firing::tableCells(m_computing, row))
            cells << qs(cell);
        m_model->appendRow(cells);
    }
    const auto done = std::size_t(m_model->rowCount());
    if (m_values.empty()) {
        m_pending->stop();
        m_status->setText(QStringLiteral("%1 rows%2.")
                              .arg(done)
                              .arg(m_computing.air ? QStringLiteral(", with the flight window's air") : QString()));
    } else {
        m_status->setText(QStringLiteral("Computing: %1 of %2 rows\u2026").arg(done).arg(m_total));
        m_pending->start();
    }
}

bool FiringTableWindow::computing() const
{
    return m_rebuild->isActive() || !m_values.empty();
}

QList<QStringList> FiringTableWindow::rows() const
{
    return m_model->cells();
}

void FiringTableWindow::copyRows() const
{
    QGuiApplication::clipboard()->setText(flight::tabSeparated(rows()));
}

void FiringTableWindow::saveCsv()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString path = platform::saveFileName(QStringLiteral("Save Firing Table"),
                                                QDir(folder).filePath(QStringLiteral("firing-table.csv")),
                                                QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(flight::csv(rows()).toUtf8()) < 0 ||
        !file.flush()) {
        platform::messageBox(QStringLiteral("The firing table could not be saved in %1: %2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()),
                             QStringLiteral("Save Firing Table"));
    }
}

void FiringTableWindow::print()
{
    const QList<QStringList> all = rows();
    if (all.size() < 2)
        return;
    QList<QWidget *> pages;
    for (qsizetype first = 1; first < all.size(); first += rowsPerPage)
        pages << new TablePage(this, windowTitle() + QStringLiteral(": ") + problemText(), all.front(),
                               all.mid(first, rowsPerPage));
    platform::printWindow(pages.front(), pages.mid(1));
    qDeleteAll(pages);
}

void FiringTableWindow::showBeside()
{
    if (!isVisible()) {
        QSettings settings;
        if (!restoreGeometry(settings.value(geometryKey).toByteArray())) {
            const QRect avail = parentWidget()->screen()->availableGeometry();
            resize(QSize(1200, 640).boundedTo(avail.size() - QSize(40, 60)));
            move(avail.center() - rect().center());
        }
        rebuild();
    }
    show();
    raise();
    activateWindow();
}

void FiringTableWindow::closeEvent(QCloseEvent *event)
{
    m_rebuild->stop();
    m_pending->stop();
    m_values.clear();
    QSettings settings;
    settings.setValue(geometryKey, saveGeometry());
    QWidget::closeEvent(event);
}
