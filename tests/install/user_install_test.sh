#!/bin/sh
# Installs Vellaro for a user whose home is a temporary folder, with the script `make install` runs, then checks
# what the desktop sees, starts the program from its menu entry, reinstalls over a changed catalogue and
# uninstalls again.
#
#     user_install_test.sh <user-install-script> <build-folder>
set -eu

script=$1
build=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/vellaro-install.XXXXXX")
program_pid=""
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A home whose name needs the menu entry's quoting, and a data folder away from the usual place.
home="$work/the \"photo\" \$home"
data="$home/data"
mkdir -p "$home/.local/bin" "$data/applications" "$work/elsewhere" "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export HOME="$home" XDG_DATA_HOME="$data"
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR

# The user's own things, which neither install nor uninstall may touch.
printf '#!/bin/sh\n' >"$home/.local/bin/other-tool"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other-tool\n' >"$data/applications/other.desktop"
update-desktop-database "$data/applications"
printf 'not a launcher of ours\n' >"$home/.local/bin/vellaro"

if "$script" install "$build" >"$work/log" 2>&1; then
    fail "install replaced a launcher that was not its own"
fi
[ "$(cat "$home/.local/bin/vellaro")" = "not a launcher of ours" ] || fail "the foreign launcher was changed"
rm "$home/.local/bin/vellaro"

"$script" install "$build" >"$work/log" 2>&1 || { cat "$work/log"; fail "install failed"; }
[ ! -e "$home/.local/share" ] || fail "installed under ~/.local/share although XDG_DATA_HOME names another folder"
program="$data/Vellaro"

# The menu entry, icon and description are filed under one name.
entry=$(find "$data/applications" -name '*.desktop' ! -name other.desktop)
[ "$(printf '%s\n' "$entry" | wc -l)" -eq 1 ] || fail "expected one menu entry, found: $entry"
id=$(basename "$entry" .desktop)
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the menu entry"
grep -qx "Icon=$id" "$entry" || fail "the menu entry's icon is not $id"
metainfo="$data/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || fail "no description at $metainfo"
appstreamcli validate --no-net "$metainfo" >"$work/appstream" 2>&1 || { cat "$work/appstream"; fail "appstreamcli rejects the description"; }
# Not even a remark, but that the id's domain is no registered one: the program has no domain of its own.
if grep '^[EWI]:' "$work/appstream" | grep -qv ': cid-maybe-not-rdns '; then
    cat "$work/appstream"
    fail "appstreamcli remarks on the description"
fi
grep -q "<id>$id</id>" "$metainfo" || fail "the description's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the description does not launch $id.desktop"

# Every size the icon theme asks for, each a PNG of that size: the signature, then width and height in IHDR.
for size in 16 22 24 32 48 64 128 256; do
    icon="$data/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] || fail "no $size pixel icon at $icon"
    header=$(od -An -tu1 -N24 "$icon" | tr -s ' \n' ' ')
    # shellcheck disable=SC2086 # the bytes are numbers, split on purpose
    set -- $header
    [ "$1 $2 $3 $4 $5 $6 $7 $8" = "137 80 78 71 13 10 26 10" ] || fail "$icon is not a PNG"
    shift 16
    width=$(($1 * 16777216 + $2 * 65536 + $3 * 256 + $4))
    height=$(($5 * 16777216 + $6 * 65536 + $7 * 256 + $8))
    [ "$width x $height" = "$size x $size" ] || fail "$icon is $width x $height pixels, not $size"
done

# The scalable icon for the sizes in between: an SVG document of the same 48-unit grid.
scalable="$data/icons/hicolor/scalable/apps/$id.svg"
[ -f "$scalable" ] || fail "no scalable icon at $scalable"
xmllint --noout "$scalable" || fail "$scalable is no well-formed document"
[ "$(xmllint --xpath 'name(/*)' "$scalable")" = svg ] || fail "$scalable is no SVG picture"
[ "$(xmllint --xpath 'string(/*/@viewBox)' "$scalable")" = "0 0 48 48" ] || fail "$scalable is not on the icon's grid"
[ "$(xmllint --xpath 'count(/*/*[local-name()="path"])' "$scalable")" -gt 5 ] || fail "$scalable draws nothing"

# Start the program as the desktop would: the entry's Exec line, unescaped as the entry format says, run from
# another folder. It has opened its own catalogue once it makes its settings and has made the catalogue private.
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g')
eval "set -- $exec_line"
[ $# -eq 1 ] || fail "the Exec line splits into $# words: $exec_line"
[ "$(readlink -f "$1")" = "$(readlink -f "$program/Vellaro")" ] || fail "the Exec line does not run the installed program"
catalogue="$program/Vellaro.mdb"
chmod 0644 "$catalogue"
(cd "$work/elsewhere" && XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    exec "$1" >"$work/program.log" 2>&1) &
program_pid=$!
waited=0
until [ -f "$work/config/Vellaro/Vellaro.ini" ]; do
    kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended at start-up"; }
    [ $waited -lt 600 ] || fail "the program started from the menu entry did not get past its start"
    sleep 0.1
    waited=$((waited + 1))
done
[ "$(stat -c %a "$catalogue")" = 600 ] || fail "the program did not open the installed catalogue"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the program wrote into the folder it was started from"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""
# Stopped at any moment it may leave the catalogue's journal; the catalogue is replaced next, so the journal goes.
rm -f "$catalogue-journal"

# A second install keeps the user's catalogue as it is.
printf 'the user catalogue, changed since the first install\n' >"$catalogue"
cp "$catalogue" "$work/catalogue"
"$script" install "$build" >"$work/log" 2>&1 || { cat "$work/log"; fail "the second install failed"; }
cmp -s "$catalogue" "$work/catalogue" || fail "the second install overwrote the catalogue"

# The user edits the menu entry: uninstall leaves the edited file, as it is no longer what was installed.
printf 'X-Vellaro-Edited=true\n' >>"$entry"
cp "$entry" "$work/entry"

"$script" uninstall >"$work/log" 2>&1 || { cat "$work/log"; fail "uninstall failed"; }
cmp -s "$catalogue" "$work/catalogue" || fail "uninstall changed the catalogue"
cmp -s "$entry" "$work/entry" || fail "uninstall removed the menu entry the user had edited"
left=$(cd "$home" && find . ! -type d | LC_ALL=C sort | tr '\n' '|')
expected=$(printf '%s\n' ./.local/bin/other-tool ./data/Vellaro/Vellaro.mdb ./data/applications/other.desktop \
    ./data/applications/mimeinfo.cache "./data/applications/$id.desktop" | LC_ALL=C sort | tr '\n' '|')
[ "$left" = "$expected" ] || fail "after uninstall the home holds $left, expected $expected"
for folder in "$data/icons" "$data/metainfo" "$program/Help"; do
    [ ! -e "$folder" ] || fail "uninstall left the folder $folder that install made"
done

# Uninstalling again finds nothing of its own and changes nothing.
"$script" uninstall >"$work/log" 2>&1 || { cat "$work/log"; fail "a second uninstall failed"; }
left_again=$(cd "$home" && find . ! -type d | LC_ALL=C sort | tr '\n' '|')
[ "$left_again" = "$left" ] || fail "a second uninstall removed $left, leaving $left_again"
echo "user install: passed"
