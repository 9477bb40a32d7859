#include "PrinzelApp.h"

#include <QApplication>
#include <csignal>

int main(int argc, char **argv) {
    // Past a file-size limit a write then fails with its reason, which is
    // reported, rather than the signal ending prinzel without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    PrinzelApp::choosePlatform();
    QApplication application(argc, argv);
    return PrinzelApp::run(application.arguments());
}
