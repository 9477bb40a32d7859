#pragma once

#include "calendar/RoomsBoard.h"

#include <QPixmap>
#include <QStaticText>
#include <QWidget>
#include <array>

class QLabel;
class QScrollArea;
class QToolButton;

// The board itself: room names down the left, the hours of each day
// across, each booking a block in its status colour, a section of a booked
// hall hatched. It turns the mouse and the keys into cells for RoomsBoard
// and draws what RoomsBoard holds; it decides nothing.
class RoomsBoardCanvas final : public QWidget {
    Q_OBJECT

public:
    static constexpr int NameWidth = 170;
    static constexpr int HeaderHeight = 34;
    static constexpr int RowHeight = 30;
    static constexpr int EdgeGrip = 5; // pixels at a block's end that stretch it

    explicit RoomsBoardCanvas(RoomsBoard &board, QWidget *parent = nullptr);

    // The cell under a point of the canvas; an invalid cell off the board.
    BoardCell cellAt(const QPoint &point) const;
    // Where a cell, or a run of columns, is drawn.
    QRectF cellRect(const BoardCell &cell) const;
    QRectF spanRect(int row, int day, int firstSlot, int endSlot) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void boardChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Where the hours are written: the top of what the scroll area shows,
    // so they stay in view as the rooms scroll.
    int headerTop() const { return std::max(0, -y()); }
    double slotWidth() const;
    // What does not change between paints (the grid, the room names, each
    // block's texts cut to its width), made again once the board or the
    // size changes.
    void prepare();
    double dayWidth() const;
    bool onEndEdge(const QPoint &point, const BoardCell &cell) const;
    void paintHeader(QPainter &painter) const;
    void paintRows(QPainter &painter) const;
    void paintBlocks(QPainter &painter) const;
    void paintDrag(QPainter &painter) const;
    void paintCursor(QPainter &painter) const;

    RoomsBoard &m_board;
    bool m_prepared = false;
    int m_preparedFor = -1; // the board's generation
    QPixmap m_grid;
    QList<std::array<QStaticText, 2>> m_blockTexts;
    QList<QStaticText> m_shadeTexts; // empty where an earlier one lies
};

// The board's panel: Day and Week, back and forward, the shown day or
// week, the legend of status colours, the board and a line for what the
// board refused.
class RoomsBoardView final : public QWidget {
    Q_OBJECT

public:
    explicit RoomsBoardView(RoomsBoard &board, QWidget *parent = nullptr);

    RoomsBoardCanvas *canvas() const { return m_canvas; }

public slots:
    void refresh();

private:
    RoomsBoard &m_board;
    QToolButton *m_day = nullptr;
    QToolButton *m_week = nullptr;
    QLabel *m_caption = nullptr;
    QList<QLabel *> m_legend;
    QScrollArea *m_scroll = nullptr;
    RoomsBoardCanvas *m_canvas = nullptr;
    QLabel *m_notice = nullptr;
    int m_legendFor = -1;
    int m_noticesSeen = 0;
    BoardCell m_shownCursor;
    int m_cursorFor = -1;
};
