#pragma once

#include <QStringList>

// The report program around the report job: the command line, the message
// for a failure, and the print preview when there is a display.
namespace PrinzelApp {

// Without a display server prinzel still writes its PDF, on the offscreen
// platform, rather than failing to start. Call before the application object.
void choosePlatform();
// The exit code.
int run(const QStringList &arguments);

} // namespace PrinzelApp
