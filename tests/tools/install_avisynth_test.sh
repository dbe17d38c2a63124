#!/usr/bin/env bash
# tools/install-avisynth's arguments and dry-run plan, and the package step it
# shares with tools/install-deps. dpkg-query and pkg-config are stand-ins, and
# every command that would change something only records its call, so nothing
# is ever cloned, built or installed.
#   install_avisynth_test.sh TOOLS_FOLDER
set -euo pipefail
tools=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
home=$tmp/home stubs=$tmp/stubs nocc=$tmp/nocc called=$tmp/called
work=$home/.cache/clipwright/install-avisynth
mkdir -p "$home" "$stubs" "$nocc" "$tmp/ffms2/src/avisynth" "$tmp/empty"
touch "$tmp/ffms2/configure.ac" "$tmp/file"
# An AviSynth+ source folder, and one inside the folder the script empties.
for dir in "$tmp/avs" "$work/avisynthplus"; do
    mkdir -p "$dir/avs_core"
    touch "$dir/CMakeLists.txt"
done

# FAKE_INSTALLED=all|none decides what dpkg reports as installed.
cat >"$stubs/dpkg-query" <<'EOF'
#!/bin/sh
for a; do
    case $a in -*) ;; *) [ "$FAKE_INSTALLED" = all ] && echo "$a install ok installed" ;; esac
