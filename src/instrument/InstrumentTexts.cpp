#include "instrument/InstrumentTexts.h"

#include "runtime/NumberFormat.h"

namespace InstrumentTexts {

QString detectionReportCaption()
{
    return QStringLiteral("Сообщение TInitDevicesThread::Execute()!");
}

QString unexpectedException()
{
    return QStringLiteral("Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!");
}

QString cannotCreateSettingsFile(const QString &path)
{
    return QStringLiteral("Не могу создать файл штатных настроек '") + path + QStringLiteral("'!");
}

QString libraryNotLoaded(const QString &reasons)
{
    return QStringLiteral("Не могу загрузить библиотеку Modlink!\n") + reasons;
}

QString wrongLibraryVersion(const QString &fileName, std::uint32_t found, std::uint32_t required)
{
    const auto version = [](std::uint32_t v) {
        return QString::number(v >> 16) + QLatin1Char('.') + QString::number(v & 0xFFFF);
    };
    return QStringLiteral("Неправильная версия библиотеки %1!\nТекущая: %2 Требуется: %3")
        .arg(fileName, version(found), version(required));
}

QString noModuleInterface()
{
    return QStringLiteral("Не могу получить интерфейс на модуль G-740!");
}

QString moduleNotFound()
{
    return QStringLiteral("Модуль G-740 не обнаружен!");
}

QString getModuleNameFailed()
{
    return QStringLiteral("Не могу выполнить функцию GetModuleName()!");
}

QString notAG740()
{
    return QStringLiteral("Обнаруженное устройство не является модулем 'G-740'!");
}

QString getUsbSpeedFailed()
{
    return QStringLiteral("Не могу выполнить функцию GetUsbSpeed()!");
}

QString wrongUsbSpeed()
{
    return QStringLiteral("Считалась неправильная скорость работы шины USB!");
}

QString getModuleDescriptionFailed()
{
    return QStringLiteral("Не могу выполнить функцию GET_MODULE_DESCRIPTION()!");
}

QString deviceFunctionFailed(const char *function)
{
    return QStringLiteral("Не могу выполнить функцию %1()").arg(QLatin1String(function));
}

QString noModule()
{
    return QStringLiteral("Модуль G-740 не обнаружен: сначала нужно обнаружить модуль.");
}

QString refusedWhileRunning()
{
    return QStringLiteral("Параметры генератора нельзя менять, пока генератор работает.");
}

QString setRefusedWhileRunning()
{
    return QStringLiteral("Набор параметров нельзя загрузить, пока генератор работает: остановите генератор и "
                          "загрузите набор снова.");
}

QString outOfRange(const QString &field, double value, double min, double max)
{
    return QStringLiteral("%1: значение %2 вне допустимого диапазона %3 .. %4")
        .arg(field, formatGeneral(value), formatGeneral(min), formatGeneral(max));
}

QString conflict(const QString &field, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(field, reason);
}

} // namespace InstrumentTexts
