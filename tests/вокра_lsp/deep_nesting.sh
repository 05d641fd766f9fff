#!/bin/sh
# The deepest text the parser accepts, checked and completed by the server
# under a 1 MB stack limit: the server's work must not depend on `ulimit -s`.
# Usage: deep_nesting.sh SERVER
set -eu
server=$1
ulimit -s 1024

# 998 nested parentheses, the deepest this shape may go: the body and the
# statement take the other two levels. The text is valid for every stage, so
# the lexer, the parser and the analyser all run over the whole depth.
open=$(printf '%0998d' 0 | tr 0 '(')
close=$(printf '%0998d' 0 | tr 0 ')')
text="функция глубокая() { целое x = ${open}1${close}; }"
uri='file:///tmp/deep.kod'

send() {
    printf 'Content-Length: %d\r\n\r\n%s' "$(printf '%s' "$1" | wc -c)" "$1"
}
output=$(
    {
        send '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
        send '{"jsonrpc":"2.0","method":"initialized","params":{}}'
        send '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"'$uri'","languageId":"vokra","version":1,"text":"'"$text"'"}}}'
        send '{"jsonrpc":"2.0","id":2,"method":"textDocument/completion","params":{"textDocument":{"uri":"'$uri'"},"position":{"line":0,"character":0}}}'
        send '{"jsonrpc":"2.0","id":3,"method":"shutdown"}'
        send '{"jsonrpc":"2.0","method":"exit"}'
    } | "$server"
)

expect() {
    if ! printf '%s' "$output" | grep -q "$1"; then
        echo "missing in the server's output: $1" >&2
        exit 1
    fi
}
expect '"diagnostics":\[\]'
expect '"label":"глубокая"'
expect '"id":3,"jsonrpc":"2.0","result":null'
