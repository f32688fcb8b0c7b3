#pragma once

// The flight window's side panel: whether the shots also fly through the air, the
// projectile they fly as (a preset, or the user's own figures and drag law), the air
// (the standard atmosphere at the firing point's altitude, or the conditions measured
// there; its density following the height or held) and the wind. Entries are in the
// problem's units. Each is read when it is entered and a refused one is marked in
// place with the reason under the fields; Escape puts back the last value read.
// The choices are kept between runs.

#include "screens/flight/flight_results.h"
#include "solvers/air_inputs.h"
#include "solvers/drag_law.h"

#include <QList>
#include <QScrollArea>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;

class FlightSettings : public QScrollArea
{
    Q_OBJECT

public:
    explicit FlightSettings(QWidget *parent = nullptr);

    // Figures typed in the other unit system no longer hold: a custom projectile goes
    // back to the first preset, and the air's figures are shown in the new units.
    void setUnits(drag::Units units);

    bool airResistance() const;
    // What the shots fly through while air resistance is on and every entry is
    // valid; otherwise none, with each refused entry marked and the reason shown.
    std::optional<flight::AirSetup> airSetup();
    // The projectile, the air and the wind, one figure per row with the unit apart;
    // none unless airSetup() has one.
    QList<QStringList> inputRows();

    // Reads a drag table (Mach, Cd) from a file and flies with it. A file that is not
    // such a table leaves the table in force as it was and says why under the drag law.
    bool loadDragTable(const QString &path);

    void save(QSettings &settings) const;
    void restore(QSettings &settings);

    QSize sizeHint() const override;

    // The panel's entries, in the order of its rows.
    enum Entry {
        Mass,
        Diameter,
        DragCoefficient,
        BallisticCoefficient,
        Altitude,
        Temperature,
        Pressure,
        Humidity,
        AirDensity,
        Wind,
        Spin,
        SpinDecay,
        EntryCount
    };

signals:
    // Something that changes the flights: a check box, a choice, an entry.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createProjectileControls(QGridLayout *grid, int &row);
    void createAirControls(QGridLayout *grid, int &row);
    QLineEdit *addEntry(QGridLayout *grid, int row, Entry entry);
    void presetChosen(int index);
    void lawChosen(int index);
    bool chooseDragTable();
    void showDragTable();
    void showLawRows();
    void showUnits();
    void showPreset();
    void showAir();
    void makeCustom();
    void entryEdited(Entry entry);
    void entryFinished(Entry entry);
    void setEntry(Entry entry, double value);
    drag::FieldRange range(Entry entry) const;
    bool applies(Entry entry) const;
    air::DragCurve law() const;
    std::optional<air::Atmosphere> firingAir() const;
    std::optional<double> value(Entry entry) const;

    QWidget *m_contents = nullptr;
    QCheckBox *m_airResistance = nullptr;
    QWidget *m_dragPanel = nullptr;
    QComboBox *m_projectile = nullptr;
    QComboBox *m_law = nullptr;
    int m_lawShown = 0; // the law in force, put back when a table is not chosen
    std::vector<QLineEdit *> m_entries;
    std::vector<QWidget *> m_captions;
    std::vector<QLabel *> m_unitLabels;
    std::vector<QString> m_accepted; // each entry's last text that was read, for Escape
    QWidget *m_tableRow = nullptr;
    QLabel *m_tableCaption = nullptr;
    QLabel *m_tableName = nullptr;
    QPushButton *m_chooseTable = nullptr;
    QLabel *m_tableNote = nullptr;
    QCheckBox *m_standard = nullptr;
    QCheckBox *m_withHeight = nullptr;
    QLabel *m_dragNote = nullptr;
    drag::Units m_units = drag::Units::Metric;

    air::Ball m_ball = air::Ball::None;            // the kind of ball whose spin the entries take
    std::shared_ptr<const air::DragTable> m_table; // the table in force, from a file
    QString m_tableFile;                           // its file's name
    QString m_tableText;                           // its text, kept between runs
    QString m_tableFolder;                         // where the last one was chosen
};
