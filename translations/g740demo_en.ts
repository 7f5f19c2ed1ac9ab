<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>AboutProgramPanel</name>
    <message>
        <source>О программе ...</source>
        <translation>About ...</translation>
    </message>
    <message>
        <source>g740demo управляет USB-генератором качающейся частоты G-740: задаёт начальную частоту, шаг и число шагов, интервал, усиление и смещение выхода и сразу показывает значения, которые выдаст аппаратура.</source>
        <translation>g740demo controls the G-740 USB sweep signal generator: it sets the start frequency, the step and the number of steps, the interval, the output gain and offset, and shows at once the values the hardware will produce.</translation>
    </message>
    <message>
        <source>Страница проекта:</source>
        <translation>Project page:</translation>
    </message>
    <message>
        <source>Поддержка:</source>
        <translation>Support:</translation>
    </message>
    <message>
        <source>В письме о неполадке укажите версии, приведённые ниже.</source>
        <translation>When reporting a problem, quote the versions below.</translation>
    </message>
    <message>
        <source>Версии</source>
        <translation>Versions</translation>
    </message>
</context>
<context>
    <name>Application</name>
    <message>
        <source>Генератор G-740</source>
        <translation>G-740 Generator</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Показать эту справку и выйти.</source>
        <translation>Show this help and exit.</translation>
    </message>
    <message>
        <source>Язык интерфейса: ru (русский) или en (английский); сильнее выбора, сохранённого в файле настроек.</source>
        <translation>Interface language: ru (Russian) or en (English); overrides the choice kept in the settings file.</translation>
    </message>
    <message>
        <source>Показать версию программы и выйти.</source>
        <translation>Show the program version and exit.</translation>
    </message>
    <message>
        <source>Использовать файл настроек FILE вместо G740Config.ini рядом с программой.</source>
        <translation>Use the settings file FILE instead of G740Config.ini beside the program.</translation>
    </message>
    <message>
        <source>Работать без окна (дисплей не нужен): обнаружить модуль, загрузить настройки, сообщения писать в стандартный поток ошибок; работать до SIGTERM/SIGINT, затем завершить работу как окно (с автосохранением, если оно включено).</source>
        <translation>Run without a window (no display needed): detect the module, load the settings, write messages to standard error; run until SIGTERM/SIGINT, then shut down as the window does (with auto save if it is on).</translation>
    </message>
    <message>
        <source>С --headless: после успешного обнаружения запустить генератор с загруженными параметрами; при выходе он останавливается.</source>
        <translation>With --headless: after a successful detection start the generator with the loaded parameters; it is stopped on exit.</translation>
    </message>
    <message>
        <source>Удалённое управление по SCPI через TCP-порт PORT (обычно 5025; 0 — любой свободный). Когда порт открыт, в стандартный поток ошибок пишется строка &quot;remote control on port N&quot;.</source>
        <translation>SCPI remote control over TCP port PORT (usually 5025; 0: any free port). When the port is open, the line &quot;remote control on port N&quot; is written to standard error.</translation>
    </message>
    <message>
        <source>С --remote: принимать подключения на адресе ADDRESS (например, 0.0.0.0 — из сети лаборатории), а не только с этого компьютера (127.0.0.1).</source>
        <translation>With --remote: accept connections on address ADDRESS (for example 0.0.0.0: from the lab network), not only from this computer (127.0.0.1).</translation>
    </message>
    <message>
        <source>Записать таблицу шагов развёртки для параметров из файла настроек в FILE (CSV, UTF-8) и выйти; окно и модуль не нужны.</source>
        <translation>Write the sweep step table for the parameters of the settings file to FILE (CSV, UTF-8) and exit; neither the window nor the module is needed.</translation>
    </message>
    <message>
        <source>После загрузки настроек взять параметры генератора из набора NAME файла настроек. Если набора нет: в окне об этом сообщается и остаются параметры из файла; с --headless программа сообщает об этом и завершается с кодом 5, ничего не запуская и не сохраняя.</source>
        <translation>After loading the settings, take the generator parameters from the set NAME of the settings file. If there is no such set: the window says so and keeps the parameters from the file; with --headless the program says so and exits with code 5, starting and saving nothing.</translation>
    </message>
    <message>
        <source>Управление генератором G-740.

Коды завершения:
  0  нормальное завершение
  1  ошибка в командной строке
  2  нет графического дисплея
  3  модуль G-740 не обнаружен
  4  ошибка библиотеки устройства (не загружается, не та версия, нет функции, нет интерфейса)
  5  ошибка файла настроек (с --headless и --preset: нет такого набора)
  6  генератор не удалось запустить
  7  не удалось открыть порт удалённого управления
  8  не удалось записать файл (--export-sweep)</source>
        <translation>G-740 generator control.

Exit codes:
  0  normal exit
  1  bad command line
  2  no graphical display
  3  G-740 module not found
  4  device library fault (cannot load, wrong version, missing function, no interface)
  5  settings file fault (with --headless and --preset: no such set)
  6  the generator could not be started
  7  the remote control port could not be opened
  8  the file could not be written (--export-sweep)</translation>
    </message>
    <message>
        <source>Лишние аргументы: %1</source>
        <translation>Unexpected arguments: %1</translation>
    </message>
    <message>
        <source>--lang: ru или en, а не &quot;%1&quot;</source>
        <translation>--lang: ru or en, not &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--settings: не указан файл</source>
        <translation>--settings: no file given</translation>
    </message>
    <message>
        <source>--remote-listen: &quot;%1&quot; не IP-адрес</source>
        <translation>--remote-listen: &quot;%1&quot; is not an IP address</translation>
    </message>
    <message>
        <source>--export-sweep: не указан файл</source>
        <translation>--export-sweep: no file given</translation>
    </message>
    <message>
        <source>--preset: не указано название набора</source>
        <translation>--preset: no set name given</translation>
    </message>
    <message>
        <source>--start действует только вместе с --headless</source>
        <translation>--start works only together with --headless</translation>
    </message>
    <message>
        <source>
Библиотека модуля: </source>
        <translation>
