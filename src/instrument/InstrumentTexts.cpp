#include "instrument/InstrumentTexts.h"

#include "runtime/NumberFormat.h"
#include <QCoreApplication>
#include <QStringList>

namespace InstrumentTexts {

QString detectionReportCaption()
{
    return QCoreApplication::translate("InstrumentTexts", "Сообщение TInitDevicesThread::Execute()!");
}

QString unexpectedException()
{
    return QCoreApplication::translate("InstrumentTexts", "Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!");
}

QString cannotCreateSettingsFile(const QString &path)
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу создать файл штатных настроек '") + path + QStringLiteral("'!");
}

QString libraryNotLoaded(const QString &reasons)
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу загрузить библиотеку Modlink!\n") + reasons;
}

QString wrongLibraryVersion(const QString &fileName, std::uint32_t found, std::uint32_t required)
{
    const auto version = [](std::uint32_t v) {
        return QString::number(v >> 16) + QLatin1Char('.') + QString::number(v & 0xFFFF);
    };
    return QCoreApplication::translate("InstrumentTexts", "Неправильная версия библиотеки %1!\nТекущая: %2 Требуется: %3")
        .arg(fileName, version(found), version(required));
}

QString noModuleInterface()
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу получить интерфейс на модуль G-740!");
}

QString moduleNotFound()
{
    return QCoreApplication::translate("InstrumentTexts", "Модуль G-740 не обнаружен!");
}

QString getModuleNameFailed()
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу выполнить функцию GetModuleName()!");
}

QString notAG740()
{
    return QCoreApplication::translate("InstrumentTexts", "Обнаруженное устройство не является модулем 'G-740'!");
}

QString getUsbSpeedFailed()
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу выполнить функцию GetUsbSpeed()!");
}

QString wrongUsbSpeed()
{
    return QCoreApplication::translate("InstrumentTexts", "Считалась неправильная скорость работы шины USB!");
}

QString getModuleDescriptionFailed()
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу выполнить функцию GET_MODULE_DESCRIPTION()!");
}

QString deviceFunctionFailed(const char *function)
{
    return QCoreApplication::translate("InstrumentTexts", "Не могу выполнить функцию %1()").arg(QLatin1String(function));
}

QString noModule()
{
    return QCoreApplication::translate("InstrumentTexts", "Модуль G-740 не обнаружен: сначала нужно обнаружить модуль.");
}

QString refusedWhileRunning()
{
    return QCoreApplication::translate("InstrumentTexts", "Параметры генератора нельзя менять, пока генератор работает.");
}

QString setRefusedWhileRunning()
{
    return QCoreApplication::translate("InstrumentTexts", "Набор параметров нельзя загрузить, пока генератор работает: остановите генератор и "
                          "загрузите набор снова.");
}

QString outOfRange(const QString &field, double value, double min, double max)
{
    return QCoreApplication::translate("InstrumentTexts", "%1: значение %2 вне допустимого диапазона %3 .. %4")
        .arg(field, formatGeneral(value), formatGeneral(min), formatGeneral(max));
}

QString conflict(const QString &field, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(field, reason);
}

QString moduleBusy(const QList<std::uint16_t> &busySlots)
{
    QStringList numbers;
    for (const std::uint16_t slot : busySlots)
        numbers << QString::number(slot);
    if (numbers.size() == 1)
        return QCoreApplication::translate("InstrumentTexts", "Модуль G-740 в виртуальном слоте %1 занят другой программой")
            .arg(numbers.first());
    return QCoreApplication::translate("InstrumentTexts", "Модули G-740 в виртуальных слотах %1 заняты другой программой")
        .arg(numbers.join(QStringLiteral(", ")));
}

QString moduleLost(std::uint16_t slot, bool generatorStopped)
{
    const QString text =
        QCoreApplication::translate("InstrumentTexts", "Связь с модулем G-740 потеряна (виртуальный слот %1)").arg(slot);
    if (!generatorStopped)
        return text;
    return text + QCoreApplication::translate("InstrumentTexts", "; генератор остановлен");
}

QString moduleFoundAgain(std::uint16_t slot, bool generatorStopped)
{
    const QString text =
        QCoreApplication::translate("InstrumentTexts", "Модуль G-740 снова на связи (виртуальный слот %1)").arg(slot);
    if (!generatorStopped)
        return text;
    return text + QCoreApplication::translate("InstrumentTexts",
                                              "; генератор остановлен при потере связи и сам не запускается");
}

} // namespace InstrumentTexts
