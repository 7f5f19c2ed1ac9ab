#include "web/WebTexts.h"

#include <QCoreApplication>


namespace WebTexts {

QString languageCode()
{
    // Translated to the translation's own code.
    return QCoreApplication::translate("WebPage", "ru");
}

QString fieldLabel(RecordRules::Field field)
{
    using F = RecordRules::Field;
    switch (field) {
    case F::StartFrequency: return QCoreApplication::translate("WebPage", "Начальная частота");
    case F::FrequencyIncrement: return QCoreApplication::translate("WebPage", "Частота приращения");
    case F::NumberOfIncrements: return QCoreApplication::translate("WebPage", "Количество приращений");
    case F::BaseIntervalType: return QCoreApplication::translate("WebPage", "Базовый интервал");
    case F::BaseIntervalMultiplierIndex: return QCoreApplication::translate("WebPage", "Умножитель базового интервала");
    case F::BaseIntervalsNumber: return QCoreApplication::translate("WebPage", "Количество базовых интервалов");
    case F::MasterClockSource: return QCoreApplication::translate("WebPage", "Источник тактирующего сигнала");
    case F::MasterClock: return QCoreApplication::translate("WebPage", "Внешний тактирующий сигнал");
    case F::CyclicAutoScanType: return QCoreApplication::translate("WebPage", "Циклическое автосканирование");
    case F::IncrementType: return QCoreApplication::translate("WebPage", "Приращения");
    case F::CtrlLineType: return QCoreApplication::translate("WebPage", "Линия CTRL");
    case F::InterrupLineType: return QCoreApplication::translate("WebPage", "Линия INTERRUPT");
    case F::EnaSquareWaveOutput: return QCoreApplication::translate("WebPage", "Выход меандра");
    case F::EnaSyncout: return QCoreApplication::translate("WebPage", "Выход SYNCOUT");
    case F::SyncoutType: return QCoreApplication::translate("WebPage", "Импульс SYNCOUT");
    case F::AnalogOutputsType: return QCoreApplication::translate("WebPage", "Форма сигнала");
    case F::AnalogOutputsGainIndex: return QCoreApplication::translate("WebPage", "Усиление выходного тракта");
    case F::Output10OhmOffset: return QCoreApplication::translate("WebPage", "Смещение выхода 10 Ом");
    case F::Output10OhmOffsetType: return QCoreApplication::translate("WebPage", "Источник смещения");
    }
    return {};
}

QString fieldUnit(RecordRules::Field field)
{
    using F = RecordRules::Field;
    switch (field) {
    case F::StartFrequency:
    case F::FrequencyIncrement:
    case F::MasterClock:
        return QCoreApplication::translate("WebPage", "кГц");
    case F::AnalogOutputsGainIndex:
        return QCoreApplication::translate("WebPage", "дБ");
    case F::Output10OhmOffset:
        return QCoreApplication::translate("WebPage", "В");
    default:
        return {};
    }
}

QStringList fieldChoices(RecordRules::Field field)
{
    using F = RecordRules::Field;
    const QString internal = QCoreApplication::translate("WebPage", "внутренний");
    const QString external = QCoreApplication::translate("WebPage", "внешний");
    switch (field) {
    case F::BaseIntervalType: return {QCoreApplication::translate("WebPage", "период выходного сигнала"), QCoreApplication::translate("WebPage", "период тактирующего сигнала")};
    case F::BaseIntervalMultiplierIndex: return {QStringLiteral("x1"), QStringLiteral("x5"), QStringLiteral("x100"), QStringLiteral("x500")};
    case F::MasterClockSource: return {internal, external};
    case F::CyclicAutoScanType: return {QCoreApplication::translate("WebPage", "нет"), QCoreApplication::translate("WebPage", "пила"), QCoreApplication::translate("WebPage", "треугольник")};
    case F::IncrementType: return {QCoreApplication::translate("WebPage", "автоматически"), QCoreApplication::translate("WebPage", "по линии CTRL")};
    case F::CtrlLineType:
    case F::InterrupLineType:
    case F::Output10OhmOffsetType:
        return {internal, external};
    case F::EnaSquareWaveOutput:
    case F::EnaSyncout:
        return {QCoreApplication::translate("WebPage", "выключен"), QCoreApplication::translate("WebPage", "включён")};
    case F::SyncoutType: return {QCoreApplication::translate("WebPage", "на каждом приращении"), QCoreApplication::translate("WebPage", "в конце сканирования")};
    case F::AnalogOutputsType: return {QCoreApplication::translate("WebPage", "треугольник"), QCoreApplication::translate("WebPage", "синус")};
    default: return {};
    }
}

QJsonObject pageTexts()
{
    return {
        {QStringLiteral("title"), QCoreApplication::translate("WebPage", "Генератор %1")},
        {QStringLiteral("identity"), QCoreApplication::translate("WebPage", "Прибор")},
        {QStringLiteral("maker"), QCoreApplication::translate("WebPage", "Изготовитель")},
        {QStringLiteral("model"), QCoreApplication::translate("WebPage", "Модель")},
        {QStringLiteral("slot"), QCoreApplication::translate("WebPage", "Виртуальный слот")},
        {QStringLiteral("noSlot"), QCoreApplication::translate("WebPage", "нет")},
        {QStringLiteral("module"), QCoreApplication::translate("WebPage", "Модуль")},
        {QStringLiteral("moduleReady"), QCoreApplication::translate("WebPage", "готов")},
        {QStringLiteral("moduleMissing"), QCoreApplication::translate("WebPage", "не обнаружен")},
        {QStringLiteral("programVersion"), QCoreApplication::translate("WebPage", "Версия программы")},
        {QStringLiteral("libraryVersion"), QCoreApplication::translate("WebPage", "Библиотека модуля")},
        {QStringLiteral("resources"), QCoreApplication::translate("WebPage", "Адреса VISA")},
        {QStringLiteral("copy"), QCoreApplication::translate("WebPage", "Копировать")},
        {QStringLiteral("copied"), QCoreApplication::translate("WebPage", "Скопировано")},
        {QStringLiteral("remoteOff"), QCoreApplication::translate("WebPage", "удалённое управление по SCPI выключено")},
        {QStringLiteral("parameters"), QCoreApplication::translate("WebPage", "Параметры генератора")},
        {QStringLiteral("desired"), QCoreApplication::translate("WebPage", "Желаемое")},
        {QStringLiteral("produced"), QCoreApplication::translate("WebPage", "Реальное")},
        {QStringLiteral("limits"), QCoreApplication::translate("WebPage", "Пределы")},
        {QStringLiteral("producedValues"), QCoreApplication::translate("WebPage", "Что выдаёт генератор")},
        {QStringLiteral("masterClock"), QCoreApplication::translate("WebPage", "Тактирующий сигнал")},
        {QStringLiteral("startFrequency"), QCoreApplication::translate("WebPage", "Начальная частота")},
        {QStringLiteral("frequencyIncrement"), QCoreApplication::translate("WebPage", "Частота приращения")},
        {QStringLiteral("finalFrequency"), QCoreApplication::translate("WebPage", "Конечная частота")},
        {QStringLiteral("incrementDuration"), QCoreApplication::translate("WebPage", "Общая длительность приращения")},
        {QStringLiteral("amplitude10"), QCoreApplication::translate("WebPage", "Амплитуда, выход 10 Ом")},
        {QStringLiteral("amplitude50"), QCoreApplication::translate("WebPage", "Амплитуда, выход 50 Ом")},
        {QStringLiteral("offset"), QCoreApplication::translate("WebPage", "Смещение")},
        {QStringLiteral("kHz"), QCoreApplication::translate("WebPage", "кГц")},
        {QStringLiteral("ms"), QCoreApplication::translate("WebPage", "мс")},
        {QStringLiteral("V"), QCoreApplication::translate("WebPage", "В")},
        {QStringLiteral("dB"), QCoreApplication::translate("WebPage", "дБ")},
        {QStringLiteral("generator"), QCoreApplication::translate("WebPage", "Генератор")},
        {QStringLiteral("running"), QCoreApplication::translate("WebPage", "работает")},
        {QStringLiteral("stopped"), QCoreApplication::translate("WebPage", "остановлен")},
        {QStringLiteral("start"), QCoreApplication::translate("WebPage", "Запуск генератора")},
        {QStringLiteral("stop"), QCoreApplication::translate("WebPage", "Останов генератора")},
        {QStringLiteral("sets"), QCoreApplication::translate("WebPage", "Наборы параметров")},
        {QStringLiteral("load"), QCoreApplication::translate("WebPage", "Загрузить")},
        {QStringLiteral("save"), QCoreApplication::translate("WebPage", "Сохранить текущие под именем")},
        {QStringLiteral("setName"), QCoreApplication::translate("WebPage", "Имя набора")},
        {QStringLiteral("noSets"), QCoreApplication::translate("WebPage", "наборов нет")},
        {QStringLiteral("sweep"), QCoreApplication::translate("WebPage", "Развёртка")},
        {QStringLiteral("steps"), QCoreApplication::translate("WebPage", "Шагов")},
        {QStringLiteral("scanTime"), QCoreApplication::translate("WebPage", "Время сканирования")},
        {QStringLiteral("cycleTime"), QCoreApplication::translate("WebPage", "Период цикла")},
        {QStringLiteral("lowest"), QCoreApplication::translate("WebPage", "Наименьшая частота")},
        {QStringLiteral("highest"), QCoreApplication::translate("WebPage", "Наибольшая частота")},
        {QStringLiteral("largestError"), QCoreApplication::translate("WebPage", "Наибольшая ошибка, ppm")},
        {QStringLiteral("flagged"), QCoreApplication::translate("WebPage", "Шагов с 0 Гц или вне диапазона")},
        {QStringLiteral("chartTitle"), QCoreApplication::translate("WebPage", "Частота по шагам развёртки: реальная (линия) и желаемая (пунктир)")},
        {QStringLiteral("byCtrl"), QCoreApplication::translate("WebPage", "шаги по линии CTRL: ось — номер шага")},
        {QStringLiteral("readOnly"), QCoreApplication::translate("WebPage", "Только просмотр")},
        {QStringLiteral("password"), QCoreApplication::translate("WebPage", "Пароль")},
        {QStringLiteral("login"), QCoreApplication::translate("WebPage", "Войти")},
        {QStringLiteral("connectionLost"), QCoreApplication::translate("WebPage", "Связь с программой потеряна, переподключение…")},
        {QStringLiteral("done"), QCoreApplication::translate("WebPage", "Готово")},
        {QStringLiteral("notAvailable"), QCoreApplication::translate("WebPage", "-----")},
    };
}

QString readOnlyBeyondLoopback()
{
    return QCoreApplication::translate("WebPage", "Пароль веб-страницы не задан: из сети страница только показывает состояние");
}

QString loginNeeded()
{
    return QCoreApplication::translate("WebPage", "Для изменений войдите с паролем веб-страницы");
}

QString wrongPassword()
{
    return QCoreApplication::translate("WebPage", "Неверный пароль");
}

QString tooManyLogins()
{
    return QCoreApplication::translate("WebPage", "Слишком частые попытки входа: подождите секунду");
}

QString crossSiteRefused()
{
    return QCoreApplication::translate("WebPage", "Запрос отклонён: он пришёл не со страницы этого генератора");
}

QString badRequest()
{
    return QCoreApplication::translate("WebPage", "Неверный запрос");
}

QString unknownField(const QString &name)
{
    return QCoreApplication::translate("WebPage", "Нет параметра \"%1\"").arg(name);
}

QString listeningText(quint16 port)
{
    // Scripts look for this line; it is not translated.
    return QStringLiteral("web page on port %1").arg(port);
}

QString failureText(quint16 port, const QString &reason)
{
    return QCoreApplication::translate("WebPage", "Не удалось открыть порт веб-страницы %1: %2").arg(port).arg(reason);
}

} // namespace WebTexts
