#!/usr/bin/env bash
# Cross-builds Dokivo for 64-bit Windows with mingw-w64, runs the core and console-program tests
# under wine, packs build-windows/Dokivo-windows-x64.zip and the installer
# build-windows/Dokivo-<version>-x64.msi and runs both under wine in a fresh wine prefix.
#
# Qt for Windows, libjpeg, libqpdf and GoogleTest are built once from Debian's sources into a
# cache outside the clone and reused by later runs; each build leaves a stamp file only once it
# is installed completely, so an interrupted one is started again, never taken half-made.
#   DOKIVO_CACHE=/var/cache/dokivo          sources, builds and installs of the libraries
#   QT_WINDOWS=$DOKIVO_CACHE/qt-<version>-mingw   where Qt for Windows is installed
#   WINDOWS_TESTS=0                          build and pack only
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
cache=${DOKIVO_CACHE:-/var/cache/dokivo}
build=$repo/build-windows
jobs=$(nproc)
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32

step() { echo "== $*"; }
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

scripts/install-deps.sh windows

if [ ! -w "$cache" ] && ! mkdir -p "$cache" 2>/dev/null; then
  "${as_root[@]}" mkdir -p "$cache"
  "${as_root[@]}" chown "$(id -u):$(id -g)" "$cache"
fi
mkdir -p "$cache/src"

