#include "panel/core/tasks.hpp"

#include <fcntl.h>
#include <fmt/format.h>
#include <unistd.h>

#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "panel/core/dialogs.hpp"
#include "panel/core/files.hpp"
#include "panel/core/messages.hpp"
#include "panel/core/ownership.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/processes.hpp"
#include "panel/core/release.hpp"
#include "panel/core/scripts.hpp"
#include "panel/core/task_folder.hpp"
#include "panel/core/text.hpp"

namespace vokra::panel {

namespace {

constexpr std::size_t длина_сводки_лога = 190;

// The task log is read up to this many bytes: a folder or a 190-character
// summary lies well within it, and a command that prints without end costs
// no more than this.
constexpr std::size_t наибольший_лог = std::size_t{1} << 20;

// The package listing keeps of each line what a table cell can show: a
// detail line's prefix (under 32 bytes) and СИМВОЛОВ_В_СТРОКЕ_ОКНА characters
// of at most four bytes, and a byte more so that a longer text still reads
// as cut. A long
// line thus costs no more than a short one, and the rows after it are read.
constexpr std::size_t наибольшая_строка_пакетов = 32 + 4 * СИМВОЛОВ_В_СТРОКЕ_ОКНА + 1;
constexpr std::size_t наибольший_список_пакетов = std::size_t{4} << 20;

// A marker holds an exit status and a line feed.
constexpr std::size_t наибольшая_метка = 32;

// The task that runs: the shell that leads its process group, and its log
// and marker, which the panel made itself and which both sides use through
// descriptors, whatever becomes of their names in the folder meanwhile.
struct ИдущаяЗадача {
    pid_t лидер = 0;
    Дескриптор журнал;
    Дескриптор метка;
};

// The task folders of this panel run and the number of the current task.
// The number moves on when a task ends or times out, so that each task's
// files have names of their own.
struct ФайлыЗадач {
    ПапкиЗадач папки;
    std::int64_t номер = 1;
    ИдущаяЗадача задача;
    // Shells of tasks that ended by their marker and were not waited for yet.
    std::vector<pid_t> не_дождались;

