#include "screens/flight/flight_settings.h"

#include "platform/messages.h"
#include "toolkit/controls.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using toolkit::qs;
using Entry = FlightSettings::Entry;

struct EntryInfo
{
    const char *name;
    const char *caption;
    const char *about; // what the figure is, for its tool tip
};
const std::array<EntryInfo, FlightSettings::EntryCount> entryInfo{{
    {"Mass", "Mass", "The projectile's mass"},
    {"Diameter", "Diameter", "The projectile's diameter"},
    {"DragCoefficient", "Drag coefficient", "One drag coefficient at every speed"},
    {"BallisticCoefficient", "Ballistic coefficient",
     "The ballistic coefficient against the chosen standard curve, as makers publish it"},
    {"Altitude", "Altitude", "The firing point's height above sea level; the elevations are measured from it"},
    {"Temperature", "Temperature", "The air's temperature at the firing point"},
    {"Pressure", "Pressure", "The air's pressure at the firing point, as a barometer there reads it"},
    {"Humidity", "Humidity", "The relative humidity at the firing point"},
    {"AirDensity", "Air density",
     "The air's density at the firing point; a density typed here holds along the whole flight"},
    {"Wind", "Wind", "Along the line of fire, constant with height: positive from behind, negative head on"},
    {"Spin", "Spin", "The ball's backspin, which lifts it (negative: topspin); 0 for none"},
    {"SpinDecay", "Spin decay time", "The time in which the spin falls to 37 % (1/e) of its start; 0 holds it"},
}};

// The drag law box's items, in the order of air::DragCurve.
const std::array<const char *, 5> lawNames{"Constant coefficient", "Sphere", "G1", "G7", "Table from file\u2026"};
const std::array<const char *, 5> lawTips{
    "One drag coefficient at every speed",
    "The smooth sphere's drag coefficient against Mach (BRL, as JBM Ballistics publishes it), for round shot",
    "The G1 standard projectile's curve, scaled by a G1 ballistic coefficient",
    "The G7 standard projectile's curve, scaled by a G7 ballistic coefficient; for boat-tailed bullets",
    "A table of the projectile's own drag coefficient against Mach, from a CSV file: rows of Mach,Cd"};

constexpr int tableLaw = int(air::DragCurve::Table);

// A drag table is a few hundred lines; anything far larger is not one.
constexpr qint64 largestTableFile = 1 << 20;

const QColor errorText(160, 0, 0);
const QColor errorBase(255, 225, 225);

const QString unitsKey = QStringLiteral("flight/units");
const QString onKey = QStringLiteral("flight/airResistance");
const QString projectileKey = QStringLiteral("flight/projectile");
const QString lawKey = QStringLiteral("flight/dragLaw");
const QString entriesKey = QStringLiteral("flight/entries");
const QString standardKey = QStringLiteral("flight/standardAtmosphere");
const QString withHeightKey = QStringLiteral("flight/densityWithHeight");
const QString tableKey = QStringLiteral("flight/dragTable");
const QString tableFileKey = QStringLiteral("flight/dragTableFile");
const QString ballKey = QStringLiteral("flight/ball");

QString unitsName(drag::Units units)
{
    return units == drag::Units::Imperial ? QStringLiteral("feet") : QStringLiteral("metres");
}

bool standardCurve(air::DragCurve law)
{
    return law == air::DragCurve::G1 || law == air::DragCurve::G7;
}

// kg/m^3 in the unit system's density unit.
double densityUnit(drag::Units units)
{
    return drag::inUnits({0, 0, 0, 1}, units).airDensity;
}

// A box as wide as a short name, so that a long preset's name does not widen the
// panel; its list opens wide enough for every name.
void fitToShortNames(QComboBox *box)
{
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(16);
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 2 * box->view()->frameWidth() + 8);
}

QLabel *noteLabel(const QString &name)
{
    auto *note = new QLabel;
    note->setObjectName(name);
    note->setWordWrap(true);
    QPalette palette = note->palette();
    palette.setColor(QPalette::WindowText, errorText);
    note->setPalette(palette);
    note->hide();
    return note;
}

} // namespace