done
exit 0
EOF
# FAKE_LIBAVCODEC is the version pkg-config reports; empty for none.
cat >"$stubs/pkg-config" <<'EOF'
#!/bin/sh
[ -n "$FAKE_LIBAVCODEC" ] || exit 1
case $1 in
--modversion) echo "$FAKE_LIBAVCODEC" ;;
--atleast-version=*)
    want=${1#*=}
    [ "$(printf '%s\n%s\n' "$want" "$FAKE_LIBAVCODEC" | sort -V | head -n 1)" = "$want" ]
    ;;
esac
EOF
for tool in git cmake ninja make autoreconf automake libtoolize apt-get; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$tool" "$called" >"$stubs/$tool"
done
printf '#!/bin/sh\nexec "$@"\n' >"$stubs/sudo"
chmod +x "$stubs"/*

# Everything on PATH except the compilers; the first folder on PATH wins,
# so it is linked last.
IFS=: read -ra path_dirs <<<"$PATH"
for ((i = ${#path_dirs[@]} - 1; i >= 0; i--)); do
    [ -d "${path_dirs[i]}" ] && ln -sf -t "$nocc" "${path_dirs[i]}"/*
done
rm -f "$nocc"/{c++,g++,clang++,cc,gcc,clang}

failures=0
fail() {
    echo "FAIL: $1"
    echo "--- stdout"
    cat "$tmp/out"
    echo "--- stderr"
    cat "$tmp/err"
    failures=$((failures + 1))
}

# run [VAR=VALUE...] -- PROGRAM [ARG...]: a clean environment; status, stdout
# and stderr are kept.
run() {
    local vars=()
    while [ "$1" != -- ]; do
        vars+=("$1")
        shift
    done
    shift
    set +e
    env -i PATH="$stubs:$PATH" HOME="$home" FAKE_INSTALLED=all FAKE_LIBAVCODEC=59.37.100 \
        CLIPWRIGHT_BUILD_DIR="$tmp/build" "${vars[@]}" bash "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
    status=$?
    set -e
}

out_has() { grep -qF -- "$1" "$tmp/out"; }
steps() { grep -o '^\[[a-z]*\]' "$tmp/out" | uniq | tr -d '\n'; }

# Bad arguments and a machine that cannot build: one line on stderr, nothing
# on stdout, and the status.
while IFS='|' read -r args vars expected message; do
    read -ra arg_list <<<"$args"
    read -ra var_list <<<"$vars"
    run "${var_list[@]}" -- "$tools/install-avisynth" "${arg_list[@]}"
    [ "$status" = "$expected" ] && [ "$(wc -l <"$tmp/err")" = 1 ] && grep -qF -- "$message" "$tmp/err" &&
        [ ! -s "$tmp/out" ] || fail "install-avisynth $args ($vars): expected status $expected and '$message'"
done <<EOF
--bogus||2|unknown option --bogus
--dry-run stray||2|unexpected argument stray
--prefix||2|--prefix needs a folder
--dry-run --source=||2|--source needs a folder
--dry-run --source $tmp/nowhere||2|--source $tmp/nowhere: no such folder
--dry-run --source $tmp/empty||2|not an AviSynth+ source folder
--dry-run --ffms2-source $tmp/avs||2|not an FFMS2 source folder
--dry-run --source $work/avisynthplus||2|inside the build folder
--dry-run|PATH=$stubs:$nocc|1|no C++ compiler on PATH
--dry-run|PATH=$stubs:$nocc CXX=/opt/none/g++|1|no C++ compiler on PATH (looked for /opt/none/g++)
--dry-run --with-source-filter|FAKE_LIBAVCODEC=58.134.100|1|libavcodec 58.134.100 is too old
--yes --prefix $tmp/file/avs||1|cannot write to $tmp/file/avs
EOF
rm -rf "$home/.cache"

# Missing packages are installed only after asking; without a terminal to
# ask on, the script stops after naming them.
run FAKE_INSTALLED=none -- "$tools/install-avisynth" --with-source-filter
[ "$status" = 1 ] && out_has "apt-get install -y --no-install-recommends git cmake" &&
    [ "$(wc -l <"$tmp/err")" = 1 ] && grep -qF "run again with --yes" "$tmp/err" || fail "refusing to ask"

run -- "$tools/install-avisynth" --help
[ "$status" = 0 ] && out_has "--with-source-filter" || fail "--help"

# The default plan: clone the pinned tag, core only, into ~/.local, check.
run -- "$tools/install-avisynth" --dry-run
[ "$status" = 0 ] &&
    [ "$(steps)" = "[packages][clean][clone][configure][build][install][check][manifest]" ] &&
    out_has "[clone] git -c advice.detachedHead=false clone -q --depth 1 --branch v3.7.5 https://github.com/AviSynth/AviSynthPlus.git $work/avisynthplus" &&
    out_has "-G Ninja -DCMAKE_BUILD_TYPE=Release -DENABLE_PLUGINS=OFF -DCMAKE_INSTALL_PREFIX=$home/.local" &&
    out_has "[install] cmake --install $work/avisynthplus-build" &&
    out_has "[check]   ColorBars(640, 480)" &&
    out_has "[check] cmake -S " &&
    out_has "[check] env CLIPWRIGHT_AVISYNTH_LIB=$home/.local/lib $tmp/build/tools/render_frame $work/check.avs" &&
    out_has "[manifest] $home/.local/share/clipwright/avisynth-manifest.txt" &&
    ! out_has "ffms2" || fail "default plan"

# A source folder, another prefix, the plugins and the source filter for
# FFmpeg 5.1, on a machine that misses every package (the compiler too).
run PATH="$stubs:$nocc" FAKE_INSTALLED=none -- "$tools/install-avisynth" --dry-run --source "$tmp/avs" \
    --prefix="$tmp/opt/avs" --with-plugins --with-source-filter
[ "$status" = 0 ] &&
    [ "$(steps)" = "[packages][clean][configure][build][install][clone][configure][build][install][check][manifest]" ] &&
    grep -q '^\[packages\] .*apt-get install -y --no-install-recommends git cmake ninja-build g++ .*libdevil-dev .*autoconf automake libtool ' "$tmp/out" &&
    ! out_has "AviSynthPlus.git" &&
    out_has "[configure] cmake -S $tmp/avs -B $work/avisynthplus-build" &&
    out_has "-DENABLE_PLUGINS=ON -DCMAKE_INSTALL_PREFIX=$tmp/opt/avs -DCMAKE_INSTALL_LIBDIR=lib" &&
    out_has "fetch -q --depth 1 https://github.com/FFMS/ffms2.git f9cdf601bacbbc956dbf403346c66d869f22d316" &&
    out_has "./configure -q --enable-avisynth --disable-static CPPFLAGS=-I$tmp/opt/avs/include/avisynth" &&
    out_has "[install] install -D -m 0755 $work/ffms2/src/core/.libs/libffms2.so $tmp/opt/avs/lib/avisynth/libffms2.so" &&
    out_has '[check]   Assert(FunctionExists("FFVideoSource")' &&
    out_has "[check] env CLIPWRIGHT_AVISYNTH_LIB=$tmp/opt/avs/lib " || fail "plan with every option"

# The FFMS2 pin follows the system's FFmpeg; a given FFMS2 folder is copied.
while IFS='|' read -r vars args expected; do
    read -ra var_list <<<"$vars"
    read -ra arg_list <<<"$args"
    run "${var_list[@]}" -- "$tools/install-avisynth" --dry-run "${arg_list[@]}"
    [ "$status" = 0 ] && out_has "$expected" || fail "FFMS2 source with $vars $args"
done <<EOF
FAKE_LIBAVCODEC=61.19.100|--with-source-filter|[clone] git -c advice.detachedHead=false clone -q --depth 1 --branch 5.0 https://github.com/FFMS/ffms2.git $work/ffms2
FAKE_LIBAVCODEC=60.31.102|--with-source-filter|--branch 5.0 https://github.com/FFMS/ffms2.git
FAKE_LIBAVCODEC=60.31.0|--with-source-filter|--branch 5.0
FAKE_LIBAVCODEC=60.3.100|--with-source-filter|f9cdf601bacbbc956dbf403346c66d869f22d316
FAKE_LIBAVCODEC= FAKE_INSTALLED=none|--with-source-filter|chosen once FFmpeg's headers are installed
FAKE_LIBAVCODEC=58.134.100|--ffms2-source $tmp/ffms2|[copy] cp -a $tmp/ffms2/. $work/ffms2
EOF

# Nothing above changed anything.
[ ! -e "$called" ] && [ -z "$(ls -A "$home")" ] || fail "a dry run or a refused run did something: $(cat "$called" 2>/dev/null)"

# install-deps installs what is missing without asking, through the shared step.
run FAKE_INSTALLED=none -- "$tools/install-deps"
[ "$status" = 0 ] && out_has "apt-get install -y --no-install-recommends cmake ninja-build" &&
    grep -q "^apt-get install -y -qq --no-install-recommends cmake .* man-db$" "$called" ||
    fail "install-deps with packages missing"
rm -f "$called"
run -- "$tools/install-deps"
[ "$status" = 0 ] && [ ! -s "$tmp/out" ] && [ ! -e "$called" ] || fail "install-deps with nothing missing"

[ "$failures" = 0 ] && echo "all passed"
exit "$failures"
