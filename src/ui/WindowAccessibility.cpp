#include "WindowAccessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

// Asked for each class from the widget's own up to QObject, before Qt's
// factory; it answers only when the walk has reached QWidget itself, that
// is for a class that has no interface of its own.
QAccessibleInterface *windowInterface(const QString &className, QObject *object) {
    auto *widget = qobject_cast<QWidget *>(object);
    if (className != QLatin1String("QWidget") || !widget || !widget->isWindow() ||
        (widget->windowType() != Qt::Window && widget->windowType() != Qt::Dialog))
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void installWindowAccessibility() {
    QAccessible::installFactory(windowInterface);
}