    ~ФайлыЗадач();
};

ФайлыЗадач& файлы_задач() {
    static ФайлыЗадач файлы;
    return файлы;
}

std::string имя_файла_задачи(std::string_view суффикс) {
    return fmt::format("vokra_task.{}.{}", файлы_задач().номер, суффикс);
}

void дождаться_закончившихся(ФайлыЗадач& файлы) {
    std::erase_if(файлы.не_дождались, дождаться_если_закончился);
}

// Lets the current task go: its group is ended first when `закончить`, and
// its shell is waited for later when it was not yet.
void отпустить_задачу(ФайлыЗадач& файлы, bool закончить) {
    const pid_t лидер = std::exchange(файлы.задача.лидер, 0);
    if (лидер > 0 && !(закончить ? закончить_группу(лидер) : дождаться_если_закончился(лидер))) {
        файлы.не_дождались.push_back(лидер);
    }
    файлы.задача = ИдущаяЗадача{};
}

// At the panel's end: the running task's whole group goes, and the folders.
void закончить_все(ФайлыЗадач& файлы) {
    if (файлы.задача.лидер > 0) {
        отпустить_задачу(файлы, true);
    }
    дождаться_закончившихся(файлы);
    убрать_папки_задач(файлы.папки);
}

ФайлыЗадач::~ФайлыЗадач() {
    закончить_все(*this);
}

tl::expected<std::string, int> прочитать_лог(std::size_t предел,
                                             std::size_t длина_строки = std::string::npos) {
    const Дескриптор& журнал = файлы_задач().задача.журнал;
    if (!журнал.открыт()) {
        return tl::unexpected(EBADF);
    }
    return прочитать_начало_открытого(журнал.номер, предел, длина_строки);
}

tl::expected<std::string, int> прочитать_лог() {
    return прочитать_лог(наибольший_лог);
}

tl::expected<std::string, int> прочитать_список_пакетов() {
    return прочитать_лог(наибольший_список_пакетов, наибольшая_строка_пакетов);
}

// The release JSON that curl wrote under its name in the checked folder;
// never through a link, and only a regular file.
tl::expected<std::string, int> прочитать_json() {
    const auto папка = открыть_папку_задач(файлы_задач().папки);
    if (!папка) {
        return tl::unexpected(папка.error());
    }
    const Дескриптор json(::openat(папка->папка.номер, имя_файла_задачи("json").c_str(),
                                   O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!json.открыт()) {
        return tl::unexpected(errno);
    }
    return прочитать_начало_открытого(json.номер, НАИБОЛЬШИЙ_ОТВЕТ_РЕЛИЗА);
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
    const auto json = прочитать_json();
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
    const auto папка = открыть_папку_задач(файлы_задач().папки);
    if (!папка) {
        return {};
    }
    return папка->путь + "/" + имя_файла_задачи(суффикс);
}

std::string с_проверкой(std::string_view шаг) {
    return std::string(шаг) + " || exit 1\n";
}

bool запустить_задачу(СостояниеПриложения& состояние, std::int64_t вид, std::string_view тело) {
    ФайлыЗадач& файлы = файлы_задач();
    дождаться_закончившихся(файлы);
    if (файлы.задача.лидер > 0) {
        отпустить_задачу(файлы, true);  // only one task runs at a time
    }
    const auto папка = открыть_папку_задач(файлы.папки);
    if (!папка) {
        return false;
    }
    const int в_папке = папка->папка.номер;
    const std::string скрипт = имя_файла_задачи("sh");
    const std::string лог = имя_файла_задачи("log");
    const std::string метка = имя_файла_задачи("done");
    for (const std::string* имя : {&скрипт, &лог, &метка}) {
        ::unlinkat(в_папке, имя->c_str(), 0);
    }
    // Each file is made new, never through a link. The shell writes the log
    // and the marker through the descriptors 3 and 4 it is given, and the
    // panel reads them through its own.
    const auto создать = [&](const std::string& имя, int доступ) {
        return Дескриптор(::openat(в_папке, имя.c_str(),
                                   доступ | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    };

    std::string обёртка = "(\n";
    обёртка += тело;
    if (!окончивается_на(обёртка, "\n")) {
        обёртка += '\n';
    }
    обёртка += ") >&3 2>&1 3>&- 4>&-\n";
    обёртка += "echo $? >&4\n";
    const Дескриптор файл_скрипта = создать(скрипт, O_WRONLY);
    if (!файл_скрипта.открыт() || !записать_всё(файл_скрипта.номер, обёртка)) {
        return false;
    }
    ИдущаяЗадача задача{0, создать(лог, O_RDWR), создать(метка, O_RDWR)};
    if (!задача.журнал.открыт() || !задача.метка.открыт()) {
        return false;
    }
    // The shell is given the text itself rather than the script's name, so
    // that nothing put in the folder's place can be run instead.
    const auto лидер = запустить_в_своей_группе(обёртка, задача.журнал.номер, задача.метка.номер);
    if (!лидер) {
        return false;
    }
    задача.лидер = *лидер;
    файлы.задача = std::move(задача);
    состояние.вид_задачи = вид;
    состояние.кадр_начала_задачи = состояние.кадр;
    return true;
}

std::int64_t проверить_метку() {
    ФайлыЗадач& файлы = файлы_задач();
    дождаться_закончившихся(файлы);
    if (!файлы.задача.метка.открыт()) {
        return -2;
    }
    const auto текст = прочитать_начало_открытого(файлы.задача.метка.номер, наибольшая_метка);
    if (!текст || текст->empty()) {
        return -2;
    }
    return текст->front() == '0' ? 0 : 1;
}

void завершить_задачу(СостояниеПриложения& состояние, std::int64_t результат) {
    const std::int64_t вид = состояние.вид_задачи;
    состояние.вид_задачи = 0;
    состояние.текст_статуса.clear();
    ФайлыЗадач& файлы = файлы_задач();
    // A task given up is ended with all it started; one that wrote its
    // marker keeps what it left running, such as a document viewer.
    const bool брошена = результат == -1;
    if (брошена) {
        отпустить_задачу(файлы, true);
    }
    показать_итог(состояние, вид, результат);
    if (!брошена) {
        отпустить_задачу(файлы, false);
    }
    ++файлы.номер;
}

void закончить_задачи() {
    закончить_все(файлы_задач());
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
    // The tasks that write into the installation or run its programs do so
    // only where no other user can change what they find.
    if ((вид == виды_задач::УСТАНОВКА || вид == виды_задач::СБОРКА || вид == виды_задач::ПАКЕТЫ) &&
        !папка_установки_в_руках_пользователя(состояние.папка_установки)) {
        сообщить(состояние, варианты::ОШИБКА, сообщения::ЗАГОЛОВОК_ПАПКА_НЕ_ГОДИТСЯ,
                 fmt::format(сообщения::ТЕКСТ_ПАПКА_ЧУЖАЯ, состояние.папка_установки));
        return;
    }
    if (запустить_задачу(состояние, вид, тело)) {
        состояние.текст_статуса = текст_статуса;
        return;
    }
    const std::string папка = путь_папки_в_работе(файлы_задач().папки);
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