# The host Qt gives moc, rcc and uic; the Windows Qt must be the very same version.
qt_debian_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_version=${qt_debian_version%%+*}
qt_version=${qt_version#*:}
qt_prefix=${QT_WINDOWS:-$cache/qt-$qt_version-mingw}
deps=$cache/deps-mingw

# Debian's source of PACKAGE (at VERSION when given) unpacked under $cache/src; prints its folder.
debian_source() {
  local package=$1 version=${2:-} folder
  folder=$(find "$cache/src" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n 1)
  if [ -z "$folder" ]; then
    if [ -z "$(apt-cache showsrc "$package" 2>/dev/null)" ]; then
      # The sources come from the archive this machine already takes its packages from (an
      # office's or a CI's own mirror), as apt itself reads its configured sources.
      . /etc/os-release
      local archive
      archive=$(apt-get indextargets --no-release-info --format '$(REPO_URI)' "Release: $VERSION_CODENAME" 'Target-Of: deb' | head -n 1)
      [ -n "$archive" ] || { echo "no package source for $VERSION_CODENAME among apt's sources" >&2; exit 1; }
      printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$archive" "$VERSION_CODENAME" | "${as_root[@]}" tee /etc/apt/sources.list.d/dokivo-src.sources >/dev/null
      "${as_root[@]}" apt-get update -qq
    fi
    (cd "$cache/src" && apt-get source -qq "$package${version:+=$version}" >/dev/null 2>&1)
    folder=$(find "$cache/src" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n 1)
  fi
  echo "$folder"
}

# cross_build NAME SOURCE PREFIX [CMAKE ARGUMENT...]: configure, build and install one library
# unless its stamp says it is there already. Extra arguments may name the targets to build with
# --target A,B and the components to install with --component A,B.
cross_build() {
  local name=$1 source=$2 prefix=$3 targets="" components=""
  shift 3
  local args=()
  for a in "$@"; do
    case $a in
      --target=*) targets=${a#--target=} ;;
      --component=*) components=${a#--component=} ;;
      *) args+=("$a") ;;
    esac
  done
  local stamp=$prefix/.dokivo-$name-complete
  [ -f "$stamp" ] && return 0
  step "$name for Windows: $source -> $prefix"
  local dir=$cache/build-$name
  cmake -S "$source" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "${args[@]}" >"$cache/$name-configure.log"
  if [ -n "$targets" ]; then
    cmake --build "$dir" --parallel "$jobs" --target ${targets//,/ }
  else
    cmake --build "$dir" --parallel "$jobs"
  fi
  if [ -n "$components" ]; then
    for c in ${components//,/ }; do cmake --install "$dir" --component "$c" >/dev/null; done
  else
    cmake --install "$dir" >/dev/null
  fi
  { date -u; printf '%s\n' "$@"; } >"$stamp"
}

started=$(date +%s)

# Qt: Core, Network, Gui and Widgets with the platform plugin; every third-party library bundled.
# Debian's source lacks the graphics-tablet header (its licence forbids changes), so tablet
# events are left out; OpenGL is left out as a whole (its dynamic loading too, which the
# Windows plugin would otherwise still compile in).
cross_build qt "$(debian_source qt6-base "$qt_debian_version")" "$qt_prefix" \
  -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=ON -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_openssl=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF

# libqpdf, for encryptpdf.exe and the processing layer, linked statically with zlib and libjpeg:
# the tool stays one file.
cross_build jpeg "$(debian_source libjpeg-turbo)" "$deps" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF
# Found by the paths given, not by pkg-config, which would offer the host's libraries. Its
# configure checks link with "Advapi32", a name only a case-blind file system finds as is.
mkdir -p "$cache/mingw-names"
ln -sf /usr/$triple/lib/libadvapi32.a "$cache/mingw-names/libAdvapi32.a"
PKG_CONFIG_LIBDIR=/nonexistent cross_build qpdf "$(debian_source qpdf)" "$deps" \
  -DCMAKE_EXE_LINKER_FLAGS="-L$cache/mingw-names" -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DUSE_IMPLICIT_CRYPTO=OFF -DREQUIRE_CRYPTO_NATIVE=ON \
  -DBUILD_DOC=OFF -DINSTALL_EXAMPLES=OFF \
  -DZLIB_H_PATH=/usr/$triple/include -DZLIB_LIB_PATH=/usr/$triple/lib/libz.a \
  -DLIBJPEG_H_PATH="$deps/include" -DLIBJPEG_LIB_PATH="$deps/lib/libjpeg.a" \
  --target=libqpdf --component=dev,Unspecified

cross_build gtest /usr/src/googletest "$deps" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

# Wine for the tests (and for listing them while building): a private prefix under the build
# folder and one wineserver kept running for the whole script, so each test starts quickly.
mkdir -p "$build/bin"
export WINEPREFIX=$build/wine WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
cat >"$build/wine-run" <<EOF
#!/bin/sh
# Runs a Windows program of this build under wine, with the build's own wine prefix.
export WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "\$@"
EOF
chmod +x "$build/wine-run"
if [ "${WINDOWS_TESTS:-1}" != 0 ]; then
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  # Booted here, with no stream of ours, so wine's own service processes hold no pipe a test
  # runner waits on.
  [ -f "$WINEPREFIX/system.reg" ] || step "wine prefix $WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
fi

# The DLLs a Windows program loads that are not part of Windows itself, found among Qt's, the
# compiler's and the libraries' own; the list goes through them, so their needs are met too.
search_dirs=("$qt_prefix/bin" /usr/lib/gcc/$triple/*-posix /usr/$triple/lib "$deps/bin")
dll_closure() {
  local queue=("$@") seen=" " file dll dir
  while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $($triple-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
      case "$seen" in *" $dll "*) continue ;; esac
      seen="$seen$dll "
      for dir in "${search_dirs[@]}"; do
        if [ -f "$dir/$dll" ]; then
          echo "$dir/$dll"
          queue+=("$dir/$dll")
          break
        fi
      done
    done
  done
}
qt_plugins=("$qt_prefix/plugins/platforms/qwindows.dll" "$qt_prefix/plugins/styles/qwindowsvistastyle.dll")

# The test programs run from bin/ and load their DLLs from there, as the installed programs do.
step "Dokivo for Windows into $build"
qt_dlls=("$qt_prefix/bin/Qt6Widgets.dll" "$qt_prefix/bin/Qt6Network.dll")
{ printf '%s\n' "${qt_dlls[@]}"; dll_closure "${qt_dlls[@]}"; } | sort -u | xargs -r cp -u -t "$build/bin"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  "-DDOKIVO_WINDOWS_PREFIXES=$qt_prefix;$deps" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake -DCMAKE_CROSSCOMPILING_EMULATOR="$build/wine-run" \
  "${launcher[@]}" >/dev/null
targets=(dokivo dokivo-cli encryptpdf)
[ "${WINDOWS_TESTS:-1}" = 0 ] || targets+=(core_tests tools_tests)  # listing their tests needs wine
cmake --build "$build" --parallel "$jobs" --target "${targets[@]}" -- --quiet

if [ "${WINDOWS_TESTS:-1}" != 0 ]; then
  step "Core, console-program and tool tests under wine"
  ctest --test-dir "$build" --output-on-failure -j "$jobs" -L 'core|tools'
fi

step "Packages"
dist=$build/dist/Dokivo
rm -rf "$build/dist" "$build/Dokivo-windows-x64.zip" "$build"/Dokivo-*-x64.msi
mkdir -p "$dist/platforms" "$dist/styles"
programs=("$build/bin/dokivo.exe" "$build/bin/dokivo-cli.exe" "$build/bin/encryptpdf.exe")
cp "${programs[@]}" "$dist/"
cp "${qt_plugins[0]}" "$dist/platforms/"
cp "${qt_plugins[1]}" "$dist/styles/"
dll_closure "${programs[@]}" "${qt_plugins[@]}" | sort -u | xargs -r cp -t "$dist"
# Debug symbols are for the build folder; the copies shipped lose them.
find "$dist" -name '*.exe' -o -name '*.dll' | xargs $triple-strip --strip-unneeded
(cd "$build/dist" && cmake -E tar cf ../Dokivo-windows-x64.zip --format=zip Dokivo)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
msi=$build/Dokivo-$version-x64.msi
scripts/windows-msi.sh "$dist" "$version" "$msi"
if [ "${WINDOWS_TESTS:-1}" != 0 ]; then
  step "The packages installed and run under wine"
  # The same sources as an older version, to upgrade from and to refuse as a downgrade.
  older_version=$((${version%%.*} - 1)).${version#*.}
  older=$build/older/Dokivo-$older_version-x64.msi
  scripts/windows-msi.sh "$dist" "$older_version" "$older"
  scripts/windows-package-check.sh "$build/Dokivo-windows-x64.zip" "$msi" "$older" "$build/package-check"
fi
echo "$build/Dokivo-windows-x64.zip: $(find "$dist" -type f | wc -l) files," \
  "$(du -k "$build/Dokivo-windows-x64.zip" | cut -f1) KB; $msi: $(du -k "$msi" | cut -f1) KB;" \
  "$(($(date +%s) - started)) s"
