#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks the
# installation a user's machine would get: both programs start, the desktop
# entry validates, the MIME types register, the icons, the examples (with
# the cluster scripts, runnable) and the user manual are there.
#   scripts/check-install.sh build/test
set -euo pipefail
build=${1:?usage: scripts/check-install.sh BUILD_FOLDER}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/torqwell_*.deb)
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --info "$deb" | grep -E "^ (Package|Version|Depends):" | head -3
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

fail() { echo "install check: $*" >&2; exit 1; }
[ -x "$root/usr/bin/torqwell" ] || fail "no /usr/bin/torqwell"
[ -x "$root/usr/bin/torqwell-cli" ] || fail "no /usr/bin/torqwell-cli"
"$root/usr/bin/torqwell-cli" --version | grep -q "^torqwell-cli " || fail "torqwell-cli --version"
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/torqwell" --version | grep -q "^torqwell " || fail "torqwell --version"
"$root/usr/bin/torqwell-cli" run "$root/usr/share/torqwell/examples/chevy-350-street.trq" >/dev/null \
    || fail "the installed example engine does not run"
# The reference engines with their published peaks: all fifteen run.
"$root/usr/bin/torqwell-cli" reference --format json --library "$root/usr/share/torqwell/examples/reference" \
    >"$scratch/reference.json" || fail "the installed reference engines do not run"
[ "$(grep -o '"file": "examples/reference/[^"]*\.trq"' "$scratch/reference.json" | wc -l)" -eq 15 ] \
    || fail "not the fifteen reference engines"

desktop-file-validate "$root/usr/share/applications/torqwell.desktop" || fail "desktop entry"
mime="$scratch/mime"
mkdir -p "$mime/packages"
cp "$root/usr/share/mime/packages/torqwell.xml" "$mime/packages/"
update-mime-database "$mime" 2>/dev/null || fail "MIME description does not parse"
for glob in trq cam flw; do
    grep -q "application/x-torqwell-.*:\*\.$glob" "$mime/globs2" || fail "no MIME type for *.$glob"
done
for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
    [ -s "$root/usr/share/icons/hicolor/$size/apps/torqwell.png" ] || fail "no $size icon"
done
[ -s "$root/usr/share/icons/hicolor/scalable/apps/torqwell.svg" ] || fail "no scalable icon"
cluster="$root/usr/share/torqwell/examples/cluster"
[ -s "$cluster/README.md" ] || fail "no cluster example (examples/cluster/README.md)"
for script in submit.sh iterate-shard.sbatch iterate-merge.sbatch parallel-ssh.sh; do
    [ -f "$cluster/$script" ] && [ -x "$cluster/$script" ] || fail "cluster example: no runnable $script"
done
for file in series.conf hosts.txt; do
    [ -s "$cluster/$file" ] || fail "cluster example: no $file"
done
manual="$root/usr/share/torqwell/Trqmanual.pdf"
[ "$(head -c 5 "$manual" 2>/dev/null)" = "%PDF-" ] || fail "no user manual (share/torqwell/Trqmanual.pdf)"
echo "install check: the package installs both programs, the examples, reference engines and cluster scripts, the user manual, the menu entry, the MIME types and the icons"
