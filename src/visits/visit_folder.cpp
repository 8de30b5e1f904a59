#include "visits/visit_folder.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

#include "platform/paths.h"

VisitFolder::~VisitFolder() {
    if (!temp_.isEmpty() && final_.isEmpty()) QDir(temp_).removeRecursively();
}

bool VisitFolder::begin(const QString& archive, const QString& serial_folder, const QDateTime& when,
                        QString* error) {
    parent_ = with_trailing_slash(archive) + serial_folder + u'/';
    stamp_ = visit_stamp(when);
    if (!QDir().mkpath(parent_)) {
        *error = parent_;
        return false;
    }
    // A dot keeps the half-filled folder out of the archive's listing.
    for (int n = 0; n < 100 && temp_.isEmpty(); ++n) {
        const QString candidate =
            parent_ + u'.' + stamp_ + QStringLiteral(".writing%1").arg(n ? QString::number(n) : "");
        if (!QFileInfo::exists(candidate) && QDir().mkdir(candidate)) temp_ = candidate;
    }
    if (temp_.isEmpty()) {
        *error = parent_;
        return false;
    }
    return true;
}

QString VisitFolder::file_path(const QString& name) const {
    return temp_ + u'/' + name;
}

bool VisitFolder::write_bytes(const QString& name, const QByteArray& bytes, QString* error) {
    QSaveFile file(file_path(name));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

bool VisitFolder::commit(QString* error) {
    for (int n = 1; n < 100; ++n) {
        const QString candidate = parent_ + stamp_ + (n > 1 ? QStringLiteral("_%1").arg(n) : "");
        if (QFileInfo::exists(candidate)) continue;
        // rename() keeps an existing folder of that name whole; it fails
        // instead of replacing it.
        if (QDir().rename(temp_, candidate)) {
            final_ = candidate;
            return true;
        }
        if (!QFileInfo::exists(candidate)) break;
    }
    *error = temp_;
    return false;
}

QString visit_stamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

QDateTime visit_time_of(const QString& folder_name) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8}_\\d{6})(_\\d{1,2})?$"));
    const QRegularExpressionMatch match = pattern.match(folder_name);
    if (!match.hasMatch()) return {};
    return QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd_HHmmss"));
}