Module library: </translation>
    </message>
    <message>
        <source>не найдена</source>
        <translation>not found</translation>
    </message>
    <message>
        <source> (версия %1)</source>
        <translation> (version %1)</translation>
    </message>
    <message>
        <source>Работать только с модулем в виртуальном слоте N (0..126); без этого параметра — с первым свободным модулем. Модуль, занятый другой программой, не используется.</source>
        <translation>Use only the module in virtual slot N (0..126); without this option, the first free module. A module held by another program is not used.</translation>
    </message>
    <message>
        <source>Веб-страница прибора на TCP-порту PORT (0 — любой свободный): состояние, параметры, запуск и наборы из любого браузера. Когда порт открыт, в стандартный поток ошибок пишется строка &quot;web page on port N&quot;. Только с этого компьютера, если --remote-listen не задаёт другой адрес.</source>
        <translation>The instrument&apos;s web page on TCP port PORT (0: any free port): state, parameters, start and sets from any browser. Once the port is open, the line &quot;web page on port N&quot; is written to standard error. This computer only, unless --remote-listen gives another address.</translation>
    </message>
    <message>
        <source>%1: номер порта от 0 до 65535, а не &quot;%2&quot;</source>
        <translation>%1: a port number from 0 to 65535, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>--remote-listen действует только вместе с --remote или --http</source>
        <translation>--remote-listen works only together with --remote or --http</translation>
    </message>
    <message>
        <source>--export-sweep не сочетается с --headless, --start, --remote и --http</source>
        <translation>--export-sweep cannot be combined with --headless, --start, --remote and --http</translation>
    </message>
    <message>
        <source>Прочитать строку из стандартного ввода и сохранить её как пароль веб-страницы (в файле настроек только хеш) и выйти; пустая строка убирает пароль. Без пароля страница, открытая в сеть, только показывает состояние.</source>
        <translation>Read one line from standard input, keep it as the web page&apos;s password (only its hash goes into the settings file) and exit; an empty line removes the password. Without a password a page open to the network only shows the state.</translation>
    </message>
    <message>
        <source>С --remote: on (по умолчанию) — открыть и VXI-11 (TCPIP::host::INSTR, запись в rpcbind, объявление через mDNS при --remote-listen), off — только порт SCPI.</source>
        <translation>With --remote: on (the default) also opens VXI-11 (TCPIP::host::INSTR, an entry in rpcbind, an mDNS announcement with --remote-listen); off opens the SCPI port alone.</translation>
    </message>
    <message>
        <source>--vxi11: on или off, и только вместе с --remote</source>
        <translation>--vxi11: on or off, and only together with --remote</translation>
    </message>
    <message>
        <source>--slot: номер виртуального слота от 0 до 126, а не &quot;%1&quot;</source>
        <translation>--slot: a virtual slot number from 0 to 126, not &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>DeviceLibrary</name>
    <message>
        <source>файл %1 не загружается: %2</source>
        <translation>file %1 cannot be loaded: %2</translation>
    </message>
    <message>
        <source>в файле %1 нет функции %2</source>
        <translation>file %1 lacks function %2</translation>
    </message>
    <message>
        <source>не указано ни одного файла</source>
        <translation>no file given</translation>
    </message>
</context>
<context>
    <name>DisplayCheck</name>
    <message>
        <source>нет связи с графическим дисплеем</source>
        <translation>no connection to the graphical display</translation>
    </message>
    <message>
        <source>нет связи с графическим дисплеем %1 (DISPLAY)</source>
        <translation>no connection to the graphical display %1 (DISPLAY)</translation>
    </message>
    <message>
        <source>нужен графический дисплей, а DISPLAY и WAYLAND_DISPLAY не заданы</source>
        <translation>a graphical display is needed, but neither DISPLAY nor WAYLAND_DISPLAY is set</translation>
    </message>
    <message>
        <source>%1: %2. Без дисплея: %1 --headless (без окна, удалённое управление: --remote 5025), QT_QPA_PLATFORM=offscreen %1 (окна не видно) или xvfb-run %1 (пакет xvfb).
</source>
        <translation>%1: %2. Without a display: %1 --headless (no window, remote control: --remote 5025), QT_QPA_PLATFORM=offscreen %1 (no window is shown) or xvfb-run %1 (package xvfb).
</translation>
    </message>
