#include "PictureWindow.h"

#include <QHBoxLayout>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

PictureWindow::PictureWindow(const QString &path, const QString &shownName,
                             std::shared_ptr<QPrinter> printer, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_printer(std::move(printer))
    , m_picture(new QLabel(this))
    , m_note(new QLabel(this))
    , m_print(new QPushButton(tr("Print"), this)) {
    setObjectName(QStringLiteral("mspaint"));
    setWindowTitle(tr("%1 - Picture").arg(shownName));

    m_picture->setObjectName(QStringLiteral("picture"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setMinimumSize(160, 120);
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_note->setObjectName(QStringLiteral("lblnote"));
    m_note->setWordWrap(true);
    m_print->setObjectName(QStringLiteral("cmdprint"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdclose"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_note, 1);
    buttons->addWidget(m_print);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picture, 1);
    layout->addLayout(buttons);
    resize(800, 600);

    if (path.isEmpty()) {
        m_note->setText(tr("%1 was not found.").arg(shownName));
    } else {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        m_image = reader.read();
        if (m_image.isNull())
            m_note->setText(tr("%1 cannot be shown: %2").arg(shownName, reader.errorString()));
    }
    m_print->setEnabled(!m_image.isNull());
    scalePicture();

    connect(m_print, &QPushButton::clicked, this, &PictureWindow::print);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

void PictureWindow::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    scalePicture();
}

// Never enlarged beyond its own size, so a small capture stays sharp.
void PictureWindow::scalePicture() {
    if (m_image.isNull())
        return;
    QSize size = m_image.size();
    if (size.width() > m_picture->width() || size.height() > m_picture->height())
        size.scale(m_picture->size(), Qt::KeepAspectRatio);
    m_picture->setPixmap(
        QPixmap::fromImage(m_image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void PictureWindow::print() {
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(m_printer.get())) {
        m_note->setText(tr("The picture could not be printed."));
        return;
    }
    const QRect page = painter.viewport();
    QSize size = m_image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(m_image.rect());
    painter.drawImage(0, 0, m_image);
    painter.end();
    m_note->setText(tr("Sent to the printer."));
}
