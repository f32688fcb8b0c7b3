#pragma once

// The flight window's side panel: whether the shots also fly through the air, and
// the projectile they fly as (a preset, or the user's own figures in the problem's
// units). Each entry is read when it is entered and a refused one is marked in
// place with the reason under the fields; Escape puts back the last value read.
// The choices are kept between runs.

#include "drag_inputs.h"

#include <QList>
#include <QScrollArea>
#include <QStringList>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSettings;

class FlightSettings : public QScrollArea
{
    Q_OBJECT

public:
    explicit FlightSettings(QWidget *parent = nullptr);

    // Figures typed in the other unit system no longer hold: a custom projectile
    // goes back to the first preset.
    void setUnits(drag::Units units);

    bool airResistance() const;
    // The drag factor per unit of length while air resistance is on and every entry
    // is valid; otherwise none, with each refused entry marked and the reason shown.
    std::optional<double> dragFactor();
    // The projectile and its figures, one per row with the unit apart; none unless
    // dragFactor() has one.
    QList<QStringList> inputRows();

    void save(QSettings &settings) const;
    void restore(QSettings &settings);

    QSize sizeHint() const override;

signals:
    // Something that changes the flights: the check box, the projectile, an entry.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls(QGridLayout *grid);
    void presetChosen(int index);
    void showPresetFields();
    void fieldEdited();
    void fieldFinished();
    drag::Projectile shown() const;

    QWidget *m_contents = nullptr;
    QCheckBox *m_airResistance = nullptr;
    QWidget *m_dragPanel = nullptr;
    QComboBox *m_projectile = nullptr;
    std::vector<QLineEdit *> m_fields; // mass, diameter, drag coefficient, air density
    std::vector<QLabel *> m_fieldUnits;
    std::vector<QString> m_accepted; // each field's last text that was read, for Escape
    QLabel *m_dragNote = nullptr;
    drag::Units m_units = drag::Units::Metric;
};
