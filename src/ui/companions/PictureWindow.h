#pragma once

#include <QImage>
#include <QWidget>
#include <memory>

class QLabel;
class QPrinter;
class QPushButton;

// mspaint: shows a picture (the screen capture) scaled to the window, with
// "Print" and "Close".
class PictureWindow final : public QWidget {
    Q_OBJECT

public:
    // path: the picture, or empty when none was found; printer: the one the
    // printer set-up chose, shared by every window that prints.
    PictureWindow(const QString &path, const QString &shownName, std::shared_ptr<QPrinter> printer,
                  QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void print();
    void scalePicture();

    QImage m_image;
    std::shared_ptr<QPrinter> m_printer;
    QLabel *m_picture;
    QLabel *m_note;
    QPushButton *m_print;
};
