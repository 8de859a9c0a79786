#!/usr/bin/env bash
# The packages as a user gets them: make dist's script builds them here; the silent setup
# installs for this user only (files, Start-menu shortcut, start-up entry, uninstall key); the
# installed program starts from its shortcut and shows its icon; a second setup over the
# running copy closes it, replaces the files and starts the new one; the silent uninstaller
# removes everything but the user's toolbar list. Then the portable zip, unpacked into a
# folder with spaces, runs and finds its French language file (the main window's caption).
# Arguments: EXE HELPER VERSION LOCAL_INI_TOOL HELP_HTML
source "$(dirname "$0")/lib.sh"
VERSION="$3"
LOCAL_INI_TOOL="$4"
HELP_HTML="$5"
setup

installed="$LOCALAPPDATA_UNIX/Programs/ZelkToolBars"
link="$(dirname "$LOCALAPPDATA_UNIX")/Roaming/Microsoft/Windows/Start Menu/Programs/ZelkToolBars.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZelkToolBars'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\ToolBars\Settings\Windows'
tools="$DRIVE_C/zelk-install"
portable="$DRIVE_C/zelk-install/Portable Apps/Zelk Tool Bars"

# Every copy goes, and nothing of an install is left for the next test: wineboot would start a
# leftover start-up entry in every later test.
close_all() { quiet wine "$HELPER" close ZelkToolBarsMain || true; }
# A copy that would not quit is ended, by process id, in this prefix only (other checkouts run
# the same Windows paths in prefixes of their own).
kill_leftovers() {
  local pid
  for pid in $(pgrep -f 'ZelkToolBars\.exe' || true); do
    # The program itself (its first word), not a script that names it.
    [[ "$(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -1)" == *ZelkToolBars.exe ]] || continue
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      kill "$pid" 2>/dev/null || true
    fi
  done
}
forget_install() {
  close_all
  kill_leftovers
  rm -rf "$installed" "$link" "$tools"
  quiet wine reg delete "$uninstall_key" /f || true
  quiet wine reg delete "$run_key" /v ToolBars /f || true
  quiet wine reg delete "$settings_key" /v AutoStart /f || true
}
trap 'forget_install; kill_app' EXIT
forget_install

# reg_value KEY NAME: the value's data as `reg query` prints it; nothing when it is absent.
reg_value() {
  wine_capture reg query "$1" /v "$2" | tr -d '\r' |
    awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { sub(/^ *[^ ]+ +REG_[A-Z_]+ */, ""); print; exit }'
}
main_pids() { app_windows | cut -f2 | sort -u; }
# The version a file's resource holds, as the helper prints it.
resource_version() { wine_capture "$HELPER" version "$1" | tr -d '\r'; }

# --- the packages, built by the script make dist runs, with the shipped language files
bash "$E2E_ROOT/scripts/dist.sh" --version "$VERSION" --exe "$EXE" --help "$HELP_HTML" \
  --local-ini-tool "$LOCAL_INI_TOOL" --lng-dir "$E2E_ROOT/lng" --out "$WORK/dist" \
  >"$WORK/dist.log" 2>&1 || fail "dist.sh failed: $(tail -5 "$WORK/dist.log")"
