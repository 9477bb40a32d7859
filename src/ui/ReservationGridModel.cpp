#include "ReservationGridModel.h"

#include "calendar/ReservationGrid.h"

ReservationGridModel::ReservationGridModel(const ReservationGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid) {}

int ReservationGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !m_shown ? 0 : m_grid.rowCount();
}

int ReservationGridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_grid.columns.size());
}

QVariant ReservationGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_grid.shownText(index.row(), index.column());
    case Qt::AccessibleTextRole:
        return m_grid.cellName(index.row(), index.column());
    default:
        return {};
    }
}

QVariant ReservationGridModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid.columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_grid.columns[section].caption;
    if (role == Qt::ToolTipRole && !m_grid.columns[section].tooltip.isEmpty())
        return m_grid.columns[section].tooltip;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ReservationGridModel::reload() {
    beginResetModel();
    endResetModel();
}

void ReservationGridModel::setShown(bool shown) {
    m_shown = shown;
}
