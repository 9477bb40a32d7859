#include "CalendarExportDialog.h"

#include "WindowServices.h"
#include "reports/CalendarExport.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A control with its label as accessible name and its tooltip as description.
void describe(QWidget *control, const QString &name, const QString &tip) {
    control->setAccessibleName(name);
    control->setToolTip(tip);
    control->setAccessibleDescription(tip);
}

QDateEdit *dateBox(const QString &name, QWidget *parent) {
    auto *box = new QDateEdit(parent);
    box->setObjectName(name);
    box->setCalendarPopup(true);
    return box;
}

} // namespace

CalendarExportDialog::CalendarExportDialog(CalendarExport &logic, QWidget *parent)
    : QDialog(parent)
    , m_logic(logic)
    , m_from(dateBox(QStringLiteral("dtpfrom"), this))
    , m_to(dateBox(QStringLiteral("dtpto"), this))
    , m_room(new QComboBox(this))
    , m_file(new QLineEdit(this))
    , m_error(new QLabel(this)) {
    setObjectName(QStringLiteral("frmexportcalendar"));
    setWindowTitle(tr("Export Calendar"));
    setModal(true);
    describeFields();
    auto *browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdbrowse"));
    describe(browse, tr("Browse..."), tr("Chooses the file in the file window."));
    QLabel *zone = buildZoneNote();
    describeError();
    QLayout *fields = buildForm(browse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdcancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(zone);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
    setTabOrder(m_from, m_to);
    setTabOrder(m_to, m_room);
    setTabOrder(m_room, m_file);
    setTabOrder(m_file, browse);

    fillFromForm();
    connect(browse, &QPushButton::clicked, this, &CalendarExportDialog::chooseFile);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalendarExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CalendarExportDialog::reject);
    refresh();
}

void CalendarExportDialog::describeFields() {
    describe(m_from, tr("From"), tr("The first day whose events are exported."));
    describe(m_to, tr("To"), tr("The last day whose events are exported."));
    m_room->setObjectName(QStringLiteral("cboroom"));
    describe(m_room, tr("Room"), tr("The room whose events are exported, or every room."));
    m_file->setObjectName(QStringLiteral("txtfile"));
    m_file->setMinimumWidth(380);
    describe(m_file, tr("Save as"), tr("The iCalendar file written; one there is replaced."));
}

// The time zone the exported times are in.
QLabel *CalendarExportDialog::buildZoneNote() {
    auto *zone = new QLabel(this);
    zone->setObjectName(QStringLiteral("lblzone"));
    zone->setText(m_logic.form.zone);
    zone->setWordWrap(true);
    return zone;
}

void CalendarExportDialog::describeError() {
    m_error->setObjectName(QStringLiteral("lblerror"));
    m_error->setWordWrap(true);
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_error->setStyleSheet(QStringLiteral("color: #b00020; font-weight: bold;"));
    m_error->setAccessibleName(tr("Error"));
}

QLayout *CalendarExportDialog::buildForm(QWidget *browse) {
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    fileRow->addWidget(browse);
    auto *fields = new QFormLayout;
    const auto label = [this](const QString &text, QWidget *buddy) {
        auto *shown = new QLabel(text, this);
        shown->setBuddy(buddy);
        return shown;
    };
    fields->addRow(label(tr("&From:"), m_from), m_from);
    fields->addRow(label(tr("&To:"), m_to), m_to);
    fields->addRow(label(tr("&Room:"), m_room), m_room);
    fields->addRow(label(tr("&Save as:"), m_file), fileRow);
    return fields;
}

// The dates, room and file the export starts from.
void CalendarExportDialog::fillFromForm() {
    for (const auto &[number, name] : m_logic.form.rooms)
        m_room->addItem(name, number);
    for (QDateEdit *box : {m_from, m_to})
        box->setDisplayFormat(m_logic.form.dateFormat);
    m_from->setDate(m_logic.form.from);
    m_to->setDate(m_logic.form.to);
    m_room->setCurrentIndex(std::max(0, m_room->findData(m_logic.form.room)));
    m_file->setText(m_logic.form.file);
}

void CalendarExportDialog::Run(CalendarExport &logic, QWidget *parent) {
    if (!logic.open())
        return;
    CalendarExportDialog window(logic, parent);
    CenterForm(&window);
    window.exec();
}

void CalendarExportDialog::chooseFile() {
    QFileDialog files(this, tr("Export Calendar"), QDir::fromNativeSeparators(m_file->text()),
                      tr("iCalendar files (*.ics)"));
    files.setObjectName(QStringLiteral("dlgfile"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setDefaultSuffix(QStringLiteral("ics"));
    files.selectFile(QDir::fromNativeSeparators(m_file->text()));
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
        return;
    m_file->setText(QDir::toNativeSeparators(files.selectedFiles().constFirst()));
    m_logic.form.error.clear(); // a new file answers what was said
    refresh();
}

void CalendarExportDialog::accept() {
    m_logic.form.from = m_from->date();
    m_logic.form.to = m_to->date();
    m_logic.form.room = m_room->currentData().toInt();
    m_logic.form.file = m_file->text();
    if (m_logic.save())
        QDialog::accept();
    else
        refresh();
}

void CalendarExportDialog::refresh() {
    m_error->setText(m_logic.form.error);
    m_error->setVisible(!m_logic.form.error.isEmpty());
}
