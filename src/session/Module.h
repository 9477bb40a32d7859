#pragma once

#include "Configuration.h"
#include "CurrentEvent.h"
#include "DatabaseAccess.h"
#include "LongOperation.h"
#include "OperatorSession.h"
#include "StaffLocation.h"
#include "ports/Companions.h"
#include "ports/MessageChannel.h"
#include "ports/Messages.h"
#include "ports/ReportLauncher.h"
#include "ports/SharedRoutines.h"
#include "storage/Databases.h"
#include "values/EntryChecks.h"

class Clipboard;
class Clock;
class KeySender;
class Printer;
class Programs;
class Prompts;
class ScreenGrabber;

// The operator's side of the world, handed to every logic class.
struct Ports {
    Prompts &prompts;
    Clipboard &clipboard;
    Programs &programs;
    Clock &clock;
    KeySender &keys;
    Printer &printer;
    ScreenGrabber &screen;
};

// Everything shared module-wide for one run: the ports, the storage, the
// operator, the configuration and the message channel. Made once at start-up.
class Module {
public:
    Module(StorageSettings storage, Ports ports);
    Module(const Module &) = delete;
    Module &operator=(const Module &) = delete;

    QString clubPath(const QString &fileName) const { return databases.clubPath(fileName); }

    Ports ports;
    Databases databases;
    MessageChannel channel;
    OperatorSession session;
    Configuration config;
    Messages messages;
    StaffLocation staff;
    SharedRoutines routines;
    EntryChecks checks;
    Companions companions;
    DatabaseAccess access;       // opens databases for windows' commands
    LongOperation longOperation; // writing commands wait while one runs
    CurrentEvent event;          // the event the main window shows
    ReportRequest report;        // the next report to launch
};
