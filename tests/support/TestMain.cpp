#include <QCoreApplication>
#include <gtest/gtest.h>

// Qt Sql needs an application object to load its drivers.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
