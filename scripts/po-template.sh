#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# po-template.sh [--check]: makes po/zudaduviz.pot, the template of every text the game
# marks _() or N_() in src/, with xgettext; then `msgmerge --update po/LL.po po/zudaduviz.pot`
# brings a catalogue up to date for its translator. With --check, changes nothing and fails
# when the template differs from the sources' texts, or a catalogue does not compile, holds a
# fuzzy or untranslated entry, or lacks one of the template's texts.
set -eu
cd "$(dirname "$0")/.."
made=$(mktemp)
list=$(mktemp)
trap 'rm -f "$made" "$list"' EXIT
find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort > "$list"
xgettext --files-from="$list" --from-code=UTF-8 --language=C++ --keyword=_ --keyword=N_ \
    --add-comments=TRANSLATORS: --package-name=zudaduviz --msgid-bugs-address=maintainers@zudaduviz.example.org \
    --no-wrap --add-location=file --sort-output --output="$made"
# No date: the same sources give the same template.
sed -i '/^"POT-Creation-Date:/d' "$made"
if [ "${1:-}" != --check ]; then
    mv "$made" po/zudaduviz.pot
    exit 0
fi
status=0
if ! cmp -s "$made" po/zudaduviz.pot; then
    echo "po/zudaduviz.pot differs from the sources' texts (scripts/po-template.sh makes it again):"
    diff -u po/zudaduviz.pot "$made" | head -40
    status=1
fi
for po in po/*.po; do
    stats=$(msgfmt --check --statistics --output-file=/dev/null "$po" 2>&1) || status=1
    echo "$po: $stats"
    case $stats in *fuzzy*|*untranslated*) status=1 ;; esac
    msgcmp "$po" po/zudaduviz.pot || status=1
done
exit $status
