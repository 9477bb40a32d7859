#pragma once

#include <QAbstractTableModel>

class ReservationGrid;

// The rows and captions of the reservation grid, for the table view gridres.
class ReservationGridModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ReservationGridModel(const ReservationGrid &grid, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The grid read other rows or columns.
    void reload();
    // A hidden grid has no cells, so none is reported as showing; reload()
    // after a change.
    void setShown(bool shown);
    bool isShown() const { return m_shown; }

private:
    const ReservationGrid &m_grid;
    bool m_shown = true;
};
