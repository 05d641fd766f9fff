#!/usr/bin/env bash
# bench/packages/many_tags.sh PROGRAM [TAGS]: how long `вокра_пакеты установить`
# takes for a package whose repository holds TAGS tags (default 100 000), as
# a multiple of `git ls-remote --tags` of the same repository, which every
# range has to read. One line per case: the seconds (median of three runs)
# and the multiple. The goal is a few times the listing at most.
set -euo pipefail

program=$(realpath "$1")
tags=${2:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" TMPDIR="$work/tmp" GIT_CONFIG_NOSYSTEM=1 LC_ALL=C
mkdir -p "$HOME" "$TMPDIR" "$work/project"

# One commit and TAGS lightweight tags on it, written as packed refs.
git init -q -b main "$work/source"
printf 'функция ф() {}\n' > "$work/source/п.код"
git -C "$work/source" add -A
git -C "$work/source" -c user.name=bench -c user.email=bench@localhost commit -qm 1
commit=$(git -C "$work/source" rev-parse HEAD)
git clone -q --bare "$work/source" "$work/repo.git"
{
    echo '# pack-refs with: peeled fully-peeled sorted'
    echo "$commit refs/heads/main"
    for ((i = 1; i <= tags; i++)); do echo "$commit refs/tags/v$i.0.0"; done | sort -k2
} > "$work/repo.git/packed-refs"

# The median of three runs of a command, in seconds.
median() {
    local times=() start end
    for _ in 1 2 3; do
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n 2p
}

install() {
    rm -rf "$work/project/пакеты" "$work/project/вокра.блокировка"
    (cd "$work/project" && "$program" установить)
}

listing=$(median git ls-remote --tags "file://$work/repo.git")
printf 'git ls-remote --tags, %d tags: %.2f s\n' "$tags" "$listing"
for version in "^1.0.0" "v$tags.0.0"; do
    printf 'п = git file://%s/repo.git версия=%s\n' "$work" "$version" \
        > "$work/project/вокра.зависимости"
    seconds=$(median install)
    printf 'установить, версия=%s: %.2f s, ×%.1f of the listing\n' "$version" "$seconds" \
        "$(awk -v a="$seconds" -v b="$listing" 'BEGIN { print a / b }')"
done
