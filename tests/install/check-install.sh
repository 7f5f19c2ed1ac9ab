#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the result as a user
# and a developer meet it: the files in their GNU places, the desktop entry and
# metainfo valid, the installed program loading its device library in the
# agreed order (beside the program, then the system's search, then its private
# folder), and a program built against the installed component set only.
#
#   check-install.sh BUILD_DIR SOURCE_DIR QT_PLUGINS_DIR LIBDIR
#
# QT_PLUGINS_DIR: Qt's plugin folder relative to the prefix; LIBDIR: the
# build's library folder relative to the prefix (lib/<arch> unless configured).
set -euo pipefail
build=$1
source=$2
qt_plugins=$3
libdir=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/g740demo-install.XXXXXX")
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# An installed copy keeps its settings in the user's configuration folder:
# here, one of this check's own.
export XDG_CONFIG_HOME=$work/config
step() { echo "-- $*"; }

prefix=$work/prefix
step "cmake --install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }

private=$prefix/$libdir/g740demo
expect_file() { [ -e "$prefix/$1" ] || fail "not installed: $1"; }
step "layout"
for file in bin/g740demo "$libdir/g740demo/libModlink.so" \
    share/applications/org.example.g740demo.desktop share/metainfo/org.example.g740demo.metainfo.xml \
    share/icons/hicolor/scalable/apps/g740demo.svg share/icons/hicolor/48x48/apps/g740demo.png \
    share/man/man1/g740demo.1.gz share/doc/g740demo/copyright share/doc/g740demo/changelog.gz \
    include/vektra/components/xyplot/XYPlot.h include/vektra/components/lbutton/LButton.h \
    "$libdir/cmake/VektraComponents/VektraComponentsConfig.cmake" \
    "$qt_plugins/designer/libvektradesigner.so"; do
    expect_file "$file"
done
# The stand-in must stay out of every folder the system's library search sees.
found=$(find "$prefix" -name 'libModlink.so*' -not -path "$private/*")
[ -z "$found" ] || fail "the stand-in library outside its private folder: $found"
[ "$(readlink -f "$private/libModlink.so")" = "$(readlink -f "$private/libModlink.so.3")" ] ||
    fail "libModlink.so does not lead to the versioned library"

step "desktop entry, metainfo and manual page"
desktop-file-validate "$prefix/share/applications/org.example.g740demo.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.g740demo.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "appstreamcli validate"; }
# png_size FILE: "WIDTHxHEIGHT", the big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
icon=$(sed -n 's/^Icon=//p' "$prefix/share/applications/org.example.g740demo.desktop")
for size in 16 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/$icon.png
    [ "$(png_size "$png")" = "${size}x$size" ] || fail "$png is $(png_size "$png")"
done
man_warnings=$(gzip -dc "$prefix/share/man/man1/g740demo.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
[ -z "$man_warnings" ] || fail "manual page: $man_warnings"

# library_in_use [--window] [ENV...]: starts the installed program (headless,
# or with its window on the offscreen platform) with the environment given
# and prints the device library file that the dynamic linker initialised;
# ends it with SIGTERM once the library is in, and fails unless it ends
# cleanly. With --window the window's own library must be initialised first.
library_in_use() {
    local log=$work/run.log args=(--headless) window=false
    if [ "${1:-}" = --window ]; then
        args=() window=true
        shift
    fi
    rm -f "$log"
    env "$@" QT_QPA_PLATFORM=offscreen LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/ld" \
        "$prefix/bin/g740demo" "${args[@]}" >"$log" 2>&1 &
    program_pid=$!
    local loaded= window_in=
    for _ in $(seq 1 100); do
        window_in=$(cat "$work"/ld.* 2>/dev/null | sed -n 's/.*calling init: \(.*libg740window[^ ]*\).*/\1/p' | head -n 1)
        loaded=$(cat "$work"/ld.* 2>/dev/null | sed -n 's/.*calling init: \(.*libModlink[^ ]*\).*/\1/p' | head -n 1)
        [ -n "$loaded" ] && break
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM "$program_pid" 2>/dev/null || true
    local status=0
    wait "$program_pid" || status=$?
    program_pid=
    rm -f "$work"/ld.*
    ((status == 0)) || { cat "$log" >&2; fail "g740demo ended with exit $status on SIGTERM"; }
    if $window; then
        [ "$window_in" = "$private/libg740window.so" ] || fail "the window's library: loaded '$window_in'"
    elif [ -n "$window_in" ]; then
        fail "the headless program loaded the window's library"
    fi
    echo "$loaded"
}

step "the installed program finds its private stand-in (headless)"
in_use=$(library_in_use)
[ "$in_use" = "$private/libModlink.so" ] || fail "private folder: loaded '$in_use'"
# It writes nothing into its own folders, even where it could.
[ ! -e "$prefix/bin/G740Config.ini" ] || fail "the installed program wrote its settings beside itself"
[ -f "$XDG_CONFIG_HOME/g740demo/G740Config.ini" ] || fail "no settings file in the user's configuration folder"

step "the installed window opens from the private folder and finds the module"
in_use=$(library_in_use --window)
[ "$in_use" = "$private/libModlink.so" ] || fail "window, private folder: loaded '$in_use'"

step "a library in the system's search comes before the private one"
mkdir "$work/system"
cp "$private/libModlink.so.3.4.0" "$work/system/libModlink.so"
in_use=$(library_in_use LD_LIBRARY_PATH="$work/system")
[ "$in_use" = "$work/system/libModlink.so" ] || fail "system search: loaded '$in_use'"

step "a library beside the program comes first"
cp "$private/libModlink.so.3.4.0" "$prefix/bin/libModlink.so"
in_use=$(library_in_use LD_LIBRARY_PATH="$work/system")
[ "$in_use" = "$prefix/bin/libModlink.so" ] || fail "beside the program: loaded '$in_use'"
rm "$prefix/bin/libModlink.so"

step "--version names the library in use"
"$prefix/bin/g740demo" --version >"$work/version.log" 2>&1 </dev/null ||
    { cat "$work/version.log"; fail "--version ended with an error"; }
grep -qF "$private/libModlink.so.3.4.0" "$work/version.log" ||
    { cat "$work/version.log"; fail "--version does not name $private/libModlink.so.3.4.0"; }

step "a program built against the installed component set only"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$source/examples/vektra-widgets" -B "$work/example" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF "${launcher[@]}" \
    >"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "configuring the example"; }
grep -q "VektraComponents_DIR:PATH=$prefix/" "$work/example/CMakeCache.txt" ||
    fail "the example did not find the installed package"
cmake --build "$work/example" >>"$work/example.log" 2>&1 || { cat "$work/example.log"; fail "building the example"; }
if grep -rqF -- "$source/src" "$work/example/build.ninja"; then
    fail "the example's build reaches into the source tree"
fi
QT_QPA_PLATFORM=offscreen "$work/example/vektra_widgets_example" --grab "$work/example.png" 2>/dev/null ||
    fail "the example did not run"
[ "$(png_size "$work/example.png")" = "560x420" ] ||
    fail "the example's window image is $(png_size "$work/example.png"), not 560x420"

echo "install checks passed"
