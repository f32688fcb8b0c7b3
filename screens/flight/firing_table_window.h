#pragma once

// The firing table of a result screen's problem: one value stepped from a first to a
// last (the distance, or the velocity or angle the screen takes), one row per value
// with each solution's figures, and with the flight window's air on the same with
// air. Rows are computed a few at a time, so the window answers while a long table
// with air fills. Copy, Save as CSV and Print give the rows the table shows.

#include "solvers/firing_table.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;

namespace firing {

// The header and the rows as lists of cells, for views, Copy and CSV alike.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void setHeader(const QStringList &header);
    void appendRow(const QStringList &cells);
    // The header, then the rows.
    QList<QStringList> cells() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_header;
    QList<QStringList> m_rows;
};

} // namespace firing

class FiringTableWindow : public QWidget
{
    Q_OBJECT

public:
    explicit FiringTableWindow(QWidget *resultScreen);

    // The problem on the screen; the steps start over when what can vary changes.
    void setProblem(const firing::Problem &problem);
    // The flight window's air while it is on and valid; none flies the vacuum only.
    void setAir(const std::optional<firing::AirShot> &air);

    void showBeside();

    // The header, then one list of cells per row computed so far.
    QList<QStringList> rows() const;
    // Rows still to compute, or a rebuild on its way.
    bool computing() const;
    void copyRows() const;
    void saveCsv();
    void print();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void resetSteps();
    void rebuildSoon();
    void rebuild();
    void computeSome();
    std::optional<double> entry(QLineEdit *edit, const QString &caption, QStringList &faults) const;
    firing::Varied varied() const;
    QString unitOf(firing::Varied varied) const;
    QString problemText() const;

    firing::Problem m_problem;
    bool m_haveProblem = false;
    QLabel *m_caption = nullptr;
    QComboBox *m_varies = nullptr;
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QLineEdit *m_step = nullptr;
    std::vector<QLabel *> m_units;
    QLabel *m_status = nullptr;
    QTableView *m_view = nullptr;
    firing::GridModel *m_model = nullptr;
    QTimer *m_pending = nullptr;
    QTimer *m_rebuild = nullptr;  // one rebuild for the problem and the air changed together
    std::vector<double> m_values; // still to compute
    firing::Problem m_computing;  // the problem the rows are being computed for
    firing::Varied m_computingVaried = firing::Varied::Distance;
    std::size_t m_total = 0;
};