setup_exe="$WORK/dist/ZelkToolBars-$VERSION-setup.exe"
zip="$WORK/dist/ZelkToolBars-$VERSION-x64.zip"
[ -f "$setup_exe" ] && [ -f "$zip" ] || fail "no packages named for $VERSION: $(ls "$WORK/dist")"
(cd "$WORK/dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the packages"
manifests="$WORK/dist/winget/manifests/t/Tanvel/ZelkToolBars/$VERSION"
setup_sha="$(sha256sum "$setup_exe" | cut -d' ' -f1 | tr 'a-f' 'A-F')"
for kind in "" .installer .locale.en-US; do
  m="$manifests/Tanvel.ZelkToolBars$kind.yaml"
  grep -qx "PackageVersion: $VERSION" "$m" || fail "$m: not version $VERSION"
  grep -qx "ManifestVersion: 1.6.0" "$m" || fail "$m: not manifest version 1.6.0"
done
installer_manifest="$manifests/Tanvel.ZelkToolBars.installer.yaml"
grep -qx "    InstallerSha256: $setup_sha" "$installer_manifest" || fail "winget: wrong InstallerSha256"
grep -qx "  Silent: /S" "$installer_manifest" || fail "winget: no silent switch"
grep -qx "    InstallerUrl: .*/ZelkToolBars-$VERSION-setup.exe" "$installer_manifest" ||
  fail "winget: the installer address does not name the setup"
[ "$(resource_version "$(winepath -w "$setup_exe" 2>/dev/null </dev/null)")" = \
  "fixed=$VERSION.0 file=$VERSION product=$VERSION" ] || fail "the setup's own version is not $VERSION"
log "packages: $(cd "$WORK/dist" && ls | tr '\n' ' ')"

mkdir -p "$tools/Tools" "$DATA"
echo "notes" >"$tools/Tools/notes.txt"
printf 'C:\\zelk-install\\Tools|Tools\r\n' >"$DATA/ToolBars.txt"
cp "$DATA/ToolBars.txt" "$WORK/toolbars-before.txt"

# --- silent install, for this user only, asking to start with Windows
quiet wine "$setup_exe" /S /STARTWITHWINDOWS || fail "the silent setup failed"
for file in ZelkToolBars.exe help.html LICENSE Lng/Local.ini Lng/fra.lng uninstall.exe; do
  [ -f "$installed/$file" ] || fail "not installed: $file"
done
cmp -s "$EXE" "$installed/ZelkToolBars.exe" || fail "the installed exe is not the built one"
[ -f "$link" ] || fail "no Start-menu shortcut"
installed_win="$(winepath -w "$installed" 2>/dev/null </dev/null | tr -d '\r')"
[ -n "$installed_win" ] || fail "winepath gave nothing for $installed"
exe_win="$installed_win\\ZelkToolBars.exe"

[ "$(resource_version "$exe_win")" = "fixed=$VERSION.0 file=$VERSION product=$VERSION" ] ||
  fail "the exe's version resource says $(resource_version "$exe_win"), the packages $VERSION"
key="$(wine_capture reg query "$uninstall_key" | tr -d '\r')"
echo "$key" >"$WORK/uninstall-key.txt"
expect_value() { # NAME DATA: one line of the uninstall key
  grep -qxF "    $1    REG_SZ    $2" <<<"$key" || fail "uninstall key: $1 is not '$2'"
}
expect_value DisplayName ZelkToolBars
expect_value DisplayVersion "$VERSION"
expect_value Publisher Tanvel
expect_value DisplayIcon "$exe_win,0"
expect_value InstallLocation "$installed_win"
expect_value UninstallString "\"$installed_win\\uninstall.exe\""
expect_value QuietUninstallString "\"$installed_win\\uninstall.exe\" /S"
size="$(awk '$1 == "EstimatedSize" && $2 == "REG_DWORD" { print $3 }' <<<"$key")"
[ -n "$size" ] && [ $((size)) -ge 100 ] || fail "uninstall key: EstimatedSize is '$size' KB"
[ "$(reg_value "$run_key" ToolBars)" = "\"$exe_win\"" ] || fail "start-up entry: $(reg_value "$run_key" ToolBars)"
[ "$(reg_value "$settings_key" AutoStart)" = 1 ] || fail "the Parameters dialog would not show the start-up choice"

# --- the installed program, started from its shortcut, shows its icon
quiet wine start /unix "$link" || fail "the shortcut does not start"
wait_until 30 eval '[ -n "$(main_pids)" ]' || fail "the installed program never started"
wait_until 15 icon_shown || fail "the installed program shows no tray icon"
old_pid="$(main_pids)"
[ "$(wc -l <<<"$old_pid")" -eq 1 ] || fail "more than one copy runs: $old_pid"
log "installed copy runs as process $old_pid"

# --- update over the running copy: it is asked to quit, replaced, and started again. The
# icon's own menu is open meanwhile: the request arrives inside the menu's loop.
echo "<!-- left by the old copy -->" >>"$installed/help.html"
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu on the installed copy"
quiet wine "$setup_exe" /S || fail "the update over the running copy failed"
[ "$(wine_capture "$HELPER" alive "$old_pid" | tr -d '\r')" = gone ] || fail "the old copy still runs"
new_running() { local p; p="$(main_pids)"; [ -n "$p" ] && [ "$p" != "$old_pid" ]; }
wait_until 30 new_running || fail "the setup did not start the new copy"
new_pid="$(main_pids)"
[ "$(wc -l <<<"$new_pid")" -eq 1 ] || fail "more than one copy runs after the update: $new_pid"
wait_until 15 icon_shown || fail "the new copy shows no tray icon"
unzip -p "$zip" help.html | cmp -s - "$installed/help.html" || fail "the update did not replace the files"
[ "$(reg_value "$run_key" ToolBars)" = "\"$exe_win\"" ] || fail "the update lost the start-up choice"
log "updated copy runs as process $new_pid"

# --- silent uninstall: the running copy quits, everything goes but the user's toolbars. The
# Parameters dialog is open meanwhile: the request arrives inside the dialog's loop.
dialog_open() { windows | awk -F'\t' '$3 == "ZelkDialog" && $4 == 1 { found = 1 } END { exit !found }'; }
xdotool mousemove "$TRAY_X" "$TRAY_Y" click 3
wait_until 10 menu_open || fail "no context menu on the updated copy"
wine_capture "$HELPER" keys down return >/dev/null
wait_until 10 dialog_open || fail "the Parameters dialog did not open"
quiet wine "$installed/uninstall.exe" /S || fail "the silent uninstall failed"
wait_until 30 eval '[ ! -e "$installed" ]' || fail "left behind: $(ls -R "$installed" | tr '\n' ' ')"
[ "$(wine_capture "$HELPER" alive "$new_pid" | tr -d '\r')" = gone ] || fail "the installed copy still runs"
[ -z "$(main_pids)" ] || fail "a copy still runs after the uninstall"
[ ! -e "$link" ] || fail "the Start-menu shortcut is left"
wine_capture reg query "$uninstall_key" >/dev/null && fail "the uninstall key is left"
[ -z "$(reg_value "$run_key" ToolBars)" ] || fail "the start-up entry is left"
[ -z "$(reg_value "$settings_key" AutoStart)" ] || fail "the start-up choice is left"
cmp -s "$WORK/toolbars-before.txt" "$DATA/ToolBars.txt" || fail "the user's toolbar list was not kept"
wait_until 10 icon_gone || fail "the tray icon stayed after the uninstall"

# --- portable: unpacked into a folder with spaces, it runs and reads its French file
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
(env LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8 wine explorer /desktop=shell,1280x800 \
  "$portable/ZelkToolBars.exe" >"$WORK/portable.log" 2>&1 </dev/null &)
wait_until 30 eval '[ -n "$(main_pids)" ]' || fail "the portable copy never started"
wait_until 15 icon_shown || fail "the portable copy shows no tray icon"
caption="$(app_windows | cut -f6 | head -1)"
log "portable main window: $caption"
[ "$caption" = "Menu des barres d'outils" ] || fail "the portable copy did not read Lng\\fra.lng"
quiet wine "$HELPER" close ZelkToolBarsMain || fail "the portable copy did not quit when asked"
[ -z "$(main_pids)" ] || fail "the portable copy still runs"
log "PASS"
