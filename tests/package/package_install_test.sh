#!/usr/bin/env bash
# Unpacks the Debian package into a throwaway root and checks it as a user
# and a distribution would: what it holds, what it depends on, that its
# programs run from there, and what the desktop, AppStream and Debian
# checkers say of it.
# Usage: package_install_test.sh PACKAGE_DIR VERSION BUILT_CLI SAMPLECARD_BIN WORK_DIR
set -uo pipefail
package_dir="$1" version="$2" built_cli="$3" samplecard_bin="$4" work="$5"

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

deb="$package_dir/kolvex_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
    echo "FAIL: no package $deb (ls: $(ls "$package_dir" 2>&1))" >&2
    exit 1
fi
echo "package: $deb ($(stat -c %s "$deb") bytes)"

# --- the control file
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = kolvex ] && pass "package name" || fail "package name '$(field Package)'"
[ "$(field Version)" = "$version" ] && pass "version" || fail "version '$(field Version)'"
depends="$(field Depends)"
echo "Depends: $depends"
echo "Installed-Size: $(field Installed-Size) KiB"
# libVLC is opened at run time, so it and its plugins are named by hand;
# the Qt and FFmpeg libraries come from the shared-library lookup.
for needed in libvlc5 vlc-plugin-base vlc-plugin-video-output fonts-liberation2 fonts-lato \
              fonts-dejavu-core libqt6widgets6 libqt6webenginewidgets6 libqt6core6 libc6 \
              libavformat59 libavcodec59 libswscale6 libswresample4; do
    case ", $depends," in
        *", $needed"[\ ,]*) pass "depends on $needed" ;;
        *) fail "Depends lacks $needed" ;;
    esac
done

# --- what it holds
rm -rf "$work"
mkdir -p "$work"
root="$work/root"
dpkg -x "$deb" "$root" || { fail "dpkg -x"; exit 1; }
expected=(
    usr/bin/kolvex
    usr/bin/kolvex-cli
    usr/share/applications/kolvex.desktop
    usr/share/metainfo/io.github.kolvex.Kolvex.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/kolvex.svg
    usr/share/icons/hicolor/16x16/apps/kolvex.png
    usr/share/icons/hicolor/48x48/apps/kolvex.png
    usr/share/icons/hicolor/256x256/apps/kolvex.png
    usr/share/man/man1/kolvex.1.gz
    usr/share/man/man1/kolvex-cli.1.gz
    usr/share/doc/kolvex/copyright
    usr/share/doc/kolvex/changelog.gz
)
for path in "${expected[@]}"; do
    [ -f "$root/$path" ] && pass "holds /$path" || fail "missing /$path"
done
# Nothing of the build's own tools or tests goes to users.
unexpected="$(cd "$root" && find . -type f | sed 's|^\./||' |
    grep -v -E '^usr/(bin/kolvex(-cli)?|share/(applications/kolvex\.desktop|metainfo/io\.github\.kolvex\.Kolvex\.metainfo\.xml|icons/hicolor/[^/]+/apps/kolvex\.(png|svg)|man/man1/kolvex(-cli)?\.1\.gz|doc/kolvex/(copyright|changelog\.gz)))$')"
[ -z "$unexpected" ] && pass "holds nothing else" || fail "unexpected files: $unexpected"
echo "files:"
(cd "$root" && find . -type f -printf '  /%P %s\n' | sort)

# --- its programs run from the root, on the system's libraries
for program in kolvex kolvex-cli; do
    missing="$(ldd "$root/usr/bin/$program" | grep 'not found')"
    [ -z "$missing" ] && pass "$program finds its libraries" || fail "$program: $missing"
done
if help="$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/kolvex" --help)" &&
   grep -q '^Usage: kolvex \[PATH\]' <<<"$help"; then
    pass "kolvex --help"
else
    fail "kolvex --help: $help"
fi

card="$work/card"
if ! "$samplecard_bin" "$card" >"$work/samplecard.log" 2>&1; then
    fail "writing the sample card: $(cat "$work/samplecard.log")"
else
    recording="$card/DCIM/CAMF/MOVG0020.MP4"
    installed="$("$root/usr/bin/kolvex-cli" probe "$recording")"
    status=$?
    built="$("$built_cli" probe "$recording")"
    if [ $status -eq 0 ] && [ -n "$installed" ] && [ "$installed" = "$built" ] &&
       grep -q '"gpsSize": *[1-9]' <<<"$installed"; then
        pass "installed kolvex-cli probe reads the recording as the built one"
    else
        fail "installed kolvex-cli probe (status $status): $installed / built: $built"
    fi
    installed_scan="$("$root/usr/bin/kolvex-cli" scan "$card")"
    if [ "$installed_scan" = "$("$built_cli" scan "$card")" ] &&
       grep -q '"recordings"' <<<"$installed_scan"; then
        pass "installed kolvex-cli scan lists the card as the built one"
    else
        fail "installed kolvex-cli scan differs from the built one"
    fi
fi

# --- the checkers
if output="$(desktop-file-validate "$root/usr/share/applications/kolvex.desktop" 2>&1)" &&
   [ -z "$output" ]; then
    pass "desktop-file-validate"
else
    fail "desktop-file-validate: $output"
fi
if output="$(appstreamcli validate --no-net --explain \
        "$root/usr/share/metainfo/io.github.kolvex.Kolvex.metainfo.xml" 2>&1)"; then
    pass "appstreamcli validate"
else
    fail "appstreamcli validate: $output"
fi
echo "$output" | sed 's/^/  /'
if output="$(appstreamcli validate-tree --no-net "$root" 2>&1)"; then
    pass "appstreamcli validate-tree (the metainfo finds its desktop entry and icon)"
else
    fail "appstreamcli validate-tree: $output"
fi
if command -v lintian >/dev/null 2>&1; then
    if output="$(lintian --fail-on error,warning "$deb" 2>&1)"; then
        pass "lintian: no errors or warnings"
    else
        fail "lintian: $output"
    fi
    [ -n "$output" ] && echo "$output" | sed 's/^/  /'
else
    echo "lintian is not installed: skipped"
fi

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
