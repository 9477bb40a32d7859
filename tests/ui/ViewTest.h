#pragma once

#include <QObject>
#include <gtest/gtest.h>

// The child of that name, or a failure that names the one missing.
template <typename T = QWidget> T *child(const QObject &parent, const QString &name) {
    T *found = parent.findChild<T *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}