FlightSettings::FlightSettings(QWidget *parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("FlightSettings"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_contents = new QWidget;
    auto *column = new QVBoxLayout(m_contents);
    column->setContentsMargins(6, 4, 6, 4);

    m_airResistance = new QCheckBox(QStringLiteral("With &air resistance"));
    m_airResistance->setObjectName(QStringLiteral("AirResistance"));
    m_airResistance->setToolTip(
        QStringLiteral("Also fly each solution through the air: the projectile's drag, the atmosphere and the wind"));
    column->addWidget(m_airResistance);

    m_dragPanel = new QWidget;
    m_dragPanel->setObjectName(QStringLiteral("DragPanel"));
    m_dragPanel->hide();
    auto *grid = new QGridLayout(m_dragPanel);
    grid->setContentsMargins(0, 2, 0, 2);
    grid->setVerticalSpacing(4);
    m_entries.resize(EntryCount);
    m_captions.resize(EntryCount);
    m_unitLabels.resize(EntryCount);
    m_accepted.resize(EntryCount);
    int row = 0;
    createProjectileControls(grid, row);
    createAirControls(grid, row);
    m_dragNote = noteLabel(QStringLiteral("DragNote"));
    grid->addWidget(m_dragNote, row, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    column->addWidget(m_dragPanel);
    column->addStretch(1);
    setWidget(m_contents);

    connect(m_airResistance, &QCheckBox::toggled, this, [this](bool on) {
        m_dragPanel->setVisible(on);
        emit changed();
    });
    setEntry(Altitude, 0);
    setEntry(Wind, 0);
    setEntry(Spin, 0);
    setEntry(SpinDecay, 0);
    showUnits();
    showPreset();
    showAir();
}

QLineEdit *FlightSettings::addEntry(QGridLayout *grid, int row, Entry entry)
{
    const EntryInfo &info = entryInfo[std::size_t(entry)];
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(info.name));
    edit->setAccessibleName(QLatin1String(info.caption));
    // Room for the longest preset figure and a little more.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0.0764743")) + 16);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, entry] { entryEdited(entry); });
    connect(edit, &QLineEdit::editingFinished, this, [this, entry] { entryFinished(entry); });
    auto *caption = new QLabel(QLatin1String(info.caption));
    caption->setBuddy(edit);
    auto *unit = new QLabel;
    unit->setObjectName(QLatin1String(info.name) + QStringLiteral("Unit"));
    unit->setMinimumWidth(unit->fontMetrics().horizontalAdvance(QStringLiteral("lb/in\u00b2")) + 4);
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(unit, row, 2);
    m_entries[std::size_t(entry)] = edit;
    m_captions[std::size_t(entry)] = caption;
    m_unitLabels[std::size_t(entry)] = unit;
    return edit;
}

void FlightSettings::createProjectileControls(QGridLayout *grid, int &row)
{
    m_projectile = new QComboBox;
    m_projectile->setObjectName(QStringLiteral("Projectile"));
    for (const air::Preset &preset : air::presets()) {
        m_projectile->addItem(QString::fromUtf8(preset.name));
        m_projectile->setItemData(m_projectile->count() - 1, QString::fromUtf8(preset.source), Qt::ToolTipRole);
    }
    m_projectile->addItem(QStringLiteral("Custom"));
    m_projectile->setItemData(m_projectile->count() - 1,
                              QStringLiteral("The drag law and the projectile's figures as typed"), Qt::ToolTipRole);
    m_projectile->setToolTip(m_projectile->itemData(0, Qt::ToolTipRole).toString());
    auto *projectileLabel = new QLabel(QStringLiteral("&Projectile"));
    projectileLabel->setBuddy(m_projectile);
    grid->addWidget(projectileLabel, row, 0);
    grid->addWidget(m_projectile, row++, 1, 1, 2);
    connect(m_projectile, &QComboBox::currentIndexChanged, this, &FlightSettings::presetChosen);
    fitToShortNames(m_projectile);

    m_law = new QComboBox;
    m_law->setObjectName(QStringLiteral("DragLaw"));
    for (std::size_t i = 0; i < lawNames.size(); ++i) {
        m_law->addItem(QString::fromUtf8(lawNames[i]));
        m_law->setItemData(int(i), QString::fromUtf8(lawTips[i]), Qt::ToolTipRole);
    }
    auto *lawLabel = new QLabel(QStringLiteral("Drag &law"));
    lawLabel->setBuddy(m_law);
    grid->addWidget(lawLabel, row, 0);
    grid->addWidget(m_law, row++, 1, 1, 2);
    fitToShortNames(m_law);
    // Activated, not changed: picking "Table from file…" again chooses another file.
    connect(m_law, &QComboBox::activated, this, &FlightSettings::lawChosen);

    m_tableRow = new QWidget;
    auto *tableLine = new QHBoxLayout(m_tableRow);
    tableLine->setContentsMargins(0, 0, 0, 0);
    m_tableName = new QLabel;
    m_tableName->setObjectName(QStringLiteral("DragTableName"));
    m_tableName->setMinimumWidth(1);
    m_tableName->setWordWrap(true);
    m_chooseTable = new QPushButton(QStringLiteral("C&hoose\u2026"));
    m_chooseTable->setObjectName(QStringLiteral("ChooseDragTable"));
    m_chooseTable->setToolTip(QStringLiteral("Read another drag table from a CSV file of Mach,Cd rows"));
    tableLine->addWidget(m_tableName, 1);
    tableLine->addWidget(m_chooseTable);
    m_tableCaption = new QLabel(QStringLiteral("Drag table"));
    m_tableCaption->setBuddy(m_chooseTable);
    grid->addWidget(m_tableCaption, row, 0);
    grid->addWidget(m_tableRow, row++, 1, 1, 2);
    connect(m_chooseTable, &QPushButton::clicked, this, &FlightSettings::chooseDragTable);
    m_tableNote = noteLabel(QStringLiteral("DragTableNote"));
    grid->addWidget(m_tableNote, row++, 0, 1, 3);

    for (const Entry entry : {Mass, Diameter, DragCoefficient, BallisticCoefficient})
        addEntry(grid, row++, entry);
}

void FlightSettings::createAirControls(QGridLayout *grid, int &row)
{
    auto *heading = new QLabel(QStringLiteral("Air"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(heading, row++, 0, 1, 3);
    addEntry(grid, row++, Altitude);

    m_standard = new QCheckBox(QStringLiteral("S&tandard atmosphere"));
    m_standard->setObjectName(QStringLiteral("StandardAtmosphere"));
    m_standard->setToolTip(QStringLiteral("The ICAO standard atmosphere at the firing point's altitude: 15 \u00b0C, "
                                          "1013.25 hPa and dry air at sea level, 6.5 \u00b0C colder per km. Off: "
                                          "the temperature, pressure and humidity measured at the firing point."));
    m_standard->setChecked(true);
    grid->addWidget(m_standard, row++, 0, 1, 3);
    for (const Entry entry : {Temperature, Pressure, Humidity})
        addEntry(grid, row++, entry);

    m_withHeight = new QCheckBox(QStringLiteral("Density &with height"));
    m_withHeight->setObjectName(QStringLiteral("DensityWithHeight"));
    m_withHeight->setToolTip(
        QStringLiteral("The air thins and cools as the shot climbs. Off: the firing point's density and speed of "
                       "sound along the whole flight."));
    m_withHeight->setChecked(true);
    grid->addWidget(m_withHeight, row++, 0, 1, 3);
    addEntry(grid, row++, AirDensity);
    addEntry(grid, row++, Wind);
    for (const Entry entry : {Spin, SpinDecay})
        addEntry(grid, row++, entry);

    connect(m_standard, &QCheckBox::toggled, this, [this] {
        showAir();
        emit changed();
    });
    connect(m_withHeight, &QCheckBox::toggled, this, [this](bool on) {
        // Back to the air's own density; a typed one only holds without height.
        if (on)
            showAir();
        emit changed();
    });
}

QSize FlightSettings::sizeHint() const
{
    // Wide enough for its widest row, without a horizontal scroll bar, whether or not
    // the drag panel is shown: turning air on does not widen the window.
    const QSize inner = m_contents->sizeHint();
    const QMargins margins = m_contents->layout()->contentsMargins();
    const int width = std::max(inner.width(), m_dragPanel->sizeHint().width() + margins.left() + margins.right());
    return {width + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(), inner.height()};
}

drag::FieldRange FlightSettings::range(Entry entry) const
{
    switch (entry) {
    case Mass:
        return drag::fieldRange(drag::Field::Mass, m_units);
    case Diameter:
        return drag::fieldRange(drag::Field::Diameter, m_units);
    case DragCoefficient:
        return drag::fieldRange(drag::Field::DragCoefficient, m_units);
    case AirDensity:
        return drag::fieldRange(drag::Field::AirDensity, m_units);
    case BallisticCoefficient:
        // Published in lb/in^2 the world over.
        return air::fieldRange(air::Field::BallisticCoefficient, drag::Units::Imperial);
    case Altitude:
        return air::fieldRange(air::Field::Altitude, m_units);
    case Temperature:
        return air::fieldRange(air::Field::Temperature, m_units);
    case Pressure:
        return air::fieldRange(air::Field::Pressure, m_units);
    case Humidity:
        return air::fieldRange(air::Field::Humidity, m_units);
    case Spin:
        return {-12000, 12000, "rpm"};
    case SpinDecay:
        return {0, 1000, "s"};
    case Wind:
    case EntryCount:
        break;
    }
    return air::fieldRange(air::Field::Wind, m_units);
}

air::DragCurve FlightSettings::law() const
{
    return air::DragCurve(std::clamp(m_law->currentIndex(), 0, tableLaw));
}

// Whether the entry takes part in the flights as the panel is set.
bool FlightSettings::applies(Entry entry) const
{
    switch (entry) {
    case Mass:
    case Diameter:
        return !standardCurve(law());
    case DragCoefficient:
        return law() == air::DragCurve::Constant;
    case BallisticCoefficient:
        return standardCurve(law());
    case Temperature:
    case Pressure:
    case Humidity:
        return !m_standard->isChecked();
    case AirDensity:
        return !m_withHeight->isChecked();
    case Spin:
    case SpinDecay:
        return m_ball != air::Ball::None && !standardCurve(law());
    case Altitude:
    case Wind:
    case EntryCount:
        break;
    }
    return true;
}

std::optional<double> FlightSettings::value(Entry entry) const
{
    const drag::Entry read = drag::readEntry(m_entries[std::size_t(entry)]->text().toStdString(), range(entry));
    if (read.outcome != drag::EntryOutcome::Valid)
        return std::nullopt;
    return read.value;
}

void FlightSettings::setEntry(Entry entry, double value)
{
    m_accepted[std::size_t(entry)] = qs(drag::fieldText(value));
    m_entries[std::size_t(entry)]->setText(m_accepted[std::size_t(entry)]);
}

void FlightSettings::showUnits()
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const drag::FieldRange r = range(Entry(i));
        m_unitLabels[i]->setText(QString::fromUtf8(r.unit));
        m_entries[i]->setToolTip(QStringLiteral("%1: a number from %2 to %3%4. Enter sets it, Escape keeps the old "
                                                "value.")
                                     .arg(QLatin1String(entryInfo[i].about), qs(drag::fieldText(r.minimum)),
                                          qs(drag::fieldText(r.maximum)),
                                          *r.unit ? QStringLiteral(" ") + QString::fromUtf8(r.unit) : QString()));
    }
}

void FlightSettings::setUnits(drag::Units units)
{
    if (units == m_units)
        return;
    // The air and the wind as they are, in the new units.
    std::array<std::optional<double>, EntryCount> model{};
    const std::array<std::pair<Entry, air::Field>, 5> airEntries{{{Altitude, air::Field::Altitude},
                                                                  {Temperature, air::Field::Temperature},
                                                                  {Pressure, air::Field::Pressure},
                                                                  {Humidity, air::Field::Humidity},
                                                                  {Wind, air::Field::Wind}}};
    for (const auto &[entry, field] : airEntries)
        if (const auto v = value(entry))
            model[entry] = air::toModel(field, *v, m_units);
    if (const auto v = value(AirDensity))
        model[AirDensity] = *v / densityUnit(m_units);
    m_units = units;
    for (const auto &[entry, field] : airEntries)
        if (model[entry])
            setEntry(entry, air::fromModel(field, *model[entry], m_units));
    if (model[AirDensity])
        setEntry(AirDensity, *model[AirDensity] * densityUnit(m_units));
    showUnits();
    if (m_projectile->currentIndex() >= int(air::presets().size())) {
        const QSignalBlocker quiet(m_projectile);
        m_projectile->setCurrentIndex(0);
        m_projectile->setToolTip(m_projectile->itemData(0, Qt::ToolTipRole).toString());
    }
    showPreset();
    if (m_withHeight->isChecked() || !model[AirDensity])
        showAir();
}

bool FlightSettings::airResistance() const
{
    return m_airResistance->isChecked();
}

void FlightSettings::presetChosen(int index)
{
    m_projectile->setToolTip(m_projectile->itemData(index, Qt::ToolTipRole).toString());
    if (index < int(air::presets().size())) {
        showPreset();
        emit changed();
    }
}

// The chosen preset's drag law and figures in the problem's units.
void FlightSettings::showPreset()
{
    const int index = m_projectile->currentIndex();
    if (index >= 0 && index < int(air::presets().size())) {
        const air::Projectile &p = air::presets()[std::size_t(index)].projectile;
        m_law->setCurrentIndex(int(p.curve));
        m_lawShown = int(p.curve);
        const drag::Projectile shown = drag::inUnits({p.mass, p.diameter * 1000, p.dragCoefficient, 0}, m_units);
        setEntry(Mass, shown.mass);
        setEntry(Diameter, shown.diameter);
        if (p.curve == air::DragCurve::Constant || p.dragCoefficient > 0)
            setEntry(DragCoefficient, p.dragCoefficient);
        if (standardCurve(p.curve))
            setEntry(BallisticCoefficient, p.ballisticCoefficient / air::poundPerSquareInch);
        m_ball = p.ball;
        setEntry(Spin, air::presets()[std::size_t(index)].spin);
        setEntry(SpinDecay, p.spinDecayTime);
    }
    showLawRows();
}

void FlightSettings::showLawRows()
{
    for (const Entry entry : {Mass, Diameter, DragCoefficient, BallisticCoefficient, Spin, SpinDecay}) {
        const bool on = applies(entry);
        m_captions[entry]->setVisible(on);
        m_entries[entry]->setVisible(on);
        m_unitLabels[entry]->setVisible(on);
    }
    const bool table = law() == air::DragCurve::Table;
    m_tableRow->setVisible(table);
    m_tableCaption->setVisible(table);
    m_law->setToolTip(m_law->itemData(m_law->currentIndex(), Qt::ToolTipRole).toString());
    showDragTable();
}

void FlightSettings::showDragTable()
{
    if (!m_table) {
        m_tableName->setText(QStringLiteral("none chosen"));
        return;
    }
    m_tableName->setText(QStringLiteral("%1\n(Mach %2 to %3)")
                             .arg(m_tableFile, QString::number(m_table->lowestMach(), 'f', 2),
                                  QString::number(m_table->highestMach(), 'f', 2)));
    m_tableName->setToolTip(m_tableName->text());
}

// The firing point's air as the entries give it, and the figures it implies shown in
// the entries it sets: the standard's temperature, pressure and humidity, and the density.
void FlightSettings::showAir()
{
    const bool standard = m_standard->isChecked();
    for (const Entry entry : {Temperature, Pressure, Humidity})
        m_entries[entry]->setEnabled(!standard);
    const std::optional<double> altitude = value(Altitude);
    if (!altitude)
        return;
    if (standard) {
        const air::AirState state = air::standardAir(air::toModel(air::Field::Altitude, *altitude, m_units));
        setEntry(Temperature, air::fromModel(air::Field::Temperature, state.temperature, m_units));
        setEntry(Pressure, air::fromModel(air::Field::Pressure, state.pressure, m_units));
        setEntry(Humidity, 0);
    }
    if (const std::optional<air::Atmosphere> firing = firingAir())
        setEntry(AirDensity, air::AirColumn(*firing).at(0).density * densityUnit(m_units));
}

std::optional<air::Atmosphere> FlightSettings::firingAir() const
{
    const std::optional<double> altitude = value(Altitude);
    if (!altitude)
        return std::nullopt;
    air::Atmosphere atmosphere;
    atmosphere.altitude = air::toModel(air::Field::Altitude, *altitude, m_units);
    atmosphere.densityWithHeight = m_withHeight->isChecked();
    if (m_standard->isChecked()) {
        atmosphere.model = air::AirModel::Standard;
        return atmosphere;
    }
    const auto t = value(Temperature), p = value(Pressure), h = value(Humidity);
    if (!t || !p || !h)
        return std::nullopt;
    atmosphere.model = air::AirModel::Measured;
    atmosphere.temperature = air::toModel(air::Field::Temperature, *t, m_units);
    atmosphere.pressure = air::toModel(air::Field::Pressure, *p, m_units);
    atmosphere.humidity = air::toModel(air::Field::Humidity, *h, m_units);
    return atmosphere;
}

void FlightSettings::makeCustom()
{
    const int custom = int(air::presets().size());
    if (m_projectile->currentIndex() != custom) {
        const QSignalBlocker quiet(m_projectile);
        m_projectile->setCurrentIndex(custom);
        m_projectile->setToolTip(m_projectile->itemData(custom, Qt::ToolTipRole).toString());
    }
}

void FlightSettings::lawChosen(int index)
{
    if (index == tableLaw) {
        if (chooseDragTable())
            return; // read, and in force
        if (!m_table) {
            // No table to fly with: the law in force stays.
            m_law->setCurrentIndex(m_lawShown);
            return;
        }
    }
    if (index == m_lawShown)
        return;
    // A start for the ballistic coefficient: the sectional density, a form factor of 1.
    if (standardCurve(air::DragCurve(index)) && !value(BallisticCoefficient))
        if (const auto m = value(Mass), d = value(Diameter); m && d) {
            const drag::Projectile pounds = drag::inUnits({1, 1, 0, 0}, drag::Units::Imperial);
            const bool metric = m_units == drag::Units::Metric;
            const double lb = metric ? *m * pounds.mass : *m, in = metric ? *d * pounds.diameter : *d;
            setEntry(BallisticCoefficient, std::clamp(lb / (in * in), range(BallisticCoefficient).minimum,
                                                      range(BallisticCoefficient).maximum));
        }
    m_lawShown = index;
    makeCustom();
    showLawRows();
    emit changed();
}

bool FlightSettings::chooseDragTable()
{
    QString folder = m_tableFolder;
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = platform::openFileName(QStringLiteral("Drag Table"), folder,
                                                QStringLiteral("Drag tables (*.csv *.txt);;All files (*)"));
    return !path.isEmpty() && loadDragTable(path);
}

bool FlightSettings::loadDragTable(const QString &path)
{
    const QFileInfo info(path);
    m_tableFolder = info.absolutePath();
    QFile file(path);
    QString fault;
    air::TableRead read;
    QByteArray text;
    if (info.isDir())
        fault = QStringLiteral("is a folder, not a file.");
    // A pipe would wait for a writer, and a device may never end.
    else if (info.exists() && !info.isFile())
        fault = QStringLiteral("is a device or a pipe, not a file.");
    else if (!file.open(QIODevice::ReadOnly))
        fault = QStringLiteral("cannot be read: %1.").arg(file.errorString());
    else if (text = file.read(largestTableFile + 1); text.size() > largestTableFile)
        fault = QStringLiteral("is larger than 1 MB; a drag table is a few hundred lines of Mach,Cd.");
    else if (read = air::readDragTable(std::string_view(text.constData(), std::size_t(text.size()))); !read.table)
        fault = qs(read.error);
    if (!fault.isEmpty()) {
        const QString kept = m_table ? QStringLiteral("The table from %1 stays in force.").arg(m_tableFile)
                                     : QStringLiteral("No drag table was read.");
        m_tableNote->setText(QStringLiteral("%1: %2 %3").arg(info.fileName(), fault, kept));
        m_tableNote->show();
        return false;
    }
    m_table = read.table;
    m_tableFile = info.fileName();
    m_tableText = QString::fromUtf8(text);
    m_tableNote->hide();
    if (m_law->currentIndex() != tableLaw)
        m_law->setCurrentIndex(tableLaw);
    m_lawShown = tableLaw;
    makeCustom();
    showLawRows();
    emit changed();
    return true;
}

// Typing a projectile's figure makes it a custom one, and typing a density holds it
// along the flight; what is typed counts once it is entered.
void FlightSettings::entryEdited(Entry entry)
{
    if (entry <= BallisticCoefficient)
        makeCustom();
    if (entry == AirDensity && m_withHeight->isChecked()) {
        const QSignalBlocker quiet(m_withHeight);
        m_withHeight->setChecked(false);
    }
}

void FlightSettings::entryFinished(Entry entry)
{
    if (value(entry))
        m_accepted[std::size_t(entry)] = m_entries[std::size_t(entry)]->text();
    if (entry == Altitude || entry == Temperature || entry == Pressure || entry == Humidity)
        showAir();
    emit changed();
}

bool FlightSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        const auto it = std::find(m_entries.begin(), m_entries.end(), watched);
        if (it != m_entries.end()) {
            (*it)->setText(m_accepted[std::size_t(it - m_entries.begin())]);
            emit changed();
            return true;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

std::optional<flight::AirSetup> FlightSettings::airSetup()
{
    QStringList notes;
    std::array<double, EntryCount> values{};
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry entry = Entry(i);
        QPalette palette = m_dragPanel->palette();
        if (applies(entry)) {
            const drag::FieldRange r = range(entry);
            const drag::Entry read = drag::readEntry(m_entries[i]->text().toStdString(), r);
            if (read.outcome != drag::EntryOutcome::Valid) {
                palette.setColor(QPalette::Base, errorBase);
                notes << QStringLiteral("%1: %2").arg(QLatin1String(entryInfo[i].caption),
                                                      qs(drag::entryNote(read, r)));
            }
            values[i] = read.value;
        }
        m_entries[i]->setPalette(palette);
    }
    const air::DragCurve curve = law();
    if (curve == air::DragCurve::Table && !m_table)
        notes << QStringLiteral("Drag table: choose a CSV file of Mach,Cd rows.");
    const std::optional<air::Atmosphere> firing = notes.isEmpty() ? firingAir() : std::nullopt;
    double density = values[AirDensity];
    if (firing && m_withHeight->isChecked())
        density = air::AirColumn(*firing).at(0).density * densityUnit(m_units);

    // As the fields show it: the drag solver's own figures come from these.
    drag::Projectile shown{values[Mass], values[Diameter], values[DragCoefficient], density};
    if (curve == air::DragCurve::Sphere || curve == air::DragCurve::Table)
        shown.dragCoefficient = (curve == air::DragCurve::Table ? m_table : air::standardTable(curve))->at(0);
    if (notes.isEmpty() && !standardCurve(curve))
        if (const std::string tooLight = drag::tooLightNote(shown, m_units); !tooLight.empty())
            notes << qs(tooLight);
    m_dragNote->setText(notes.join(QLatin1Char('\n')));
    m_dragNote->setVisible(!notes.isEmpty());
    if (!notes.isEmpty() || !firing || !airResistance())
        return std::nullopt;

    flight::AirSetup setup;
    air::Shot &shot = setup.shot;
    shot.units = m_units;
    shot.wind = values[Wind];
    shot.projectile = air::fromFields(shown, m_units);
    shot.projectile.curve = curve;
    shot.projectile.dragCoefficient = values[DragCoefficient];
    if (standardCurve(curve))
        shot.projectile.ballisticCoefficient =
            air::toModel(air::Field::BallisticCoefficient, values[BallisticCoefficient], drag::Units::Imperial);
    if (curve == air::DragCurve::Table)
        shot.projectile.table = m_table;
    if (applies(Spin) && values[Spin] != 0) {
        shot.projectile.ball = m_ball;
        shot.projectile.spin = values[Spin];
        shot.projectile.spinDecayTime = values[SpinDecay];
    }
    shot.air = *firing;
    if (!m_withHeight->isChecked()) {
        // The density as shown, with the firing point's speed of sound for the Mach number.
        shot.air.model = air::AirModel::ConstantDensity;
        shot.air.density = density / densityUnit(m_units);
        shot.air.speedOfSound = air::AirColumn(*firing).at(0).speedOfSound;
        if (curve == air::DragCurve::Constant && shot.wind == 0 && shot.projectile.spin == 0)
            setup.plainFactor = drag::dragFactorPerLength(shown, m_units);
    }
    return setup;
}

QList<QStringList> FlightSettings::inputRows()
{
    if (!airSetup())
        return {};
    const auto row = [this](Entry entry) {
        return QStringList{QLatin1String(entryInfo[entry].caption), m_entries[entry]->text().trimmed(),
                           m_unitLabels[entry]->text()};
    };
    QList<QStringList> rows{{QStringLiteral("Projectile"), m_projectile->currentText(), QString()},
                            {QStringLiteral("Drag law"), m_law->currentText(), QString()}};
    if (law() == air::DragCurve::Table)
        rows << QStringList{QStringLiteral("Drag table"), m_tableFile, QString()};
    for (const Entry entry : {Mass, Diameter, DragCoefficient, BallisticCoefficient})
        if (applies(entry))
            rows << row(entry);
    rows << row(Altitude)
         << QStringList{QStringLiteral("Atmosphere"),
                        m_standard->isChecked() ? QStringLiteral("Standard") : QStringLiteral("Measured"), QString()};
    for (const Entry entry : {Temperature, Pressure, Humidity})
        rows << row(entry);
    rows << QStringList{QStringLiteral("Density with height"),
                        m_withHeight->isChecked() ? QStringLiteral("Yes") : QStringLiteral("No"), QString()}
         << row(AirDensity) << row(Wind);
    for (const Entry entry : {Spin, SpinDecay})
        if (applies(entry))
            rows << row(entry);
    return rows;
}

void FlightSettings::save(QSettings &settings) const
{
    settings.setValue(onKey, airResistance());
    settings.setValue(projectileKey, m_projectile->currentText());
    settings.setValue(lawKey, m_law->currentIndex());
    settings.setValue(unitsKey, unitsName(m_units));
    settings.setValue(standardKey, m_standard->isChecked());
    settings.setValue(withHeightKey, m_withHeight->isChecked());
    QStringList accepted;
    for (const QString &text : m_accepted)
        accepted << text;
    settings.setValue(entriesKey, accepted);
    settings.setValue(tableKey, m_tableText);
    settings.setValue(tableFileKey, m_tableFile);
    settings.setValue(ballKey, int(m_ball));
}

// A preset is found by its name; typed figures only in the units they were typed in,
// and only those that are still valid; a table only when it still reads.
void FlightSettings::restore(QSettings &settings)
{
    const QSignalBlocker quiet(this);
    const QByteArray tableText = settings.value(tableKey).toString().toUtf8();
    if (const air::TableRead read =
            air::readDragTable(std::string_view(tableText.constData(), std::size_t(tableText.size())));
        read.table) {
        m_table = read.table;
        m_tableText = QString::fromUtf8(tableText);
        m_tableFile = settings.value(tableFileKey).toString();
    }
    const int preset = m_projectile->findText(settings.value(projectileKey).toString());
    const int custom = int(air::presets().size());
    const QStringList texts = settings.value(entriesKey).toStringList();
    const bool sameUnits = settings.value(unitsKey).toString() == unitsName(m_units) && texts.size() == EntryCount;
    {
        const QSignalBlocker still(m_standard);
        const QSignalBlocker held(m_withHeight);
        m_standard->setChecked(settings.value(standardKey, true).toBool());
        m_withHeight->setChecked(settings.value(withHeightKey, true).toBool());
    }
    if (preset == custom && sameUnits) {
        {
            const QSignalBlocker still(m_projectile);
            m_projectile->setCurrentIndex(custom);
        }
        m_projectile->setToolTip(m_projectile->itemData(custom, Qt::ToolTipRole).toString());
        const int ball = settings.value(ballKey, 0).toInt();
        if (ball >= int(air::Ball::None) && ball <= int(air::Ball::Soccer))
            m_ball = air::Ball(ball);
        const int savedLaw = settings.value(lawKey, 0).toInt();
        if (savedLaw >= 0 && savedLaw <= tableLaw && (savedLaw != tableLaw || m_table)) {
            m_law->setCurrentIndex(savedLaw);
            m_lawShown = savedLaw;
        }
    } else if (preset >= 0 && preset < custom) {
        const QSignalBlocker still(m_projectile);
        m_projectile->setCurrentIndex(preset);
        m_projectile->setToolTip(m_projectile->itemData(preset, Qt::ToolTipRole).toString());
        showPreset();
    }
    if (sameUnits)
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const bool projectile = Entry(i) <= BallisticCoefficient;
            if ((projectile && preset != custom) || texts[int(i)].isEmpty())
                continue;
            if (drag::readEntry(texts[int(i)].toStdString(), range(Entry(i))).outcome == drag::EntryOutcome::Valid) {
                m_accepted[i] = texts[int(i)];
                m_entries[i]->setText(texts[int(i)]);
            }
        }
    showAir();
    // A density typed to hold along the flight, which the air's own replaced.
    if (!m_withHeight->isChecked() && sameUnits &&
        drag::readEntry(texts[AirDensity].toStdString(), range(AirDensity)).outcome == drag::EntryOutcome::Valid) {
        m_accepted[AirDensity] = texts[AirDensity];
        m_entries[AirDensity]->setText(texts[AirDensity]);
    }
    showLawRows();
    m_airResistance->setChecked(settings.value(onKey, false).toBool());
}
