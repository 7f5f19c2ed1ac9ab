#include "front/SweepExport.h"

#include "generator/GeneratorPars.h"
#include "generator/SweepPlan.h"
#include "settings/IniFile.h"
#include "settings/SettingsKeys.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <QCoreApplication>

SweepExportResult writeSweepCsv(const SweepPlan &plan, const QString &csvPath, QString *reason)
{
    // A failed write leaves the file that was there before. QSaveFile's
    // commit does not see a failure of its last flush, so the bytes are
    // flushed (and checked) first.
    QSaveFile file(csvPath);
    const QByteArray text = sweepCsv(plan).toUtf8();
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush() || !file.commit()) {
        if (reason)
            *reason = QCoreApplication::translate("SweepExport", "Не могу записать файл '%1': %2")
                          .arg(csvPath, errno != 0 ? systemErrorReason(errno) : file.errorString());
        return SweepExportResult::WriteFailed;
    }
    return SweepExportResult::Written;
}

SweepExportResult exportSweepCsv(const QString &settingsPath, const QString &csvPath, QString *reason)
{
    // A missing file would silently give the default record: a mistyped path
    // must not pass for the operator's settings.
    if (!QFileInfo(settingsPath).isFile()) {
        if (reason)
            *reason = QCoreApplication::translate("SweepExport", "Файл настроек '%1' не найден").arg(settingsPath);
        return SweepExportResult::NoSettingsFile;
    }
    const TIniFile settings(settingsPath);
    GENERATOR_PARS pars;
    readGeneratorSettings(&settings, pars);
    return writeSweepCsv(SweepPlan(pars), csvPath, reason);
}
