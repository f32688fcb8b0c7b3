#include "flight_settings.h"

#include "toolkit/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

using toolkit::qs;

struct DragField
{
    drag::Field field;
    const char *name;
    const char *caption;
};
const std::array<DragField, 4> dragFields{{
    {drag::Field::Mass, "Mass", "Mass"},
    {drag::Field::Diameter, "Diameter", "Diameter"},
    {drag::Field::DragCoefficient, "DragCoefficient", "Drag coefficient"},
    {drag::Field::AirDensity, "AirDensity", "Air density"},
}};

const QColor errorText(160, 0, 0);
const QColor errorBase(255, 225, 225);

const QString unitsKey = QStringLiteral("flight/units");
const QString onKey = QStringLiteral("flight/airResistance");
const QString projectileKey = QStringLiteral("flight/projectile");
const QString fieldsKey = QStringLiteral("flight/fields");

QString unitsName(drag::Units units)
{
    return units == drag::Units::Imperial ? QStringLiteral("feet") : QStringLiteral("metres");
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
        QStringLiteral("Also fly each solution through still air, with drag growing as the square of the speed"));
    column->addWidget(m_airResistance);

    m_dragPanel = new QWidget;
    m_dragPanel->setObjectName(QStringLiteral("DragPanel"));
    m_dragPanel->hide();
    auto *grid = new QGridLayout(m_dragPanel);
    grid->setContentsMargins(0, 2, 0, 2);
    grid->setVerticalSpacing(4);
    createControls(grid);
    column->addWidget(m_dragPanel);
    column->addStretch(1);
    setWidget(m_contents);

    connect(m_airResistance, &QCheckBox::toggled, this, [this](bool on) {
        m_dragPanel->setVisible(on);
        emit changed();
    });
    showPresetFields();
}

void FlightSettings::createControls(QGridLayout *grid)
{
    m_projectile = new QComboBox;
    m_projectile->setObjectName(QStringLiteral("Projectile"));
    for (const drag::Preset &preset : drag::presets()) {
        m_projectile->addItem(QString::fromUtf8(preset.name));
        m_projectile->setItemData(m_projectile->count() - 1, QString::fromUtf8(preset.source), Qt::ToolTipRole);
    }
    m_projectile->addItem(QStringLiteral("Custom"));
    m_projectile->setItemData(m_projectile->count() - 1,
                              QStringLiteral("The mass, diameter, drag coefficient and air density as typed"),
                              Qt::ToolTipRole);
    m_projectile->setToolTip(m_projectile->itemData(0, Qt::ToolTipRole).toString());
    auto *projectileLabel = new QLabel(QStringLiteral("&Projectile"));
    projectileLabel->setBuddy(m_projectile);
    grid->addWidget(projectileLabel, 0, 0);
    grid->addWidget(m_projectile, 0, 1, 1, 2);
    connect(m_projectile, &QComboBox::currentIndexChanged, this, &FlightSettings::presetChosen);

    int row = 1;
    for (const auto &field : dragFields) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QLatin1String(field.name));
        edit->setAccessibleName(QLatin1String(field.caption));
        // Room for the longest preset figure and a little more.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0.0764743")) + 16);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, &FlightSettings::fieldEdited);
        connect(edit, &QLineEdit::editingFinished, this, &FlightSettings::fieldFinished);
        auto *caption = new QLabel(QLatin1String(field.caption));
        caption->setBuddy(edit);
        auto *unit = new QLabel;
        unit->setObjectName(QLatin1String(field.name) + QStringLiteral("Unit"));
        unit->setMinimumWidth(unit->fontMetrics().horizontalAdvance(QStringLiteral("lb/ft\u00b3")) + 4);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(unit, row, 2);
        m_fields.push_back(edit);
        m_fieldUnits.push_back(unit);
        ++row;
    }
    m_accepted.resize(m_fields.size());
    grid->setColumnStretch(1, 1);

    m_dragNote = new QLabel;
    m_dragNote->setObjectName(QStringLiteral("DragNote"));
    m_dragNote->setWordWrap(true);
    QPalette notePalette = m_dragNote->palette();
    notePalette.setColor(QPalette::WindowText, errorText);
    m_dragNote->setPalette(notePalette);
    m_dragNote->hide();
    grid->addWidget(m_dragNote, row, 0, 1, 3);
}

QSize FlightSettings::sizeHint() const
{
    // Wide enough for its widest row, without a horizontal scroll bar.
    const QSize inner = m_contents->sizeHint();
    return {inner.width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth(), inner.height()};
}

void FlightSettings::setUnits(drag::Units units)
{
    if (units == m_units)
        return;
    m_units = units;
    if (m_projectile->currentIndex() >= int(drag::presets().size())) {
        const QSignalBlocker quiet(m_projectile);
        m_projectile->setCurrentIndex(0);
        m_projectile->setToolTip(m_projectile->itemData(0, Qt::ToolTipRole).toString());
    }
    showPresetFields();
}

bool FlightSettings::airResistance() const
{
    return m_airResistance->isChecked();
}

void FlightSettings::presetChosen(int index)
{
    m_projectile->setToolTip(m_projectile->itemData(index, Qt::ToolTipRole).toString());
    if (index < int(drag::presets().size())) {
        showPresetFields();
        emit changed();
    }
}

