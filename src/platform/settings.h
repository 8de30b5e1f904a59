#pragma once

#include <QString>
#include <QtGlobal>

// The settings kept between runs (quorvel5.ini beside the program).
struct Settings {
    double TIMEOUT = 1.0;       // seconds without a reply before a resend
    qint16 TIMERINTERVAL = 50;  // poll timer interval in milliseconds
    QString INITDIR;            // where every file dialog opens
    QString ARCHIVDIR;          // where finished visits are kept; "" until chosen
    // Months between two safety checks (STK): the maker's interval, at most
    // the legal two years.
    int STKINTERVAL = kMaxStkInterval;
    static constexpr int kMaxStkInterval = 24;
};
