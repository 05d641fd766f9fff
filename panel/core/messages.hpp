#pragma once

// Every user-facing text of the panel, in one place.

#include <fmt/format.h>

#include <string_view>

namespace vokra::panel::сообщения {

// ---- Window, tabs, widgets and dialogs ----

inline constexpr std::string_view ЗАГОЛОВОК_ОКНА = "Вокра — среда разработки";
inline constexpr std::string_view ЗАГОЛОВОК_ИМЯ = "Имя";
inline constexpr std::string_view ЗАГОЛОВОК_ИСТОЧНИК = "Источник";
inline constexpr std::string_view ЗАГОЛОВОК_ОПИСАНИЕ = "Описание";
inline constexpr std::string_view ВКЛАДКА_ОБЗОР = "Обзор";
inline constexpr std::string_view ВКЛАДКА_ПАКЕТЫ = "Пакеты";
inline constexpr std::string_view ВКЛАДКА_ДОКУМЕНТАЦИЯ = "Документация";
inline constexpr std::string_view ОБЗОР_ЗАГОЛОВОК = "Обзор языка Вокра";
inline constexpr std::string_view СТАТУС_УСТАНОВЛЕНО = "Статус: установлено";
inline constexpr std::string_view СТАТУС_НЕ_УСТАНОВЛЕНО = "Статус: не установлено";
inline constexpr std::string_view КНОПКА_УСТАНОВИТЬ = "Установить Вокру";
inline constexpr std::string_view КНОПКА_УДАЛИТЬ = "Удалить";
inline constexpr std::string_view КНОПКА_СОБРАТЬ = "Собрать привет.код";
inline constexpr std::string_view КНОПКА_УСТАНОВИТЬ_ОБНОВЛЕНИЕ = "Установить обновление";
inline constexpr std::string_view КНОПКА_ПРОВЕРИТЬ_ОБНОВЛЕНИЯ = "Проверить обновления";
inline constexpr std::string_view ПАКЕТЫ_ЗАГОЛОВОК = "Установленные пакеты";
inline constexpr std::string_view КНОПКА_ОБНОВИТЬ_СПИСОК = "Обновить список";
inline constexpr std::string_view ПАКЕТЫ_ПОДСКАЗКА =
    "Нажми «Обновить список», чтобы увидеть пакеты.";
inline constexpr std::string_view ПАКЕТЫ_НЕ_УСТАНОВЛЕНА =
    "Сначала установи Вокру на вкладке «Обзор».";
inline constexpr std::string_view ДОКУМЕНТАЦИЯ_ЗАГОЛОВОК = "Документация";
inline constexpr std::string_view ДОКУМЕНТАЦИЯ_СТРОКА_1 =
    "Язык программирования «Вокра» — полностью";
inline constexpr std::string_view ДОКУМЕНТАЦИЯ_СТРОКА_2 =
    "кириллический синтаксис, компиляция в машинный";
inline constexpr std::string_view ДОКУМЕНТАЦИЯ_СТРОКА_3 =
    "код через LLVM, автоматический подсчёт ссылок (ARC).";
inline constexpr std::string_view ДОКУМЕНТАЦИЯ_СТРОКА_4 =
    "Полное описание возможностей — в файле README.md";
inline constexpr std::string_view ДОКУМЕНТАЦИЯ_СТРОКА_5 = "в папке проекта.";
inline constexpr std::string_view КНОПКА_ОТКРЫТЬ_README = "Открыть README";
inline constexpr std::string_view СЛОТ_УСТАНОВИТЬ = "Установить";
inline constexpr std::string_view СЛОТ_ВЫБРАТЬ_ПАПКУ = "Выбрать папку…";
inline constexpr std::string_view СЛОТ_ОТМЕНА = "Отмена";
inline constexpr std::string_view СЛОТ_УДАЛИТЬ = "Удалить";
inline constexpr std::string_view СЛОТ_ПОНЯТНО = "Понятно";
inline constexpr std::string_view ДИАЛОГ_УСТАНОВКИ_ЗАГОЛОВОК = "Установить Вокру?";
inline constexpr std::string_view НЕ_УСТАНОВЛЕНА_ЗАГОЛОВОК = "Вокра не установлена";
inline constexpr std::string_view СТАТУС_ВЫБОР_ПАПКИ = "Выбери папку в открывшемся окне...";
inline constexpr std::string_view СТАТУС_УДАЛЕНИЕ = "Удаляю...";
inline constexpr std::string_view ОТКАЗАНО_ЗАГОЛОВОК = "Отказано в удалении";
inline constexpr std::string_view УЖЕ_УСТАНОВЛЕНА_ЗАГОЛОВОК = "Вокра уже установлена";
inline constexpr std::string_view УДАЛИТЬ_ЗАГОЛОВОК = "Удалить Вокру?";
inline constexpr std::string_view СТАТУС_СБОРКА = "Идёт сборка...";
inline constexpr std::string_view СТАТУС_СТРАНИЦА_РЕЛИЗА =
    "Открыл страницу релиза в браузере — скачай и замени приложение.";
inline constexpr std::string_view СТАТУС_ПРОВЕРКА_ОБНОВЛЕНИЙ = "Проверяю обновления...";
inline constexpr std::string_view СТАТУС_СПИСОК_ПАКЕТОВ = "Получаю список пакетов...";
inline constexpr std::string_view СТАТУС_README = "Открываю README.md...";

inline constexpr auto ВЕРСИЯ_В_БОКОВОЙ_ПАНЕЛИ = FMT_STRING("v{}");
inline constexpr auto ВЕРСИЯ = FMT_STRING("Версия: {}");
inline constexpr auto РАСПОЛОЖЕНИЕ = FMT_STRING("Расположение: {}");
inline constexpr auto ЧТО_НОВОГО = FMT_STRING("Что нового в версии {}:");
inline constexpr auto СООБЩЕНИЕ_УСТАНОВКИ = FMT_STRING(
    "Вокра будет установлена в папку:\n{}\n\nХочешь другое место — нажми «Выбрать папку…».");
inline constexpr auto НЕ_УСТАНОВЛЕНА_ТЕКСТ =
    FMT_STRING("По пути\n{}\nВокры нет. Сначала нажми «Установить Вокру» на вкладке «Обзор».");
inline constexpr auto СТАТУС_УСТАНОВКА = FMT_STRING("Устанавливаю в {}...");
inline constexpr auto ОТКАЗАНО_ТЕКСТ =
    FMT_STRING("Из осторожности удаляются только папки с именем «.vokra». Путь:\n{}");
inline constexpr auto УЖЕ_УСТАНОВЛЕНА_ТЕКСТ =
    FMT_STRING("Расположение:\n{}\n\nЧтобы поставить заново, сначала удали текущую установку.");
inline constexpr auto УДАЛИТЬ_ТЕКСТ =
    FMT_STRING("Папка будет удалена вместе со всем содержимым:\n{}");
// Standard error, when SDL can only offer a video driver that shows nothing.
inline constexpr auto НЕТ_ЭКРАНА =
    FMT_STRING("Нет экрана для окна панели: SDL нашёл только видеодрайвер «{}».");

// ---- Tasks, scripts, release check and paths ----

inline constexpr std::string_view ЗАГОЛОВОК_НЕ_ЗАПУСТИТЬ = "Не удалось запустить";
inline constexpr std::string_view ПОДРОБНОСТЕЙ_НЕТ = "Подробностей нет.";
inline constexpr std::string_view МНОГОТОЧИЕ = "…";
inline constexpr std::string_view ЗАГОЛОВОК_СЛИШКОМ_ДОЛГО = "Слишком долго";
inline constexpr std::string_view ТЕКСТ_СЛИШКОМ_ДОЛГО =
    "Задача не завершилась за минуту. Возможно, нет интернета или команда зависла.";
inline constexpr std::string_view ЗАГОЛОВОК_ГОТОВО = "Готово";
inline constexpr std::string_view ЗАГОЛОВОК_НЕ_УСТАНОВИТЬ = "Не удалось установить";
inline constexpr std::string_view ЗАГОЛОВОК_НЕ_УДАЛИТЬ = "Не удалось удалить";
inline constexpr std::string_view ЗАГОЛОВОК_УДАЛЕНА = "Вокра удалена";
inline constexpr std::string_view ЗАГОЛОВОК_ОШИБКА_СБОРКИ = "Ошибка сборки";
inline constexpr std::string_view ЗАГОЛОВОК_СБОРКА_УСПЕШНА = "Сборка успешна";
inline constexpr std::string_view ТЕКСТ_СБОРКА_УСПЕШНА = "Пример привет.код собран без ошибок.";
inline constexpr std::string_view ЗАГОЛОВОК_НЕТ_СВЯЗИ = "Нет связи с GitHub";
inline constexpr std::string_view ТЕКСТ_НЕТ_СВЯЗИ =
    "Не удалось выполнить запрос. Проверь интернет и наличие curl в системе.";
inline constexpr std::string_view ЗАГОЛОВОК_НЕ_ПОЛУЧИТЬ_ПАКЕТЫ = "Не удалось получить пакеты";
inline constexpr std::string_view ЗАГОЛОВОК_НЕТ_README = "README.md не найден";
inline constexpr std::string_view ТЕКСТ_НЕТ_README =
    "Файла README.md нет ни рядом с панелью, ни в папке проекта.";
inline constexpr std::string_view ЗАГОЛОВОК_НЕ_РАЗОБРАТЬ = "Не удалось разобрать ответ";
inline constexpr std::string_view ТЕКСТ_НЕ_РАЗОБРАТЬ =
    "GitHub вернул ответ без номера версии (возможно, релизов ещё нет).";
inline constexpr std::string_view ЗАГОЛОВОК_ОБНОВЛЕНИЙ_НЕТ = "Обновлений нет";
inline constexpr std::string_view БЕЗ_ОПИСАНИЯ = "Без описания изменений.";
inline constexpr std::string_view ЗАГОЛОВОК_СБОРКИ_НЕТ = "Сборки для этой системы пока нет";
inline constexpr std::string_view ЗАГОЛОВОК_ВЫБОРА_ПАПКИ =
    "Выберите папку для установки языка Вокра";
inline constexpr std::string_view НЕТ_ПРОГРАММЫ_ВЫБОРА =
    "Нет программы выбора папки (osascript, zenity или kdialog)";
inline constexpr std::string_view ГОТОВО_УСТАНОВКА =
    "Готово. Откройте НОВЫЙ терминал и выполните: запустить --help";
inline constexpr std::string_view КОПИРУЮ_ИЗ = "Копирую из: ";
inline constexpr std::string_view НЕ_НАЙДЕН_ЗАПУСТИТЬ = "Не найден запустить. Панель запущена из: ";
inline constexpr auto ТЕКСТ_НЕ_ЗАПУСТИТЬ =
    FMT_STRING("Не получилось создать временный файл команды в папке /tmp: {}");
inline constexpr auto ТЕКСТ_УСТАНОВЛЕНА = FMT_STRING(
    "Вокра установлена в:\n{}\n\nОткрой НОВЫЙ терминал: там заработает команда «запустить "
    "файл.код» из любой папки.");
inline constexpr auto ТЕКСТ_УДАЛЕНА = FMT_STRING("Папка удалена:\n{}");
inline constexpr auto ТЕКСТ_ОБНОВЛЕНИЙ_НЕТ = FMT_STRING("У тебя последняя версия: {}");
inline constexpr auto ДОСТУПНО_ОБНОВЛЕНИЕ = FMT_STRING("Доступно обновление {}!");
inline constexpr auto ТЕКСТ_СБОРКИ_НЕТ =
    FMT_STRING("Вышла версия {}, но для {} её ещё не собрали.");
inline constexpr auto ГОТОВО_СБОРКА = FMT_STRING("Готово: {}/привет — запуск: cd {} && ./привет");
inline constexpr std::string_view ОПИСАНИЕ_ЯЗЫКА =
    "«Вокра» — независимый, компилируемый язык программирования\n"
    "с полностью русским синтаксисом. Компилятор написан на Rust,\n"
    "генерирует машинный код напрямую через LLVM.\n"
    "\n"
    "Возможности: автоматическое управление памятью (ARC), контракты\n"
    "и полиморфизм, обобщённые типы, настоящая многопоточность,\n"
    "графический интерфейс, собственное хранилище данных.\n"
    "\n"
    "Честные ограничения: соло-проект одного разработчика — скорость\n"
    "развития такая, какая есть. Нет полноценного пакетного менеджера\n"
    "с публикацией и версиями. Диагностика ошибок компилятора\n"
    "активно дорабатывается.";
inline constexpr std::string_view ЗАГОЛОВОК_ПАПКА_НЕ_ГОДИТСЯ = "Неподходящая папка";
inline constexpr auto ТЕКСТ_ПАПКА_НЕ_ГОДИТСЯ = FMT_STRING(
    "В пути к папке есть управляющий символ или один из знаков \" $ ` \\ : — такой путь нельзя "
    "безопасно добавить в PATH. Выбери другую папку:\n{}");
inline constexpr auto ТЕКСТ_ПАПКА_ЧУЖАЯ = FMT_STRING(
    "Папка или одна из папок на пути к ней принадлежит другому пользователю или открыта ему "
    "для записи: ставить туда Вокру и запускать её оттуда небезопасно. Выбери другую папку:\n{}");
inline constexpr auto ТЕКСТ_ПАПКА_НЕ_АБСОЛЮТНАЯ = FMT_STRING(
    "Путь к папке не начинается с «/»: в PATH он значил бы разное в разных папках "
    "терминала. Выбери другую папку:\n{}");

}  // namespace vokra::panel::сообщения
