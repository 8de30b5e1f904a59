#pragma once

#include <QLocale>

// Sets the default locale (numbers, the language picked at start) for the
// guard's life and puts the previous one back, also when an assertion ends the
// test early.
class LocaleGuard {
public:
    explicit LocaleGuard(const QLocale& locale) : saved_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(saved_); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

    // Switches within the guard's life; the destructor still restores the first.
    void set(const QLocale& locale) { QLocale::setDefault(locale); }

    static QLocale german() { return QLocale(QLocale::German, QLocale::Germany); }
    static QLocale english() { return QLocale(QLocale::English, QLocale::UnitedStates); }

private:
    QLocale saved_;
};
