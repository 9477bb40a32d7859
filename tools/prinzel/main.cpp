#include "PrinzelApp.h"

#include <QApplication>

int main(int argc, char **argv) {
    PrinzelApp::choosePlatform();
    QApplication application(argc, argv);
    return PrinzelApp::run(application.arguments());
}
