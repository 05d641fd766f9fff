#include "panel/core/tasks.hpp"

#include <fmt/format.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <variant>

#include "panel/core/dialogs.hpp"
#include "panel/core/files.hpp"
#include "panel/core/messages.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/release.hpp"
#include "panel/core/scripts.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {

namespace {

constexpr std::size_t длина_сводки_лога = 190;

// The task log is read up to this many bytes: a folder or a 190-character
// summary lies well within it, and a command that prints without end costs
// no more than this.
constexpr std::size_t наибольший_лог = std::size_t{1} << 20;

tl::expected<std::string, int> прочитать_лог() {
    return прочитать_начало_файла(файл_задачи("log"), наибольший_лог);
}

// The package listing keeps of each line what a table cell can show: a
// detail line's prefix (under 32 bytes) and СИМВОЛОВ_В_СТРОКЕ_ОКНА characters
// of at most four bytes, and a byte more so that a longer text still reads
// as cut. A long
// line thus costs no more than a short one, and the rows after it are read.
constexpr std::size_t наибольшая_строка_пакетов = 32 + 4 * СИМВОЛОВ_В_СТРОКЕ_ОКНА + 1;
constexpr std::size_t наибольший_список_пакетов = std::size_t{4} << 20;

tl::expected<std::string, int> прочитать_список_пакетов() {
    return прочитать_начало_файла(файл_задачи("log"), наибольший_список_пакетов,
                                  наибольшая_строка_пакетов);
}

// The private folder of this panel run (made with mkdtemp, so mode 0700 and a
// name no one else can take) and the number of the current task. The number
// moves on when a task ends or times out, so files written late by an
// earlier task never pass for the current task's.
struct ФайлыЗадач {
    std::string папка;
    std::int64_t номер = 1;

    ~ФайлыЗадач() {
        if (!папка.empty()) {
            std::error_code ошибка;
            std::filesystem::remove_all(папка, ошибка);
        }
    }
};

ФайлыЗадач& файлы_задач() {
    static ФайлыЗадач файлы;
    return файлы;
}

// Makes the folder on first use; empty while that keeps failing.
const std::string& папка_задач() {
    ФайлыЗадач& файлы = файлы_задач();
    if (файлы.папка.empty()) {
        std::string образец = временная_папка() + "/vokra_panel.XXXXXX";
        if (::mkdtemp(образец.data()) != nullptr) {
            файлы.папка = образец;
        }
    }
    return файлы.папка;
}

void сообщить(СостояниеПриложения& состояние, std::int64_t вариант, std::string_view заголовок,
              std::string_view текст) {
    открыть_диалог(состояние, диалоги::СООБЩЕНИЕ, вариант, заголовок, текст);
}

// The folder that the picker printed: its first line that is an absolute
// path, taken only when it names an existing folder. Warnings that a picker
// writes on its error stream share the log and are never taken for a folder.
std::optional<std::string> выбранная_папка(std::string_view лог) {
    std::size_t начало = 0;
    while (начало < лог.size()) {
        std::size_t конец = лог.find('\n', начало);
        if (конец == std::string_view::npos) {
            конец = лог.size();
        }
        const std::string строка = обрезать_края(лог.substr(начало, конец - начало));
        if (начинается_с(строка, "/")) {
            std::string папка = первая_строка(строка);
            if (!это_папка(папка)) {
                return std::nullopt;
            }
            return папка;
        }
        начало = конец + 1;
    }
    return std::nullopt;
}

struct ПрименитьРешение {
    СостояниеПриложения& состояние;

