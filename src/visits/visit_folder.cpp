#include "visits/visit_folder.h"

#include <QDir>
#include <QRegularExpression>
#include <QSaveFile>

#include "platform/file_system.h"
#include "platform/paths.h"

namespace {

// The path and, where the system refuses writing there, its reason
// ("Keine Berechtigung").
QString with_reason(const QString& path, const QString& folder) {
    const int refusal = write_access_error(folder);
    return refusal ? path + QLatin1String(" (") + system_reason(refusal) + u')' : path;
}

}  // namespace

VisitFolder::~VisitFolder() {
    if (!temp_.isEmpty() && final_.isEmpty()) QDir(temp_).removeRecursively();
}

bool VisitFolder::begin(const QString& archive, const QString& serial_folder, const QDateTime& when,
                        QString* error) {
    parent_ = with_trailing_slash(archive) + serial_folder + u'/';
    stamp_ = visit_stamp(when);
    if (!QDir().mkpath(parent_)) {
        *error = with_reason(parent_, nearest_existing_folder(parent_));
        return false;
    }
    // A dot keeps the half-filled folder out of the archive's listing.
    for (int n = 0; n < 100 && temp_.isEmpty(); ++n) {
        const QString candidate =
            parent_ + u'.' + stamp_ + QStringLiteral(".writing%1").arg(n ? QString::number(n) : "");
        if (!QFileInfo::exists(candidate) && QDir().mkdir(candidate)) temp_ = candidate;
    }
    if (temp_.isEmpty()) {
        *error = with_reason(parent_, parent_);
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
    // No look beforehand: another program may finish a visit of the same
    // device in the same second into a shared archive. The file system
    // decides who takes a name, and the loser tries the next.
    QString reason;
    for (int n = 1; n < 100; ++n) {
        const QString candidate = parent_ + stamp_ + (n > 1 ? QStringLiteral("_%1").arg(n) : "");
        switch (rename_exclusive(temp_, candidate, &reason)) {
            case RenameResult::done:
                final_ = candidate;
                return true;
            case RenameResult::taken:
                continue;
            case RenameResult::failed:
                n = 100;
                break;
        }
    }
    *error = reason.isEmpty() ? temp_ : temp_ + QLatin1String(" (") + reason + u')';
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
