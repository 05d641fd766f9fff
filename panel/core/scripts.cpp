#include "panel/core/scripts.hpp"

#include <fmt/format.h>

#include "panel/core/messages.hpp"
#include "panel/core/paths.hpp"
#include "panel/core/release.hpp"
#include "panel/core/state.hpp"
#include "panel/core/tasks.hpp"

namespace vokra::panel {

namespace {

// The code-hosting service's addresses of the project's latest release: the
// JSON of its REST interface and the web page.
constexpr std::string_view адрес_последнего_релиза =
    "https://api.github.com/repos/vokra-lang/vokra/releases/latest";
constexpr std::string_view страница_последнего_релиза =
    "https://github.com/vokra-lang/vokra/releases/latest";

// The request gives up before the panel does: 3600 frames are at least
// 57.6 s at 16 ms each.
constexpr int секунд_на_запрос_релиза = 50;

std::string в_одинарных(std::string_view текст) {
    return "'" + для_одинарных_кавычек(текст) + "'";
}

std::string в_двойных(std::string_view текст) {
    return "\"" + для_двойных_кавычек(текст) + "\"";
}

std::string строка(std::string_view текст) {
    return std::string(текст) + "\n";
}

// grep over bytes in text mode; the flags of each use follow directly. Under
// a UTF-8 locale a NUL or a byte that is not UTF-8 would make GNU grep take
// a start-up file for binary, drop lines from its output and still succeed.
constexpr std::string_view grep_по_байтам = "LC_ALL=C grep -a";

// A test that the file named by the shell variable ends in a line feed. Line
// feeds are counted because a command substitution would drop a final NUL.
std::string кончается_переводом(std::string_view переменная) {
    return fmt::format("[ \"$(tail -c 1 \"${}\" | wc -l)\" -eq 1 ]", переменная);
}

// Sets r to the file that the start-up file $f leads to through its links
// (at most 40, as the system follows), as a path that cannot read as an
// option.
constexpr std::string_view найти_файл_за_ссылками =
    "r=$f; n=0; while [ -L \"$r\" ] && [ $n -lt 40 ]; do l=$(readlink \"$r\") || break; "
    "case $l in /*) r=$l ;; *) r=$(dirname \"$r\")/$l ;; esac; n=$((n + 1)); done; "
    "case $r in /*) ;; *) r=./$r ;; esac";

// The two start-up files of the user's shells, as a list for `for f in`.
std::string файлы_запуска() {
    const std::string дом = домашняя_папка();
    return в_двойных(дом + "/.profile") + " " + в_двойных(дом + "/.zshrc");
}

}  // namespace

std::string для_одинарных_кавычек(std::string_view текст) {
    std::string итог;
    for (const char c : текст) {
        if (c == '\'') {
            итог += "'\\''";
        } else {
            итог += c;
        }
    }
    return итог;
}

std::string для_двойных_кавычек(std::string_view текст) {
    std::string итог;
    for (const char c : текст) {
        if (c == '"' || c == '$' || c == '`' || c == '\\') {
            итог += '\\';
        }
        итог += c;
    }
    return итог;
}

bool папка_годится_для_path(std::string_view папка) {
    for (const char c : папка) {
        const auto байт = static_cast<unsigned char>(c);
        if (байт < 32 || байт == 127 || c == '"' || c == '$' || c == '`' || c == '\\' || c == ':') {
            return false;
        }
    }
    return true;
}

std::string строка_path(std::string_view bin) {
    return "export PATH=\"" + для_двойных_кавычек(bin) + ":$PATH\"";
}

// A file that already mentions the folder is left alone, and so is one that
// exists but cannot be read; otherwise the line goes on a line of its own,
// after a line feed when the file lacks a final one. A missing file is
// created by the append.
std::string команда_добавить_в_path(std::string_view bin) {
    return fmt::format(
        "for f in {files}; do {grep}qF {bin} \"$f\" 2>/dev/null; s=$?; "
        "if [ $s -eq 1 ] || {{ [ $s -eq 2 ] && [ ! -e \"$f\" ]; }}; then "
        "{{ if [ -s \"$f\" ] && ! {ends_in_lf}; then echo >> \"$f\"; fi; }} && "
        "echo {line} >> \"$f\"; fi; done",
        fmt::arg("files", файлы_запуска()), fmt::arg("grep", grep_по_байтам),
        fmt::arg("bin", в_одинарных(bin)), fmt::arg("ends_in_lf", кончается_переводом("f")),
        fmt::arg("line", в_одинарных(строка_path(bin))));
}

// Only lines equal to the added line go, and every other byte stays: grep
// ends every line it prints with a line feed, so a kept last line that had
// none loses it again. The copy is written beside the file that a link leads
// to, given that file's mode, and renamed over it, so that the link stays a
// link and a kill at any moment leaves the old file or the new one, never a
// part; a copy left by a run that was killed goes with the next run. The
// file is replaced only when it is the user's own, every step succeeded, the
// copy's size is the file's size less the lines taken out (k of them, each
// with its line feed but for a last one without), and the file's size has
// not changed meanwhile; otherwise it is left as it was.
std::string команда_убрать_из_path(std::string_view bin) {
    const std::string строка = строка_path(bin);
    return fmt::format(
        "for f in {files}; do if [ -f \"$f\" ]; then {resolve}; "
        "if [ ! -L \"$r\" ] && [ \"$r\" -ef \"$f\" ] && [ -O \"$r\" ]; then "
        "rm -f \"$r\".vokra_tmp.??????; "
        "if {grep}qxF {line} \"$r\" 2>/dev/null && t=$(mktemp \"$r.vokra_tmp.XXXXXX\"); then "
        "if s=$(($(wc -c < \"$r\"))) && k=$({grep}cxF {line} \"$r\") && "
        "e=$((s - k * {line_size})) && "
        "{{ {grep}vxF {line} \"$r\" > \"$t\"; [ $? -le 1 ]; }} && "
        "if ! {ends_in_lf}; then if tail -n 1 \"$r\" | {grep}qxF {line}; then e=$((e + 1)); "
        "else dd if=/dev/null of=\"$t\" bs=1 seek=\"$e\" 2>/dev/null; fi; fi && "
        "[ \"$(($(wc -c < \"$t\")))\" -eq \"$e\" ] && "
        "m=$(stat -c %a \"$r\" 2>/dev/null || stat -f %Mp%Lp \"$r\") && chmod \"$m\" \"$t\" && "
        "[ \"$(($(wc -c < \"$r\")))\" -eq \"$s\" ] && mv -f \"$t\" \"$r\"; "
        "then :; else rm -f \"$t\"; fi; fi; fi; fi; done; true",
        fmt::arg("files", файлы_запуска()), fmt::arg("resolve", найти_файл_за_ссылками),
        fmt::arg("grep", grep_по_байтам), fmt::arg("line", в_одинарных(строка)),
        fmt::arg("line_size", строка.size() + 1), fmt::arg("ends_in_lf", кончается_переводом("r")));
}

std::string определить_папку_панели() {
    if (!глобальная_папка_программы.empty()) {
        return строка("PANEL_DIR=" + в_одинарных(глобальная_папка_программы));
    }
    return строка("PANEL_DIR=''") + строка("for n in Vokra-Panel крамина_unix крамина_linux; do") +
           строка("  for p in $(pgrep -u \"$(id -u)\" -x $n 2>/dev/null); do") +
           строка("    x=$(readlink \"/proc/$p/exe\" 2>/dev/null)") +
           строка("    if [ -z \"$x\" ]; then x=$(ps -p \"$p\" -o comm= 2>/dev/null); fi") +
           строка(
               "    if [ -n \"$x\" ] && [ -z \"$PANEL_DIR\" ]; then PANEL_DIR=$(dirname "
               "\"$x\"); fi") +
           строка("  done") + строка("done") +
           строка("if [ -z \"$PANEL_DIR\" ]; then PANEL_DIR='.'; fi");
}

std::string тело_установки(std::string_view папка) {
    const std::string D(папка);
    const std::string дом = домашняя_папка();
    const auto в_папке = [&](std::string_view часть) {
        return в_одинарных(D + std::string(часть));
    };
    std::string тело = определить_папку_панели();
    тело += строка("SRC=''");
    тело += строка(
        "for d in \"$PANEL_DIR/bin\" \"$PANEL_DIR/../Resources/bin\" "
        "\"$PANEL_DIR/target/release\" \"$PANEL_DIR/../../target/release\" "
        "'/Applications/Панель Вокры.app/Contents/Resources/bin' " +
        в_одинарных(дом + "/Applications/Панель Вокры.app/Contents/Resources/bin") + " " +
        в_одинарных(дом + "/.vokra/bin") + "; do");
    тело += строка("  if [ -z \"$SRC\" ] && [ -f \"$d/запустить\" ]; then SRC=\"$d\"; fi");
    тело += строка("done");
    тело += строка("if [ -z \"$SRC\" ]; then echo \"" +
                   std::string(сообщения::НЕ_НАЙДЕН_ЗАПУСТИТЬ) + "$PANEL_DIR\"; exit 1; fi");
    тело += строка("echo \"" + std::string(сообщения::КОПИРУЮ_ИЗ) + "$SRC\"");
    тело += с_проверкой("mkdir -p " + в_папке("/bin") + " " + в_папке("/share") + " " +
                        в_папке("/lib/vokra"));
    тело += с_проверкой("cp \"$SRC/запустить\" " + в_папке("/bin/запустить"));
    тело +=
        строка("[ -f \"$SRC/вокра_lsp\" ] && cp \"$SRC/вокра_lsp\" " + в_папке("/bin/вокра_lsp"));
    тело += строка("[ -f \"$SRC/вокра_пакеты\" ] && cp \"$SRC/вокра_пакеты\" " +
                   в_папке("/bin/вокра_пакеты"));
    тело += строка("if [ -f \"$SRC/привет.код\" ]; then cp \"$SRC/привет.код\" " +
                   в_папке("/share/привет.код") +
                   "; elif [ -f \"$SRC/../../examples/привет.код\" ]; then cp "
                   "\"$SRC/../../examples/привет.код\" " +
                   в_папке("/share/привет.код") + "; fi");
    тело += строка(
        "for l in \"$SRC/../lib/vokra/стандартная_библиотека\" "
        "\"$SRC/../../стандартная_библиотека\" "
        "\"$PANEL_DIR/lib/vokra/стандартная_библиотека\"; do");
    const std::string библиотека = в_папке("/lib/vokra/стандартная_библиотека");
    тело += строка("  if [ -d \"$l\" ]; then rm -rf " + библиотека + "; cp -r \"$l\" " +
                   библиотека + "; break; fi");
    тело += строка("done");
    тело += строка("chmod +x " + в_папке("/bin") + "/*");
    тело += с_проверкой("echo " + в_одинарных(текущая_версия()) + " > " +
                        в_папке("/share/version.txt"));
    тело += строка(команда_добавить_в_path(D + "/bin"));
    тело += строка("echo " + в_одинарных(сообщения::ГОТОВО_УСТАНОВКА));
    return тело;
}

std::string тело_удаления(std::string_view папка) {
    return строка(команда_убрать_из_path(std::string(папка) + "/bin")) +
           с_проверкой("rm -rf " + в_одинарных(папка));
}

std::string тело_сборки(std::string_view папка) {
    const std::string D(папка);
    const std::string W = D + "/work";
    return с_проверкой("mkdir -p " + в_одинарных(W)) +
           с_проверкой("cp " + в_одинарных(D + "/share/привет.код") + " " +
                       в_одинарных(W + "/привет.код")) +
           с_проверкой("cd " + в_одинарных(W) + " && " + в_одинарных(D + "/bin/запустить") +
                       " привет.код --только-собрать") +
           строка("echo " + в_одинарных(fmt::format(сообщения::ГОТОВО_СБОРКА, W, W)));
}

std::string тело_пакетов(std::string_view папка) {
    return с_проверкой(в_одинарных(std::string(папка) + "/bin/вокра_пакеты") + " список");
}

std::string тело_обновлений(std::string_view json) {
    return с_проверкой(fmt::format(
        "curl -s -L --max-time {} -H 'Accept: application/vnd.github+json' -o {} {}",
        секунд_на_запрос_релиза, в_одинарных(json), в_одинарных(адрес_последнего_релиза)));
}

std::string тело_обновлений() {
    return тело_обновлений(файл_задачи("json"));
}

std::string тело_документации() {
    return определить_папку_панели() +
           строка(
               "for f in \"$PANEL_DIR/README.md\" \"$PANEL_DIR/../Resources/README.md\" "
               "\"$PANEL_DIR/../../README.md\" 'README.md'; do") +
           строка(
               "  if [ -f \"$f\" ]; then (open \"$f\" || xdg-open \"$f\") >/dev/null 2>&1; "
               "exit 0; fi") +
           строка("done") + строка("echo " + в_одинарных(сообщения::ЗАГОЛОВОК_НЕТ_README)) +
           строка("exit 1");
}

std::string тело_выбора_папки() {
    const std::string заголовок(сообщения::ЗАГОЛОВОК_ВЫБОРА_ПАПКИ);
    return строка("if command -v osascript >/dev/null 2>&1; then") +
           строка("  osascript -e 'POSIX path of (choose folder with prompt \"" + заголовок +
                  "\")' | sed 's#/*$##'") +
           строка("elif command -v zenity >/dev/null 2>&1; then") +
           строка("  zenity --file-selection --directory --title=" + в_одинарных(заголовок)) +
           строка("elif command -v kdialog >/dev/null 2>&1; then") +
           строка("  kdialog --getexistingdirectory " + в_одинарных(домашняя_папка())) +
           строка("else") +
           строка("  echo " + в_одинарных(сообщения::НЕТ_ПРОГРАММЫ_ВЫБОРА) + "; exit 1") +
           строка("fi");
}

std::string строка_страницы_релиза() {
    const std::string страница(страница_последнего_релиза);
    return "(open " + страница + " || xdg-open " + страница + ") > /dev/null 2>&1 &";
}

}  // namespace vokra::panel