    void operator()(const ДиалогРелиза& диалог) const {
        сообщить(состояние, диалог.вариант, диалог.заголовок, диалог.текст);
    }
    void operator()(const НовыйРелиз& релиз) const {
        состояние.есть_обновление = true;
        состояние.новая_версия = релиз.версия;
        состояние.что_нового = релиз.что_нового;
        состояние.текст_статуса = fmt::format(сообщения::ДОСТУПНО_ОБНОВЛЕНИЕ, релиз.версия);
    }
};

void завершить_выбор_папки(СостояниеПриложения& состояние, std::int64_t результат) {
    if (результат == 0) {
        if (const auto лог = прочитать_лог()) {
            if (const auto папка = выбранная_папка(*лог)) {
                состояние.папка_установки = *папка + "/.vokra";
                состояние.установлена = вокра_уже_установлена(состояние.папка_установки);
            }
        }
    }
    открыть_диалог_установки(состояние);
}

void завершить_проверку_обновлений(СостояниеПриложения& состояние, std::int64_t результат) {
    const auto json = прочитать_начало_файла(файл_задачи("json"), НАИБОЛЬШИЙ_ОТВЕТ_РЕЛИЗА);
    if (результат != 0 || !json) {
        сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_НЕТ_СВЯЗИ,
                 сообщения::ТЕКСТ_НЕТ_СВЯЗИ);
        return;
    }
    std::visit(ПрименитьРешение{состояние},
               решить_о_релизе(*json, текущая_версия(), метка_текущей_платформы(),
                               json->size() == НАИБОЛЬШИЙ_ОТВЕТ_РЕЛИЗА));
}

// The outcome of the task of kind `вид` that ended with `результат`.
void показать_итог(СостояниеПриложения& состояние, std::int64_t вид, std::int64_t результат) {
    if (вид == виды_задач::ВЫБОР_ПАПКИ) {
        завершить_выбор_папки(состояние, результат);
        return;
    }
    if (результат == -1) {
        сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_СЛИШКОМ_ДОЛГО,
                 сообщения::ТЕКСТ_СЛИШКОМ_ДОЛГО);
        return;
    }
    const std::string& папка = состояние.папка_установки;
    switch (вид) {
        case виды_задач::УСТАНОВКА:
            состояние.установлена = вокра_уже_установлена(папка);
            if (состояние.установлена && результат == 0) {
                сообщить(состояние, варианты::УСПЕХ, сообщения::ЗАГОЛОВОК_ГОТОВО,
                         fmt::format(сообщения::ТЕКСТ_УСТАНОВЛЕНА, папка));
            } else {
                сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_НЕ_УСТАНОВИТЬ,
                         текст_лога_кратко());
            }
            return;
        case виды_задач::УДАЛЕНИЕ:
            состояние.установлена = вокра_уже_установлена(папка);
            if (результат != 0 || состояние.установлена) {
                сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_НЕ_УДАЛИТЬ,
                         текст_лога_кратко());
            } else {
                сообщить(состояние, варианты::УСПЕХ, сообщения::ЗАГОЛОВОК_УДАЛЕНА,
                         fmt::format(сообщения::ТЕКСТ_УДАЛЕНА, папка));
            }
            return;
        case виды_задач::СБОРКА:
            if (результат != 0) {
                сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_ОШИБКА_СБОРКИ,
                         текст_лога_кратко());
            } else {
                сообщить(состояние, варианты::УСПЕХ, сообщения::ЗАГОЛОВОК_СБОРКА_УСПЕШНА,
                         сообщения::ТЕКСТ_СБОРКА_УСПЕШНА);
            }
            return;
        case виды_задач::ОБНОВЛЕНИЯ:
            завершить_проверку_обновлений(состояние, результат);
            return;
        case виды_задач::ПАКЕТЫ:
            if (результат != 0) {
                сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_НЕ_ПОЛУЧИТЬ_ПАКЕТЫ,
                         текст_лога_кратко());
            } else if (auto лог = прочитать_список_пакетов()) {
                состояние.вывод_пакетов = std::move(*лог);
                состояние.пакеты_ждут_разбора = true;
            }
            return;
        case виды_задач::ДОКУМЕНТАЦИЯ:
            if (результат != 0) {
                сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_НЕТ_README,
                         сообщения::ТЕКСТ_НЕТ_README);
            }
            return;
        default:
            return;
    }
}

}  // namespace