</context>
<context>
    <name>G740GeneratorFrame</name>
    <message>
        <source>Обнаружена ошибка преобразования строки в число.</source>
        <translation>A string could not be converted to a number.</translation>
    </message>
    <message>
        <source>Ошибка ExternalMasterClockValueLMDEditChange()!!!</source>
        <translation>Error in ExternalMasterClockValueLMDEditChange()!!!</translation>
    </message>
    <message>
        <source>Ошибка DesiredStartFrequencyValueLMDEditChange()!!!</source>
        <translation>Error in DesiredStartFrequencyValueLMDEditChange()!!!</translation>
    </message>
    <message>
        <source>Ошибка DesiredFrequencyIncrementValueLMDEditChange()!!!</source>
        <translation>Error in DesiredFrequencyIncrementValueLMDEditChange()!!!</translation>
    </message>
    <message>
        <source>Ошибка DesiredOffsetValueOutput10OhmLMDEditChange()!!!</source>
        <translation>Error in DesiredOffsetValueOutput10OhmLMDEditChange()!!!</translation>
    </message>
    <message>
        <source>Ошибка ControlGeneratorLMDButtonClick()!!!</source>
        <translation>Error in ControlGeneratorLMDButtonClick()!!!</translation>
    </message>
    <message>
        <source>Ошибка ~TG740GeneratorFrame()!!!</source>
        <translation>Error in ~TG740GeneratorFrame()!!!</translation>
    </message>
    <message>
        <source>Тактовая частота</source>
        <translation>Master clock</translation>
    </message>
    <message>
        <source>внутренняя</source>
        <translation>internal</translation>
    </message>
    <message>
        <source>внешняя</source>
        <translation>external</translation>
    </message>
    <message>
        <source>кГц</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>Цикл. автосканирование</source>
        <translation>Cyclic auto sweep</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>None</translation>
    </message>
    <message>
        <source>&apos;Пила&apos;</source>
        <translation>&apos;Sawtooth&apos;</translation>
    </message>
    <message>
        <source>&apos;Треугольник&apos;</source>
        <translation>&apos;Triangle&apos;</translation>
    </message>
    <message>
        <source>Частотные параметры</source>
        <translation>Frequency parameters</translation>
    </message>
    <message>
        <source>Начальная частота</source>
        <translation>Start frequency</translation>
    </message>
    <message>
        <source>Желаемая</source>
        <translation>Desired</translation>
    </message>
    <message>
        <source>Реальная</source>
        <translation>Actual</translation>
    </message>
    <message>
        <source>Частота приращения</source>
        <translation>Frequency step</translation>
    </message>
    <message>
        <source>Кол-во приращений</source>
        <translation>Number of steps</translation>
    </message>
    <message>
        <source>Конечная частота</source>
        <translation>Final frequency</translation>
    </message>
    <message>
        <source>Параметры интервала приращения</source>
        <translation>Step interval parameters</translation>
    </message>
    <message>
        <source>Базовый интервал приращения</source>
        <translation>Base step interval</translation>
    </message>
    <message>
        <source>Базовый интервал кратен</source>
        <translation>Base interval is a multiple of</translation>
    </message>
    <message>
        <source>периоду выходного сигнала</source>
        <translation>the output signal period</translation>
    </message>
    <message>
        <source>периоду тактовой частоты</source>
        <translation>the master clock period</translation>
    </message>
    <message>
        <source>Множитель</source>
        <translation>Multiplier</translation>
    </message>
    <message>
        <source>Колличествово базовых интервалов</source>
        <translation>Number of base intervals</translation>
    </message>
    <message>
        <source>Общая длительность приращения</source>
        <translation>Total step duration</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Параметры аналоговых выходов</source>
        <translation>Analog output parameters</translation>
    </message>
    <message>
        <source>Тип сигнала</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>треугольный</source>
        <translation>triangle</translation>
    </message>
    <message>
        <source>синусоидальный</source>
        <translation>sine</translation>
    </message>
    <message>
        <source>Усиление выходного тракта генератора</source>
        <translation>Generator output gain</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Амплитуда сигнала</source>
        <translation>Signal amplitude</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>Выход 50 Ом</source>
        <translation>50 Ohm output</translation>
    </message>
    <message>
        <source>Выход 10 Ом</source>
        <translation>10 Ohm output</translation>
    </message>
    <message>
        <source>Смещение сигнала</source>
        <translation>Signal offset</translation>
    </message>
    <message>
        <source>Тип смещения</source>
        <translation>Offset type</translation>
    </message>
    <message>
        <source>внутреннее</source>
        <translation>internal</translation>
    </message>
    <message>
        <source>внешнее</source>
        <translation>external</translation>
    </message>
    <message>
        <source>Величина смещения</source>
        <translation>Offset value</translation>
    </message>
    <message>
        <source>Желаемое</source>
        <translation>Desired</translation>
    </message>
    <message>
        <source>Реальное</source>
        <translation>Actual</translation>
    </message>
    <message>
        <source>Цифровые линии управления и выходы</source>
        <translation>Digital control lines and outputs</translation>
    </message>
    <message>
        <source>Управление приращениями</source>
        <translation>Step control</translation>
    </message>
    <message>
        <source>автоматическое</source>
        <translation>automatic</translation>
    </message>
    <message>
        <source>линией &apos;CTRL&apos;</source>
        <translation>by line &apos;CTRL&apos;</translation>
    </message>
    <message>
        <source>Линия &apos;CTRL&apos;</source>
        <translation>Line &apos;CTRL&apos;</translation>
    </message>
    <message>
        <source>Линия &apos;INTERRUP&apos;</source>
        <translation>Line &apos;INTERRUP&apos;</translation>
    </message>
    <message>
        <source>Линия &apos;SYNCOUT&apos;</source>
        <translation>Line &apos;SYNCOUT&apos;</translation>
    </message>
    <message>
        <source>Разрешение синхровыхода</source>
        <translation>Sync output enabled</translation>
    </message>
    <message>
        <source>Тип формирования </source>
        <translation>Pulse mode </translation>
    </message>
    <message>
        <source>при каждом приращении</source>
        <translation>at every step</translation>
    </message>
    <message>
        <source>в конце сканирования</source>
        <translation>at sweep end</translation>
    </message>
    <message>
        <source>Цифровой выход &quot;Меандр&quot;</source>
        <translation>Digital output &quot;Square wave&quot;</translation>
    </message>
    <message>
        <source>Обнаружено исключение.</source>
        <translation>An exception was caught.</translation>
    </message>
    <message>
        <source>Ошибка GetGeneratorPars()!!!</source>
        <translation>Error in GetGeneratorPars()!!!</translation>
    </message>
    <message>
        <source>Останов генератора</source>
        <translation>Stop generator</translation>
    </message>
    <message>
        <source>Запуск генератора</source>
        <translation>Start generator</translation>
    </message>
</context>
<context>
    <name>G740Remote</name>
    <message>
        <source>Не могу открыть порт удалённого управления %1: %2</source>
        <translation>Cannot open remote control port %1: %2</translation>
    </message>
    <message>
        <source>VXI-11 не открыт: %1</source>
        <translation>VXI-11 not opened: %1</translation>
    </message>
</context>
<context>
    <name>HeadlessLog</name>
    <message>
        <source> (удалённое управление)</source>
        <translation> (remote control)</translation>
    </message>
    <message>
        <source>Подключился клиент удалённого управления %1</source>
        <translation>Remote control client %1 connected</translation>
    </message>
    <message>
        <source>Отключился клиент удалённого управления %1</source>
        <translation>Remote control client %1 disconnected</translation>
    </message>
</context>
<context>
    <name>HeadlessRun</name>
    <message>
        <source>Загружен набор параметров &quot;%1&quot;</source>
        <translation>Parameter set &quot;%1&quot; loaded</translation>
    </message>
    <message>
        <source>Модуль %1, виртуальный слот %2</source>
        <translation>Module %1, virtual slot %2</translation>
    </message>
    <message>
        <source>Генератор запущен</source>
        <translation>Generator started</translation>
    </message>
    <message>
        <source>Генератор остановлен</source>
        <translation>Generator stopped</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>по этому пути находится каталог, а не файл</source>
        <translation>this path is a directory, not a file</translation>
    </message>
    <message>
        <source>нет прав на запись в каталог &apos;%1&apos;</source>
        <translation>no permission to write to directory &apos;%1&apos;</translation>
    </message>
    <message>
        <source>нет прав на запись (файл защищён от записи)</source>
        <translation>no permission to write (the file is write-protected)</translation>
    </message>
    <message>
        <source>файл записан в кодировке UTF-16, программа читает Windows-1251 и UTF-8</source>
        <translation>the file is in UTF-16, the program reads Windows-1251 and UTF-8</translation>
    </message>
    <message>
        <source>это не текстовый файл</source>
        <translation>this is not a text file</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>this is not a regular file</translation>
    </message>
    <message>
        <source>ошибка записи (%1)</source>
        <translation>write error (%1)</translation>
    </message>
    <message>
        <source>нет прав на запись</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>нет прав на чтение</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>нет места на диске</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>файловая система только для чтения</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>нет такого файла или каталога</source>
        <translation>no such file or directory</translation>
    </message>
    <message>
        <source>часть пути не является каталогом</source>
        <translation>part of the path is not a directory</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>файл слишком велик</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>слишком длинное имя файла</source>
        <translation>the file name is too long</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>файл занят</source>
        <translation>the file is busy</translation>
    </message>
    <message>
        <source>системная ошибка %1 (%2)</source>
        <translation>system error %1 (%2)</translation>
    </message>
    <message>
        <source>Не могу сохранить файл настроек &apos;%1&apos;: %2.</source>
        <translation>Cannot save the settings file &apos;%1&apos;: %2.</translation>
    </message>