// The chosen preset's figures in the problem's units.
void FlightSettings::showPresetFields()
{
    for (std::size_t i = 0; i < dragFields.size(); ++i) {
        const drag::FieldRange range = drag::fieldRange(dragFields[i].field, m_units);
        m_fieldUnits[i]->setText(QString::fromUtf8(range.unit));
        m_fields[i]->setToolTip(
            QStringLiteral("%1: a number from %2 to %3%4. Enter sets it, Escape keeps the old value.")
                .arg(QLatin1String(dragFields[i].caption), qs(drag::fieldText(range.minimum)),
                     qs(drag::fieldText(range.maximum)),
                     *range.unit ? QStringLiteral(" ") + QString::fromUtf8(range.unit) : QString()));
    }
    const int index = m_projectile->currentIndex();
    if (index < 0 || index >= int(drag::presets().size()))
        return;
    const drag::Projectile p = drag::inUnits(drag::presets()[std::size_t(index)].metric, m_units);
    const std::array<double, 4> values{p.mass, p.diameter, p.dragCoefficient, p.airDensity};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_accepted[i] = qs(drag::fieldText(values[i]));
        m_fields[i]->setText(m_accepted[i]);
    }
}

// Typing makes the projectile a custom one; what is typed counts once it is entered.
void FlightSettings::fieldEdited()
{
    const int custom = int(drag::presets().size());
    if (m_projectile->currentIndex() != custom) {
        const QSignalBlocker quiet(m_projectile);
        m_projectile->setCurrentIndex(custom);
        m_projectile->setToolTip(m_projectile->itemData(custom, Qt::ToolTipRole).toString());
    }
}

void FlightSettings::fieldFinished()
{
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (drag::readEntry(m_fields[i]->text().toStdString(), drag::fieldRange(dragFields[i].field, m_units))
                .outcome == drag::EntryOutcome::Valid)
            m_accepted[i] = m_fields[i]->text();
    emit changed();
}

bool FlightSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        const auto it = std::find(m_fields.begin(), m_fields.end(), watched);
        if (it != m_fields.end()) {
            (*it)->setText(m_accepted[std::size_t(it - m_fields.begin())]);
            emit changed();
            return true;
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

std::optional<double> FlightSettings::dragFactor()
{
    QStringList notes;
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const drag::FieldRange range = drag::fieldRange(dragFields[i].field, m_units);
        const drag::Entry entry = drag::readEntry(m_fields[i]->text().toStdString(), range);
        QPalette palette = m_dragPanel->palette();
        if (entry.outcome != drag::EntryOutcome::Valid) {
            palette.setColor(QPalette::Base, errorBase);
            notes << QStringLiteral("%1: %2").arg(QLatin1String(dragFields[i].caption),
                                                  qs(drag::entryNote(entry, range)));
        }
        m_fields[i]->setPalette(palette);
        values[i] = entry.value;
    }
    const drag::Projectile projectile{values[0], values[1], values[2], values[3]};
    if (notes.isEmpty())
        if (const std::string tooLight = drag::tooLightNote(projectile, m_units); !tooLight.empty())
            notes << qs(tooLight);
    m_dragNote->setText(notes.join(QLatin1Char('\n')));
    m_dragNote->setVisible(!notes.isEmpty());
    if (!notes.isEmpty() || !airResistance())
        return std::nullopt;
    return drag::dragFactorPerLength(projectile, m_units);
}

QList<QStringList> FlightSettings::inputRows()
{
    if (!dragFactor())
        return {};
    QList<QStringList> rows{{QStringLiteral("Projectile"), m_projectile->currentText(), QString()}};
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        rows << QStringList{QLatin1String(dragFields[i].caption), m_fields[i]->text().trimmed(),
                            m_fieldUnits[i]->text()};
    return rows;
}

void FlightSettings::save(QSettings &settings) const
{
    settings.setValue(onKey, airResistance());
    settings.setValue(projectileKey, m_projectile->currentText());
    settings.setValue(unitsKey, unitsName(m_units));
    QStringList accepted;
    for (const QString &text : m_accepted)
        accepted << text;
    settings.setValue(fieldsKey, accepted);
}

// A preset is found by its name; custom figures only in the units they were typed
// in, and only those that are still valid.
void FlightSettings::restore(QSettings &settings)
{
    const QSignalBlocker quiet(this);
    const int preset = m_projectile->findText(settings.value(projectileKey).toString());
    const int custom = int(drag::presets().size());
    const QStringList fields = settings.value(fieldsKey).toStringList();
    if (preset == custom && settings.value(unitsKey).toString() == unitsName(m_units) &&
        fields.size() == int(m_fields.size())) {
        {
            const QSignalBlocker still(m_projectile);
            m_projectile->setCurrentIndex(custom);
        }
        m_projectile->setToolTip(m_projectile->itemData(custom, Qt::ToolTipRole).toString());
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            const QString &text = fields[int(i)];
            if (drag::readEntry(text.toStdString(), drag::fieldRange(dragFields[i].field, m_units)).outcome ==
                drag::EntryOutcome::Valid) {
                m_accepted[i] = text;
                m_fields[i]->setText(text);
            }
        }
    } else if (preset >= 0 && preset < custom) {
        m_projectile->setCurrentIndex(preset);
    }
    m_airResistance->setChecked(settings.value(onKey, false).toBool());
}