std::string файл_задачи(std::string_view суффикс) {
    const std::string& папка = папка_задач();
    if (папка.empty()) {
        return {};
    }
    return fmt::format("{}/vokra_task.{}.{}", папка, файлы_задач().номер, суффикс);
}

std::string с_проверкой(std::string_view шаг) {
    return std::string(шаг) + " || exit 1\n";
}

bool запустить_задачу(СостояниеПриложения& состояние, std::int64_t вид, std::string_view тело) {
    const std::string скрипт = файл_задачи("sh");
    if (скрипт.empty()) {
        return false;
    }
    const std::string лог = файл_задачи("log");
    const std::string метка = файл_задачи("done");
    ::unlink(метка.c_str());
    ::unlink(лог.c_str());

    std::string обёртка = "(\n";
    обёртка += тело;
    if (!окончивается_на(обёртка, "\n")) {
        обёртка += '\n';
    }
    обёртка += ") > '" + для_одинарных_кавычек(лог) + "' 2>&1\n";
    обёртка += "echo $? > '" + для_одинарных_кавычек(метка) + "'\n";
    if (!записать_файл(скрипт, обёртка)) {
        return false;
    }
    const std::string запуск = "sh '" + для_одинарных_кавычек(скрипт) + "' > /dev/null 2>&1 &";
    if (std::system(запуск.c_str()) == -1) {
        return false;
    }
    состояние.вид_задачи = вид;
    состояние.кадр_начала_задачи = состояние.кадр;
    return true;
}

std::int64_t проверить_метку() {
    const auto текст = прочитать_файл(файл_задачи("done"));
    if (!текст || текст->empty()) {
        return -2;
    }
    return текст->front() == '0' ? 0 : 1;
}

void завершить_задачу(СостояниеПриложения& состояние, std::int64_t результат) {
    const std::int64_t вид = состояние.вид_задачи;
    состояние.вид_задачи = 0;
    состояние.текст_статуса.clear();
    показать_итог(состояние, вид, результат);
    ++файлы_задач().номер;
}

void начать_задачу_или_ошибка(СостояниеПриложения& состояние, std::int64_t вид,
                              std::string_view тело, std::string_view текст_статуса) {
    if (вид == виды_задач::УСТАНОВКА) {
        // A relative folder would put a PATH entry that changes meaning with
        // the folder a shell is in.
        const std::string& установка = состояние.папка_установки;
        if (!начинается_с(установка, "/")) {
            сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_ПАПКА_НЕ_ГОДИТСЯ,
                     fmt::format(сообщения::ТЕКСТ_ПАПКА_НЕ_АБСОЛЮТНАЯ, установка));
            return;
        }
        if (!папка_годится_для_path(установка)) {
            сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_ПАПКА_НЕ_ГОДИТСЯ,
                     fmt::format(сообщения::ТЕКСТ_ПАПКА_НЕ_ГОДИТСЯ, установка));
            return;
        }
    }
    if (запустить_задачу(состояние, вид, тело)) {
        состояние.текст_статуса = текст_статуса;
        return;
    }
    const std::string& папка = папка_задач();
    сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_НЕ_ЗАПУСТИТЬ,
             fmt::format(сообщения::ТЕКСТ_НЕ_ЗАПУСТИТЬ, папка.empty() ? временная_папка() : папка));
}

std::string текст_лога_кратко() {
    if (const auto лог = прочитать_лог()) {
        const std::string строка = в_одну_строку(обрезать_края(*лог));
        if (!строка.empty()) {
            return обрезать_символы(строка, длина_сводки_лога);
        }
    }
    return std::string(сообщения::ПОДРОБНОСТЕЙ_НЕТ);
}

}  // namespace vokra::panel
