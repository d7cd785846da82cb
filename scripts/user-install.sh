#!/bin/sh
# Installs Vellaro for the current user, without root, or removes it again:
#
#     scripts/user-install.sh install <build-folder>
#     scripts/user-install.sh uninstall
#
# The program folder goes to $XDG_DATA_HOME/Vellaro (~/.local/share/Vellaro), the launcher to ~/.local/bin, and the
# menu entry, icons and software-centre description to the desktop's folders under $XDG_DATA_HOME. Every file, link
# and folder it makes is listed in a manifest in the program folder; uninstall removes what is listed and nothing
# else. The catalogue is never listed: a user's catalogue is neither overwritten nor removed.
set -eu

usage() {
    echo "usage: $0 install <build-folder> | uninstall" >&2
    exit 2
}

fail() {
    echo "$*" >&2
    exit 1
}

case "${HOME:-}" in
/*) ;;
*) fail "HOME must be an absolute folder" ;;
esac
# The base-directory rules: an empty or relative XDG_DATA_HOME is ignored.
data=${XDG_DATA_HOME:-}
case "$data" in
/*) ;;
*) data=$HOME/.local/share ;;
esac
case "$HOME$data" in
*'
'*) fail "Folders whose names hold a line break are not supported" ;;
esac

program=$data/Vellaro
launcher=$HOME/.local/bin/vellaro
manifest=$program/.install-manifest
tab=$(printf '\t')

checksum() {
    sha256sum <"$1" | cut -d ' ' -f 1
}

# Manifest lines are "kind<TAB>check<TAB>path": f a file and its checksum, l a link and its target, d a folder.
record() {
    printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$entries"
}

# Makes a folder and those above it that are missing, listing each one it made.
makedir() {
    [ -d "$1" ] && return 0
    makedir "$(dirname "$1")"
    mkdir "$1"
    record d - "$1"
}

installfile() {
    makedir "$(dirname "$2")"
    cp "$1" "$2"
    chmod 0644 "$2"
    record f "$(checksum "$2")" "$2"
}

# The desktop keeps caches of menu entries and icons; where the user has them they are refreshed, when the tools
# are installed. Where there is none the desktop reads the folders themselves, and none is made: it would outlive
# an uninstall.
refreshcaches() {
    applications=$data/applications
    if command -v update-desktop-database >/dev/null 2>&1 && [ -f "$applications/mimeinfo.cache" ]; then
        update-desktop-database -q "$applications" 2>/dev/null || true
    fi
    hicolor=$data/icons/hicolor
    if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$hicolor/icon-theme.cache" ]; then
        gtk-update-icon-cache -q -t -f "$hicolor" 2>/dev/null || true
    fi
}

# Adds this run's entries to the manifest, each path once with its latest check, so a second install keeps the
# folders the first one made. Runs on every exit, so an install that stops half-way can still be removed.
savemanifest() {
    if [ -d "$program" ] && [ -s "$entries" ]; then
        { [ -f "$manifest" ] && cat "$manifest"; cat "$entries"; } |
            awk -F '\t' '!($3 in last) { order[++n] = $3 } { last[$3] = $0 } END { for (i = 1; i <= n; i++) print last[order[i]] }' \
                >"$manifest.new"
        mv "$manifest.new" "$manifest"
    fi
    rm -f "$entries"
}

# The desktop entry's Exec runs the launcher whatever its path holds: quoted, with the quoting's own escapes, then
# the entry file's escapes for backslashes and the doubling of "%" that field codes need.
writeentry() {
    LAUNCHER_PATH=$(printf '%s' "$launcher" | sed 's/\\/\\\\/g')
    LAUNCHER_EXEC=$(printf '%s' "$launcher" | sed -e 's/[\\"`$]/\\&/g' -e 's/^/"/' -e 's/$/"/' -e 's/\\/\\\\/g' -e 's/%/%%/g')
    export LAUNCHER_PATH LAUNCHER_EXEC
    makedir "$(dirname "$2")"
    awk 'function put(line, key, value,   at, out) {
        out = ""
        while ((at = index(line, key)) > 0) {
            out = out substr(line, 1, at - 1) value
            line = substr(line, at + length(key))
        }
        return out line
    }
    { print put(put($0, "{launcher-path}", ENVIRON["LAUNCHER_PATH"]), "{launcher-exec}", ENVIRON["LAUNCHER_EXEC"]) }' \
        "$1" >"$2"
    chmod 0644 "$2"
    record f "$(checksum "$2")" "$2"
}

install_all() {
    build=$1
    desktop=$build/desktop
    if [ ! -f "$build/cmake_install.cmake" ] || [ ! -d "$desktop/icons" ]; then
        fail "$build is not a finished build of Vellaro: build it first (make install does)"
    fi
    # The launcher's name is a common one: never replace a file that is not ours.
    if { [ -e "$launcher" ] || [ -L "$launcher" ]; } && [ "$(readlink "$launcher")" != "$program/Vellaro" ]; then
        fail "$launcher exists and is not Vellaro's launcher: move it away and install again"
    fi

    entries=$(mktemp)
    trap savemanifest EXIT
    makedir "$program"

    # The program folder is the one `make run` makes, by the same install rules; they copy the delivered
    # catalogue only into a folder that has none.
    log=$(cmake --install "$build" --prefix "$program") || fail "$log"
    printf '%s\n' "$log" | sed -n -e 's/^-- Installing: //p' -e 's/^-- Up-to-date: //p' | sed 's|/\./|/|g' | while IFS= read -r path; do
        if [ -d "$path" ]; then
            record d - "$path"
        elif [ -f "$path" ]; then
            record f "$(checksum "$path")" "$path"
        fi
    done

    makedir "$(dirname "$launcher")"
    rm -f "$launcher"
    ln -s "$program/Vellaro" "$launcher"
    record l "$program/Vellaro" "$launcher"

    for template in "$desktop"/applications/*.desktop.in; do
        name=$(basename "$template" .in)
        writeentry "$template" "$data/applications/$name"
    done
    (cd "$desktop/icons" && find . -type f) | while IFS= read -r icon; do
        installfile "$desktop/icons/$icon" "$data/icons/${icon#./}"
    done
    for metainfo in "$desktop"/metainfo/*.xml; do
        installfile "$metainfo" "$data/metainfo/$(basename "$metainfo")"
    done

    savemanifest
    trap - EXIT
    refreshcaches
    echo "Vellaro is installed in $program; start it from the desktop's menu or with $launcher"
}

uninstall_all() {
    if [ ! -f "$manifest" ]; then
        echo "Vellaro is not installed for this user: there is no $manifest"
        return 0
    fi
    # Last made, first removed: files before the folders that hold them, inner folders before outer ones. The
    # manifest goes only once its files are gone, so an uninstall that is stopped can be run again to finish.
    list=$(tac "$manifest")
    printf '%s\n' "$list" | while IFS="$tab" read -r kind check path; do
        case "$kind" in
        f)
            if [ ! -f "$path" ] || [ -L "$path" ]; then
                continue
            elif [ "$(checksum "$path")" = "$check" ]; then
                rm -f "$path"
            else
                echo "Kept $path: it has changed since it was installed"
            fi
            ;;
        l)
            if [ -L "$path" ] && [ "$(readlink "$path")" = "$check" ]; then
                rm -f "$path"
            fi
            ;;
        esac
    done
    rm -f "$manifest"
    printf '%s\n' "$list" | while IFS="$tab" read -r kind check path; do
        if [ "$kind" = d ]; then
            rmdir "$path" 2>/dev/null || true
        fi
    done
    refreshcaches
    if [ -e "$program/Vellaro.mdb" ]; then
        echo "Vellaro is uninstalled; your catalogue stays in $program/Vellaro.mdb"
    else
        echo "Vellaro is uninstalled"
    fi
}

case "${1:-}" in
install)
    [ $# -eq 2 ] || usage
    install_all "$2"
    ;;
uninstall)
    [ $# -eq 1 ] || usage
    uninstall_all
    ;;
*) usage ;;
esac