</context>
<context>
    <name>IniText</name>
    <message>
        <source>в имени &quot;%1&quot; есть перевод строки или управляющий символ</source>
        <translation>the name &quot;%1&quot; holds a line break or another control character</translation>
    </message>
    <message>
        <source>имя &quot;%1&quot; начинается или кончается пробелом</source>
        <translation>the name &quot;%1&quot; begins or ends with a blank</translation>
    </message>
    <message>
        <source>имя ключа &quot;%1&quot; содержит &quot;=&quot; или начинается с &quot;[&quot; или &quot;;&quot;</source>
        <translation>the key name &quot;%1&quot; holds &quot;=&quot; or begins with &quot;[&quot; or &quot;;&quot;</translation>
    </message>
    <message>
        <source>в имени &quot;%1&quot; есть символы, которых нет в кодировке файла</source>
        <translation>the name &quot;%1&quot; holds characters the file&apos;s encoding lacks</translation>
    </message>
</context>
<context>
    <name>InitDevicesThread</name>
    <message>
        <source>Файл настроек</source>
        <translation>Settings file</translation>
    </message>
</context>
<context>
    <name>InstrumentTexts</name>
    <message>
        <source>Сообщение TInitDevicesThread::Execute()!</source>
        <translation>Message from TInitDevicesThread::Execute()!</translation>
    </message>
    <message>
        <source>Опаньки!!! Поймали неустранимое исключение!!!
Срочно сообщите разработчику!</source>
        <translation>Oops!!! An unrecoverable exception was caught!!!
Please report it to the developer at once!</translation>
    </message>
    <message>
        <source>Не могу создать файл штатных настроек &apos;</source>
        <translation>Cannot create the default settings file &apos;</translation>
    </message>
    <message>
        <source>Не могу загрузить библиотеку Modlink!
</source>
        <translation>Cannot load the Modlink library!
</translation>
    </message>
    <message>
        <source>Неправильная версия библиотеки %1!
Текущая: %2 Требуется: %3</source>
        <translation>Wrong version of library %1!
Current: %2 Required: %3</translation>
    </message>
    <message>
        <source>Не могу получить интерфейс на модуль G-740!</source>
        <translation>Cannot get an interface to the G-740 module!</translation>
    </message>
    <message>
        <source>Модуль G-740 не обнаружен!</source>
        <translation>G-740 module not found!</translation>
    </message>
    <message>
        <source>Не могу выполнить функцию GetModuleName()!</source>
        <translation>Cannot execute function GetModuleName()!</translation>
    </message>
    <message>
        <source>Обнаруженное устройство не является модулем &apos;G-740&apos;!</source>
        <translation>The detected device is not a &apos;G-740&apos; module!</translation>
    </message>
    <message>
        <source>Не могу выполнить функцию GetUsbSpeed()!</source>
        <translation>Cannot execute function GetUsbSpeed()!</translation>
    </message>
    <message>
        <source>Считалась неправильная скорость работы шины USB!</source>
        <translation>A wrong USB bus speed was read!</translation>
    </message>
    <message>
        <source>Не могу выполнить функцию GET_MODULE_DESCRIPTION()!</source>
        <translation>Cannot execute function GET_MODULE_DESCRIPTION()!</translation>
    </message>
    <message>
        <source>Не могу выполнить функцию %1()</source>
        <translation>Cannot execute function %1()</translation>
    </message>
    <message>
        <source>Модуль G-740 не обнаружен: сначала нужно обнаружить модуль.</source>
        <translation>G-740 module not detected: detect the module first.</translation>
    </message>
    <message>
        <source>Параметры генератора нельзя менять, пока генератор работает.</source>
        <translation>The generator parameters cannot be changed while the generator is running.</translation>
    </message>
    <message>
        <source>Набор параметров нельзя загрузить, пока генератор работает: остановите генератор и загрузите набор снова.</source>
        <translation>A parameter set cannot be loaded while the generator is running: stop the generator and load the set again.</translation>
    </message>
    <message>
        <source>%1: значение %2 вне допустимого диапазона %3 .. %4</source>
        <translation>%1: value %2 outside the allowed range %3 .. %4</translation>
    </message>
    <message>
        <source>Модуль G-740 в виртуальном слоте %1 занят другой программой</source>
        <translation>The G-740 module in virtual slot %1 is held by another program</translation>
    </message>
    <message>
        <source>Модули G-740 в виртуальных слотах %1 заняты другой программой</source>
        <translation>The G-740 modules in virtual slots %1 are held by other programs</translation>
    </message>
    <message>
        <source>Связь с модулем G-740 потеряна (виртуальный слот %1)</source>
        <translation>Lost the connection to the G-740 module (virtual slot %1)</translation>
    </message>
    <message>
        <source>; генератор остановлен</source>
        <translation>; the generator is stopped</translation>
    </message>
    <message>
        <source>Модуль G-740 снова на связи (виртуальный слот %1)</source>
        <translation>The G-740 module is connected again (virtual slot %1)</translation>
    </message>
    <message>
        <source>; генератор остановлен при потере связи и сам не запускается</source>
        <translation>; the generator stopped when the connection was lost and does not start by itself</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Модуль ??????</source>
        <translation>Module ??????</translation>
    </message>
    <message>
        <source>Модуль G-740. Генератор.</source>
        <translation>G-740 module. Generator.</translation>
    </message>
    <message>
        <source>Обнаружение модуля</source>
        <translation>Module detection</translation>
    </message>
    <message>
        <source>Виртуальный слот</source>
        <translation>Virtual slot</translation>
    </message>
    <message>
        <source>Обнаружить G-740</source>
        <translation>Detect G-740</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Авто Сохранение</source>
        <translation>Auto save</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Генератор</source>
        <translation>Generator</translation>
    </message>
    <message>
        <source>Перезагрузка Модуля</source>
        <translation>Restart module</translation>
    </message>
    <message>
        <source>Сохранение штатных настроек</source>
        <translation>Save default settings</translation>
    </message>
    <message>
        <source>Сохранение текущих настроек</source>
        <translation>Save current settings</translation>
    </message>
    <message>
        <source>Развёртка ...</source>
        <translation>Sweep ...</translation>
    </message>
    <message>
        <source>Наборы параметров ...</source>
        <translation>Parameter sets ...</translation>
    </message>
    <message>
        <source>О программе ...</source>
        <translation>About ...</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Спокойный выход из программы</source>
        <translation>Quit the program cleanly</translation>
    </message>
    <message>
        <source>Записать в файл настроек значения по умолчанию? Сохранённые настройки будут потеряны.</source>
        <translation>Write the default values to the settings file? The saved settings will be lost.</translation>
    </message>
    <message>
        <source>Подтвердите сохранение штатных настроек!</source>
        <translation>Confirm saving the default settings!</translation>
    </message>
    <message>
        <source>ОШИБКА CreateDefaultIniFile()!</source>
        <translation>ERROR in CreateDefaultIniFile()!</translation>
    </message>
    <message>
        <source>Неправильное название файла штатных настроек!</source>
        <translation>Wrong name of the default settings file!</translation>
    </message>
    <message>
        <source>Не могу создать файл штатных настроек &apos;</source>
        <translation>Cannot create the default settings file &apos;</translation>
    </message>
    <message>
        <source>
Параметры взяты из файла настроек.</source>
        <translation>
The parameters were taken from the settings file.</translation>
    </message>
    <message>
        <source>Набор параметров</source>
        <translation>Parameter set</translation>
    </message>
    <message>
        <source>Не могу открыть поток &apos;InitDevicesThread&apos;!</source>
        <translation>Cannot open the thread &apos;InitDevicesThread&apos;!</translation>
    </message>
    <message>
        <source>Ошибка OnStartInitDevicesThreadThread()!</source>
        <translation>Error in OnStartInitDevicesThreadThread()!</translation>
    </message>
    <message>
        <source>Действительно хотите завершить работу?</source>
        <translation>Do you really want to quit?</translation>
    </message>
    <message>
        <source>Подтвердите завершение!</source>
        <translation>Confirm exit!</translation>
    </message>
    <message>
        <source>Модуль </source>
        <translation>Module </translation>
    </message>
    <message>
        <source>Модуль G-740. Генератор. Виртуальный слот %1.</source>
        <translation>G-740 module. Generator. Virtual slot %1.</translation>
    </message>
    <message>
        <source>Связь потеряна</source>
        <translation>Connection lost</translation>
    </message>
</context>
<context>
    <name>MdnsPublisher</name>
    <message>
        <source>mDNS: служба Avahi недоступна, генератор не объявлен в сети</source>
        <translation>mDNS: the Avahi service is not available, the generator is not announced on the network</translation>
    </message>
</context>
<context>
    <name>ParameterSets</name>
    <message>
        <source>Набор параметров &quot;%1&quot; не найден в файле настроек.</source>
        <translation>Parameter set &quot;%1&quot; not found in the settings file.</translation>
    </message>
    <message>
        <source>Название набора параметров не может быть пустым.</source>
        <translation>The parameter set name cannot be empty.</translation>
    </message>
    <message>
        <source>Название набора параметров длиннее %1 символов.</source>
        <translation>The parameter set name is longer than %1 characters.</translation>
    </message>
    <message>
        <source>Название набора параметров не может содержать квадратные скобки, переводы строки и управляющие символы.</source>
        <translation>The parameter set name cannot contain square brackets, line breaks or control characters.</translation>
    </message>
    <message>
        <source>Название набора параметров содержит символы, которых нет в кодировке Windows-1251 файла настроек.</source>
        <translation>The parameter set name contains characters missing from the settings file&apos;s Windows-1251 encoding.</translation>
    </message>
    <message>
        <source>Название набора параметров содержит символы, которые нельзя записать в файл настроек.</source>
        <translation>The parameter set name contains characters that cannot be written to the settings file.</translation>
    </message>
</context>
<context>
    <name>ParameterSetsDialog</name>
    <message>
        <source>Наборы параметров</source>
        <translation>Parameter sets</translation>
    </message>
    <message>
        <source>Наборы параметров ...</source>
        <translation>Parameter sets ...</translation>
    </message>
    <message>
        <source>Сохранённые наборы:</source>
        <translation>Saved sets:</translation>
    </message>
    <message>
        <source>Сохранить текущие как ...</source>
        <translation>Save current as ...</translation>
    </message>
    <message>
        <source>Загрузить</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Название набора (не длиннее %1 символов):</source>
        <translation>Set name (at most %1 characters):</translation>
    </message>
    <message>
        <source>Набор &quot;%1&quot; уже есть. Заменить его текущими параметрами?</source>
        <translation>Set &quot;%1&quot; already exists. Replace it with the current parameters?</translation>
    </message>
    <message>
        <source>Подтвердите замену набора!</source>
        <translation>Confirm replacing the set!</translation>
    </message>
    <message>
        <source>Удалить набор параметров &quot;%1&quot;?</source>
        <translation>Delete parameter set &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>Подтвердите удаление набора!</source>
        <translation>Confirm deleting the set!</translation>
    </message>
</context>
<context>
    <name>PortmapRegistration</name>
    <message>
        <source>VXI-11: в rpcbind уже записана другая работающая копия программы (порт %1); эта копия доступна по порту VXI-11 %2 и через mDNS</source>
        <translation>VXI-11: rpcbind already names another running copy of the program (port %1); this copy is reachable on VXI-11 port %2 and through mDNS</translation>
    </message>
    <message>
        <source>VXI-11: rpcbind не принял запись; порт VXI-11: %1</source>
        <translation>VXI-11: rpcbind refused the entry; VXI-11 port: %1</translation>
    </message>
    <message>
        <source>VXI-11: служба rpcbind не запущена, адрес TCPIP::host::INSTR без порта не работает; порт VXI-11: %1</source>
        <translation>VXI-11: rpcbind is not running, so TCPIP::host::INSTR without a port does not work; VXI-11 port: %1</translation>
    </message>
</context>
<context>
    <name>RecordRules</name>
    <message>
        <source>задаётся циклическим автосканированием</source>
        <translation>set by the cyclic auto sweep</translation>
    </message>
    <message>
        <source>не используется при управлении приращениями линией &apos;CTRL&apos;</source>
        <translation>not used when steps are controlled by line &apos;CTRL&apos;</translation>
    </message>
    <message>
        <source>не используется с внутренним тактирующим сигналом</source>
        <translation>not used with the internal master clock</translation>
    </message>
    <message>
        <source>не используется при внешнем смещении</source>
        <translation>not used with an external offset</translation>
    </message>
</context>
<context>
    <name>RemotePortDialog</name>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Любой свободный порт</source>
        <translation>Any free port</translation>
    </message>
    <message>
        <source>Порт удалённого управления</source>
        <translation>Remote control port</translation>
    </message>
    <message>
        <source>Свободный порт выбирается при каждом включении; его номер виден в заголовке окна.</source>
        <translation>A free port is picked each time remote control is switched on; the window title shows its number.</translation>
    </message>
</context>
<context>
    <name>SettingsKeys</name>
    <message>
        <source>Не могу прочитать файл настроек &apos;%1&apos;: %2.
Используются значения по умолчанию. Файл не будет изменён, пока настройки не сохранены явно (кнопкой &quot;Сохранить&quot; или из меню).</source>
        <translation>Cannot read the settings file &apos;%1&apos;: %2.
Default values are used. The file will not be changed until the settings are saved explicitly (with the &quot;Save&quot; button or from the menu).</translation>
    </message>
    <message>
        <source>В файле настроек &apos;%1&apos; значения вне допустимых пределов заменены значениями по умолчанию:
</source>
        <translation>In the settings file &apos;%1&apos; values out of range were replaced by defaults:
</translation>
    </message>
</context>
<context>
    <name>SweepExport</name>
    <message>
        <source>Не могу записать файл &apos;%1&apos;: %2</source>
        <translation>Cannot write file &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Файл настроек &apos;%1&apos; не найден</source>
        <translation>Settings file &apos;%1&apos; not found</translation>
    </message>
</context>
<context>
    <name>SweepPlan</name>
    <message>
        <source>Шаг</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Заданная частота (кГц)</source>
        <translation>Desired frequency (kHz)</translation>
    </message>
    <message>
        <source>Код частоты</source>
        <translation>Frequency code</translation>
    </message>
    <message>
        <source>Реальная частота (кГц)</source>
        <translation>Actual frequency (kHz)</translation>
    </message>
    <message>
        <source>Ошибка (ppm)</source>
        <translation>Error (ppm)</translation>
    </message>
    <message>
        <source>Длительность шага (мс)</source>
        <translation>Step duration (ms)</translation>
    </message>
    <message>
        <source>Время от начала (мс)</source>
        <translation>Time from start (ms)</translation>
    </message>
    <message>
        <source>Отметки</source>
        <translation>Flags</translation>
    </message>
    <message>
        <source>0 Гц</source>
        <translation>0 Hz</translation>
    </message>
    <message>
        <source>код вне 24 бит</source>
        <translation>code outside 24 bits</translation>
    </message>
</context>
<context>
    <name>SweepWindow</name>
    <message>
        <source>Развёртка</source>
        <translation>Sweep</translation>
    </message>
    <message>
        <source>Окно развёртки</source>
        <translation>Sweep window</translation>
    </message>
    <message>
        <source>Сохранить CSV ...</source>
        <translation>Save CSV ...</translation>
    </message>
    <message>
        <source>Частота, кГц</source>
        <translation>Frequency, kHz</translation>
    </message>
    <message>
        <source> кГц</source>
        <translation> kHz</translation>
    </message>
    <message>
        <source>Номер шага (шаги переключаются линией &apos;CTRL&apos;)</source>
        <translation>Step number (steps are switched by line &apos;CTRL&apos;)</translation>
    </message>
    <message>
        <source>Шаг по порядку (время развёртки не определено)</source>
        <translation>Step in order (sweep time undefined)</translation>
    </message>
    <message>
        <source>Однократное сканирование</source>
        <translation>Single sweep</translation>
    </message>
    <message>
        <source>Циклическое сканирование &apos;Пила&apos;: два цикла</source>
        <translation>Cyclic sweep &apos;Sawtooth&apos;: two cycles</translation>
    </message>
    <message>
        <source>Циклическое сканирование &apos;Треугольник&apos;: два цикла</source>
        <translation>Cyclic sweep &apos;Triangle&apos;: two cycles</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:%1&apos;&gt;&amp;#9473;&amp;#9473;&lt;/span&gt; реальная частота&amp;nbsp;&amp;nbsp;&amp;nbsp;&lt;span style=&apos;color:%2&apos;&gt;&amp;#9473;&amp;#9473;&lt;/span&gt; заданная частота&amp;nbsp;&amp;nbsp;&amp;nbsp;</source>
        <translation>&lt;span style=&apos;color:%1&apos;&gt;&amp;#9473;&amp;#9473;&lt;/span&gt; actual frequency&amp;nbsp;&amp;nbsp;&amp;nbsp;&lt;span style=&apos;color:%2&apos;&gt;&amp;#9473;&amp;#9473;&lt;/span&gt; desired frequency&amp;nbsp;&amp;nbsp;&amp;nbsp;</translation>
    </message>
    <message>
        <source>синхровыход выключен</source>
        <translation>sync output off</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:%1&apos;&gt;&amp;#9475;&lt;/span&gt; импульсы SYNCOUT при каждом приращении</source>
        <translation>&lt;span style=&apos;color:%1&apos;&gt;&amp;#9475;&lt;/span&gt; SYNCOUT pulses at every step</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;color:%1&apos;&gt;&amp;#9475;&lt;/span&gt; импульсы SYNCOUT в конце сканирования</source>
        <translation>&lt;span style=&apos;color:%1&apos;&gt;&amp;#9475;&lt;/span&gt; SYNCOUT pulses at sweep end</translation>
    </message>
    <message>
        <source>Ошибка сохранения CSV!</source>
        <translation>CSV save error!</translation>
    </message>
    <message>
        <source>Сохранить CSV</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>Файлы CSV (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>Время развёртки: нет, шаги переключаются линией &apos;CTRL&apos;</source>
        <translation>Sweep time: none, steps are switched by line &apos;CTRL&apos;</translation>
    </message>
    <message>
        <source>Время развёртки: </source>
        <translation>Sweep time: </translation>
    </message>
    <message>
        <source> мс</source>
        <translation> ms</translation>
    </message>
    <message>
        <source> (цикл вверх и вниз: </source>
        <translation> (cycle up and down: </translation>
    </message>
    <message>
        <source> мс)</source>
        <translation> ms)</translation>
    </message>
    <message>
        <source>Время развёртки не определено</source>
        <translation>Sweep time undefined</translation>
    </message>
    <message>
        <source>: шаг %1 на 0 Гц</source>
        <translation>: step %1 at 0 Hz</translation>
    </message>
    <message>
        <source>: код шага %1 вне 24 бит</source>
        <translation>: code of step %1 outside 24 bits</translation>
    </message>
    <message>
        <source>Реальная частота: от </source>
        <translation>Actual frequency: from </translation>
    </message>
    <message>
        <source> до </source>
        <translation> to </translation>
    </message>
    <message>
        <source>Реальной частоты нет</source>
        <translation>No actual frequency</translation>
    </message>
    <message>
        <source>Наибольшая ошибка: </source>
        <translation>Largest error: </translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Отмечено шагов: </source>
        <translation>Flagged steps: </translation>
    </message>
    <message>
        <source>0 Гц: </source>
        <translation>0 Hz: </translation>
    </message>
    <message>
        <source>код вне 24 бит: </source>
        <translation>code outside 24 bits: </translation>
    </message>
    <message>
        <source>Время от начала, мс</source>
        <translation>Time from start, ms</translation>
    </message>
    <message>
        <source>Шаг %1: реальная частота %2 кГц</source>
        <translation>Step %1: actual frequency %2 kHz</translation>
    </message>
    <message>
        <source>Шаг %1: реальной частоты нет</source>
        <translation>Step %1: no actual frequency</translation>
    </message>
    <message>
        <source>Записан файл CSV %1, строк таблицы: %2</source>
        <translation>CSV file %1 written, table rows: %2</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>ru</source>
        <translation>en</translation>
    </message>
    <message>
        <source>Начальная частота</source>
        <translation>Start frequency</translation>
    </message>
    <message>
        <source>Частота приращения</source>
        <translation>Frequency increment</translation>
    </message>
    <message>
        <source>Количество приращений</source>
        <translation>Number of increments</translation>
    </message>
    <message>
        <source>Базовый интервал</source>
        <translation>Base interval</translation>
    </message>
    <message>
        <source>Умножитель базового интервала</source>
        <translation>Base interval multiplier</translation>
    </message>
    <message>
        <source>Количество базовых интервалов</source>
        <translation>Number of base intervals</translation>
    </message>
    <message>
        <source>Источник тактирующего сигнала</source>
        <translation>Master clock source</translation>
    </message>
    <message>
        <source>Внешний тактирующий сигнал</source>
        <translation>External master clock</translation>
    </message>
    <message>
        <source>Циклическое автосканирование</source>
        <translation>Cyclic auto scan</translation>
    </message>
    <message>
        <source>Приращения</source>
        <translation>Increments</translation>
    </message>
    <message>
        <source>Линия CTRL</source>
        <translation>CTRL line</translation>
    </message>
    <message>
        <source>Линия INTERRUPT</source>
        <translation>INTERRUPT line</translation>
    </message>
    <message>
        <source>Выход меандра</source>
        <translation>Square wave output</translation>
    </message>
    <message>
        <source>Выход SYNCOUT</source>
        <translation>SYNCOUT output</translation>
    </message>
    <message>
        <source>Импульс SYNCOUT</source>
        <translation>SYNCOUT pulse</translation>
    </message>
    <message>
        <source>Форма сигнала</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>Усиление выходного тракта</source>
        <translation>Output gain</translation>
    </message>
    <message>
        <source>Смещение выхода 10 Ом</source>
        <translation>10 Ohm output offset</translation>
    </message>
    <message>
        <source>Источник смещения</source>
        <translation>Offset source</translation>
    </message>
    <message>
        <source>кГц</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>дБ</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>В</source>
        <translation>V</translation>
    </message>
    <message>
        <source>внутренний</source>
        <translation>internal</translation>
    </message>
    <message>
        <source>внешний</source>
        <translation>external</translation>
    </message>
    <message>
        <source>период выходного сигнала</source>
        <translation>output period</translation>
    </message>
    <message>
        <source>период тактирующего сигнала</source>
        <translation>master clock period</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>пила</source>
        <translation>saw</translation>
    </message>
    <message>
        <source>треугольник</source>
        <translation>triangle</translation>
    </message>
    <message>
        <source>автоматически</source>
        <translation>automatic</translation>
    </message>
    <message>
        <source>по линии CTRL</source>
        <translation>by the CTRL line</translation>
    </message>
    <message>
        <source>выключен</source>
        <translation>off</translation>
    </message>
    <message>
        <source>включён</source>
        <translation>on</translation>
    </message>
    <message>
        <source>на каждом приращении</source>
        <translation>at each increment</translation>
    </message>
    <message>
        <source>в конце сканирования</source>
        <translation>at the end of the scan</translation>
    </message>
    <message>
        <source>синус</source>
        <translation>sine</translation>
    </message>
    <message>
        <source>Генератор %1</source>
        <translation>Generator %1</translation>
    </message>
    <message>
        <source>Прибор</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Изготовитель</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>Модель</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Виртуальный слот</source>
        <translation>Virtual slot</translation>
    </message>
    <message>
        <source>Модуль</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>готов</source>
        <translation>ready</translation>
    </message>
    <message>
        <source>не обнаружен</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>Версия программы</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>Библиотека модуля</source>
        <translation>Device library</translation>
    </message>
    <message>
        <source>Адреса VISA</source>
        <translation>VISA addresses</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Скопировано</source>
        <translation>Copied</translation>
    </message>
    <message>
        <source>удалённое управление по SCPI выключено</source>
        <translation>SCPI remote control is off</translation>
    </message>
    <message>
        <source>Параметры генератора</source>
        <translation>Generator parameters</translation>
    </message>
    <message>
        <source>Желаемое</source>
        <translation>Desired</translation>
    </message>
    <message>
        <source>Реальное</source>
        <translation>Produced</translation>
    </message>
    <message>
        <source>Пределы</source>
        <translation>Limits</translation>
    </message>
    <message>
        <source>Что выдаёт генератор</source>
        <translation>What the generator produces</translation>
    </message>
    <message>
        <source>Тактирующий сигнал</source>
        <translation>Master clock</translation>
    </message>
    <message>
        <source>Конечная частота</source>
        <translation>Final frequency</translation>
    </message>
    <message>
        <source>Общая длительность приращения</source>
        <translation>Total increment duration</translation>
    </message>
    <message>
        <source>Амплитуда, выход 10 Ом</source>
        <translation>Amplitude, 10 Ohm output</translation>
    </message>
    <message>
        <source>Амплитуда, выход 50 Ом</source>
        <translation>Amplitude, 50 Ohm output</translation>
    </message>
    <message>
        <source>Смещение</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Генератор</source>
        <translation>Generator</translation>
    </message>
    <message>
        <source>работает</source>
        <translation>running</translation>
    </message>
    <message>
        <source>остановлен</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>Запуск генератора</source>
        <translation>Start generator</translation>
    </message>
    <message>
        <source>Останов генератора</source>
        <translation>Stop generator</translation>
    </message>
    <message>
        <source>Наборы параметров</source>
        <translation>Parameter sets</translation>
    </message>
    <message>
        <source>Загрузить</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Сохранить текущие под именем</source>
        <translation>Save the current ones as</translation>
    </message>
    <message>
        <source>Имя набора</source>
        <translation>Set name</translation>
    </message>
    <message>
        <source>наборов нет</source>
        <translation>no sets</translation>
    </message>
    <message>
        <source>Развёртка</source>
        <translation>Sweep</translation>
    </message>
    <message>
        <source>Шагов</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>Время сканирования</source>
        <translation>Scan time</translation>
    </message>
    <message>
        <source>Период цикла</source>
        <translation>Cycle period</translation>
    </message>
    <message>
        <source>Наименьшая частота</source>
        <translation>Lowest frequency</translation>
    </message>
    <message>
        <source>Наибольшая частота</source>
        <translation>Highest frequency</translation>
    </message>
    <message>
        <source>Наибольшая ошибка, ppm</source>
        <translation>Largest error, ppm</translation>
    </message>
    <message>
        <source>Шагов с 0 Гц или вне диапазона</source>
        <translation>Steps at 0 Hz or out of range</translation>
    </message>
    <message>
        <source>Частота по шагам развёртки: реальная (линия) и желаемая (пунктир)</source>
        <translation>Frequency over the sweep&apos;s steps: produced (line) and desired (dashed)</translation>
    </message>
    <message>
        <source>шаги по линии CTRL: ось — номер шага</source>
        <translation>steps by the CTRL line: the axis is the step number</translation>
    </message>
    <message>
        <source>Только просмотр</source>
        <translation>View only</translation>
    </message>
    <message>
        <source>Пароль</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Войти</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>Связь с программой потеряна, переподключение…</source>
        <translation>Connection to the program lost, reconnecting…</translation>
    </message>
    <message>
        <source>Готово</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>-----</source>
        <translation>-----</translation>
    </message>
    <message>
        <source>Пароль веб-страницы не задан: из сети страница только показывает состояние</source>
        <translation>No web page password is set: from the network the page only shows the state</translation>
    </message>
    <message>
        <source>Для изменений войдите с паролем веб-страницы</source>
        <translation>Log in with the web page password to make changes</translation>
    </message>
    <message>
        <source>Неверный пароль</source>
        <translation>Wrong password</translation>
    </message>
    <message>
        <source>Запрос отклонён: он пришёл не со страницы этого генератора</source>
        <translation>Request refused: it did not come from this generator&apos;s page</translation>
    </message>
    <message>
        <source>Неверный запрос</source>
        <translation>Bad request</translation>
    </message>
    <message>
        <source>Нет параметра &quot;%1&quot;</source>
        <translation>No parameter &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Не удалось открыть порт веб-страницы %1: %2</source>
        <translation>Cannot open the web page port %1: %2</translation>
    </message>
    <message>
        <source>Слишком частые попытки входа: подождите секунду</source>
        <translation>Too many login attempts: wait a second</translation>
    </message>
</context>
<context>
    <name>WindowRemoteControl</name>
    <message>
        <source>Удалённое управление</source>
        <translation>Remote control</translation>
    </message>
    <message>
        <source>Включено</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Порт</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Управление генератором по SCPI через TCP-порт этого компьютера</source>
        <translation>Generator control by SCPI over a TCP port of this computer</translation>
    </message>
    <message>
        <source>идёт обнаружение модуля</source>
        <translation>module detection in progress</translation>
    </message>
    <message>
        <source>Порт удалённого управления %1 в файле настроек вне 0..65535</source>
        <translation>Remote control port %1 in the settings file is outside 0..65535</translation>
    </message>
    <message>
        <source>%1 Удалённое управление: порт %2, клиентов: %3</source>
        <translation>%1 Remote control: port %2, clients: %3</translation>
    </message>
    <message>
        <source>Порт удалённого управления ...</source>
        <translation>Remote control port ...</translation>
    </message>
    <message>
        <source>Веб-страница</source>
        <translation>Web page</translation>
    </message>
    <message>
        <source>Страница генератора в браузере: состояние, параметры, запуск</source>
        <translation>The generator&apos;s page in a browser: state, parameters, start</translation>
    </message>
    <message>
        <source>Порт веб-страницы %1 в файле настроек вне 0..65535</source>
        <translation>The web page port %1 in the settings file is outside 0..65535</translation>
    </message>
    <message>
        <source>Другой порт выбирается в меню: &quot;%1&quot;.</source>
        <translation>Another port can be chosen in the menu: &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>g740demo: окно недоступно: %1
</source>
        <translation>g740demo: window unavailable: %1
</translation>
    </message>
    <message>
        <source>g740demo: %1
Подробнее: g740demo --help
</source>
        <translation>g740demo: %1
More: g740demo --help
</translation>
    </message>
</context>
</TS>
