#pragma once

#include <QDate>
#include <QString>
#include <QVector>

#include "visits/device_book.h"

class Dialogs;
class PrinterChoice;
class QPrinter;
struct LanguageTable;

struct DueListPrint {
    PrinterChoice& choice;
    Dialogs& dialogs;
    const LanguageTable& texts;
};

// The device book's rows as a list on A4 pages, as many as it needs, each
// headed with the date, the STK interval and its page number. The printer or
// PDF file is chosen in the print dialog (`pdf_proposal` offered for a PDF).
// A failure shows one message.
bool print_due_list(const DueListPrint& print, const QVector<DeviceRow>& rows, int interval_months,
                    const QDate& today, const QString& pdf_proposal);
// The same on a printer already set up; returns the pages printed (0 on failure).
int print_due_list_on(const DueListPrint& print, const QVector<DeviceRow>& rows,
                      int interval_months, const QDate& today, QPrinter& printer);
