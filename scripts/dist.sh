#!/usr/bin/env bash
# Builds the packages of one version into one folder: the portable zip, the per-user setup
# (NSIS), SHA256SUMS and a winget manifest set. Run by `make dist` (the CMake target "dist"),
# and by the installer's end-to-end test into a folder of its own.
#   dist.sh --version X.Y.Z --exe ZelkToolBars.exe --help help.html --local-ini-tool TOOL
#           --lng-dir DIR --out DIR [--release-url URL]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

version="" exe="" help="" local_ini_tool="" lng_dir="" out="" release_url=""
while [ $# -gt 0 ]; do
  case "$1" in
    --version) version="$2" ;;
    --exe) exe="$2" ;;
    --help) help="$2" ;;
    --local-ini-tool) local_ini_tool="$2" ;;
    --lng-dir) lng_dir="$2" ;;
    --out) out="$2" ;;
    --release-url) release_url="$2" ;;
    *) echo "dist.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done
for name in version exe help local_ini_tool lng_dir out; do
  [ -n "${!name}" ] || { echo "dist.sh: --${name//_/-} is required" >&2; exit 2; }
done
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "dist.sh: version $version is not x.y.z" >&2; exit 2; }
for file in "$exe" "$help" "$local_ini_tool"; do
  [ -f "$file" ] || { echo "dist.sh: $file is missing" >&2; exit 1; }
done

zip_name="ZelkToolBars-$version-x64.zip"
setup_name="ZelkToolBars-$version-setup.exe"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
stage="$out/stage/ZelkToolBars"
rm -rf "$out/stage" "$out/winget" "$out/$zip_name" "$out/$setup_name" "$out/SHA256SUMS"
mkdir -p "$stage/Lng"

# The files of the program, as they sit in its folder (portable or installed).
cp "$exe" "$stage/ZelkToolBars.exe"
cp "$help" "$stage/help.html"
sed 's/\r*$/\r/' "$root/LICENSE" >"$stage/LICENSE" # read on Windows: CR LF
"$local_ini_tool" "$stage/Lng/Local.ini"
shopt -s nullglob
languages=("$lng_dir"/*.lng)
shopt -u nullglob
[ ${#languages[@]} -eq 0 ] || cp "${languages[@]}" "$stage/Lng/"

# Portable: the files at the zip's root, so "Extract all" gives a folder that runs as is.
(cd "$stage" && zip -q -X -r "$out/$zip_name" ZelkToolBars.exe help.html LICENSE Lng)

makensis -V2 -NOCD -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/$setup_name" \
  -DICON="$root/res/tray.ico" "$root/packaging/installer.nsi"

(cd "$out" && sha256sum "$zip_name" "$setup_name" >SHA256SUMS)
setup_sha="$(sha256sum "$out/$setup_name" | cut -d' ' -f1 | tr 'a-f' 'A-F')"

# winget: the version, installer and default-locale manifests of winget-pkgs' layout.
# InstallerUrl is where the setup will be published (the ZELK_RELEASE_URL setting); until
# there is such a place it names a reserved address that nothing answers.
[ -n "$release_url" ] || release_url="https://downloads.invalid/ZelkToolBars/$version"
id="Tanvel.ZelkToolBars"
manifests="$out/winget/manifests/t/Tanvel/ZelkToolBars/$version"
mkdir -p "$manifests"
cat >"$manifests/$id.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.1.6.0.schema.json
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.6.0
EOF
cat >"$manifests/$id.installer.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.1.6.0.schema.json
PackageIdentifier: $id
PackageVersion: $version
InstallerType: nullsoft
Scope: user
InstallModes:
  - interactive
  - silent
  - silentWithProgress
InstallerSwitches:
  Silent: /S
  SilentWithProgress: /S
UpgradeBehavior: install
ProductCode: ZelkToolBars
AppsAndFeaturesEntries:
  - DisplayName: ZelkToolBars
    Publisher: Tanvel
    DisplayVersion: $version
    ProductCode: ZelkToolBars
InstallationMetadata:
  DefaultInstallLocation: '%LOCALAPPDATA%\Programs\ZelkToolBars'
Installers:
  - Architecture: x64
    InstallerUrl: ${release_url%/}/$setup_name
    InstallerSha256: $setup_sha
ManifestType: installer
ManifestVersion: 1.6.0
EOF
cat >"$manifests/$id.locale.en-US.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.1.6.0.schema.json
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: Tanvel
PackageName: ZelkToolBars
License: MIT
Copyright: Copyright (c) Tanvel
ShortDescription: Folder toolbars in the Windows 11 notification area.
Description: |-
  Windows 11 took away the folder toolbars of the old taskbar; ZelkToolBars gives them back.
  One icon in the notification area opens a menu with one entry per toolbar, each a cascading
  menu of a folder's subfolders and files with their icons.
Moniker: zelktoolbars
Tags:
  - toolbar
  - taskbar
  - tray
  - launcher
  - folders
ManifestType: defaultLocale
ManifestVersion: 1.6.0
EOF

rm -rf "$out/stage"
echo "dist: $out"
(cd "$out" && ls -1 "$zip_name" "$setup_name" SHA256SUMS && find winget -type f | sort)
