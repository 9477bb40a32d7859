#include "ReservationGridModel.h"

#include "calendar/ReservationGrid.h"

ReservationGridModel::ReservationGridModel(const ReservationGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid) {}

int ReservationGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int ReservationGridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_grid.columns.size());
}

QVariant ReservationGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_grid.rowCount())
        return {};
    const QStringList &cells = m_grid.rows[index.row()];
    if ((role == Qt::DisplayRole || role == Qt::ToolTipRole) && index.column() < cells.size())
        return cells[index.column()];
    return {};
}

QVariant ReservationGridModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= m_grid.columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_grid.columns[section].caption;
}

void ReservationGridModel::reload() {
    beginResetModel();
    endResetModel();
}
