#!/usr/bin/env bash
# Times Tavrelo's save step (tavrelo-cli apply) against PROJ's cct and an awk one-liner that do
# the same sum on the same points, and measures peak memory for a small and a large file.
#
#   bench/compare.sh [--rounds N] [--points N] [--big-points N] [--work DIR] [--build DIR]
#
# All three tools read the same survey of --points points (default 1 000 000) with the same
# rotation, scale and shift: Tavrelo the coordinate file, awk the same file, cct the same
# points as blank-separated columns through a pipeline of two affine steps (shift onto common
# point 1, then rotate and scale onto its target position). The layout conversion of the same
# points (exported as "Y,X,Z,D", tavrelo-cli convert) is timed beside them, and, for scale, a plain copy
# of the coordinate file to the disk (dd with fsync): what moving the bytes alone costs. The
# least-squares fit (tavrelo-cli fit) of 200 common points spread through the same file, with
# the scale and outlier dropping, is timed beside them too.
#
# Every tool runs once per round, in a rotating order. Each run writes a new output file: the
# one of the round before is removed, and everything written before is on the disk, before the
# clock starts. Tavrelo waits until its output is on the disk (fsync); cct and awk do not. The
# medians and the ratios are printed at the end. Peak memory (/usr/bin/time) is that of the
# save step and of the fit on --points and on --big-points points (default 10 000 000); on the
# large file the fit and the save step are also timed once each.
#
# The drawing: tavrelo-cli dxf carries a survey drawing of --entities model-space entities
# (default 1 000 000, about 190 MB; bench/generate_drawing.cpp builds it on examples/survey.dxf)
# with the same rotation, scale and height shift about the example's station Σ1, against GDAL's
# ogr2ogr doing the same mapping with a PROJ affine pipeline on the same drawing, and against a
# plain copy of its bytes to the disk (dd with fsync), in --drawing-rounds rounds (default 3;
# ogr2ogr takes minutes a round). Peak memory of every run; on --big-entities entities (default
# 10 000 000, about 1.9 GB) tavrelo-cli dxf and the copy run once (ogr2ogr too with --ogr-big:
# about an hour). --drawings-only skips the point file, --no-drawings the drawing.
#
# Needs cct (Debian: proj-bin), ogr2ogr (gdal-bin) and /usr/bin/time (Debian: time). Builds its
# own release of the tools in build-bench/ unless --build names a build folder configured with
# -DTAVRELO_BENCH=ON.
set -euo pipefail

rounds=7
points=1000000
big_points=10000000
entities=1000000
big_entities=10000000
drawing_rounds=3
ogr_big=0
do_points=1
do_drawings=1
work=""
build=""
while [ $# -gt 0 ]; do
    case "$1" in
        --rounds) rounds=$2; shift 2 ;;
        --points) points=$2; shift 2 ;;
        --big-points) big_points=$2; shift 2 ;;
        --entities) entities=$2; shift 2 ;;
        --big-entities) big_entities=$2; shift 2 ;;
        --drawing-rounds) drawing_rounds=$2; shift 2 ;;
        --ogr-big) ogr_big=1; shift ;;
        --drawings-only) do_points=0; shift ;;
        --no-drawings) do_drawings=0; shift ;;
        --work) work=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        *) sed -n '2,36p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
    esac
done

needed=(awk /usr/bin/time cmake)
[ $do_points = 1 ] && needed+=(cct)
[ $do_drawings = 1 ] && needed+=(ogr2ogr)
for tool in "${needed[@]}"; do
    command -v "$tool" >/dev/null || { echo "compare.sh: $tool is missing (apt-get install proj-bin gdal-bin time cmake)" >&2; exit 1; }
done

source_dir=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "$build" ]; then
    build="$source_dir/build-bench"
    cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVRELO_BENCH=ON -DTAVRELO_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j 2 --target tavrelo_generate tavrelo_generate_drawing tavrelo-cli >/dev/null
bin="$build/bench"
cli="$build/tavrelo-cli"

if [ -z "$work" ]; then
    work=$(mktemp -d "${TMPDIR:-/tmp}/tavrelo-compare-XXXXXX")
    trap 'rm -rf "$work"' EXIT
fi

# The job: rotation in grads, common point 1 in both systems, height shift, scale.
f=12.3456789 X1=475000 Y1=4200000 Dh=0.85 k=1.00025 X1N=475123.456 Y1N=4200987.654

# cct and ogr2ogr: shift onto common point 1 (and the height shift), then rotate by -theta, scale and
# shift onto its target position: X' = k(dx cos - dy sin) + X1N, Y' = k(dy cos + dx sin) + Y1N
# with cos, sin of -theta, theta = f * 3.1415927 / 200.
read -r s11 s12 s21 s22 <<<"$(awk -v f=$f -v k=$k 'BEGIN { t = f * 3.1415927 / 200; c = cos(-t); s = sin(-t)
    printf "%.17g %.17g %.17g %.17g\n", k * c, -k * s, k * s, k * c }')"
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# ---- the drawing ----------------------------------------------------------------------------

# The drawing lies in the example survey's local system: the same rotation, scale and height
# shift about its station Σ1, carried onto Σ1's target position.
dX1=2483.83 dY1=3829.405 dX1N=475000 dY1N=4201000
dpipeline=(+proj=pipeline +step +proj=affine +xoff=-$dX1 +yoff=-$dY1 +zoff=-$Dh
           +step +proj=affine +s11=$s11 +s12=$s12 +s21=$s21 +s22=$s22 +xoff=$dX1N +yoff=$dY1N)
# Each run also notes its peak memory (maximum resident set size, KB) in $work/peak_TOOL.
measured() { local t=$1; shift; /usr/bin/time -o "$work/peak_$t" -f '%M' "$@"; }
run_dxf() { measured dxf "$cli" dxf "$work/drawing_parameters.txt" "$work/drawing.dxf" "$work/dxf_result.dxf" >/dev/null; }
run_ogr2ogr() { measured ogr2ogr ogr2ogr -f DXF "$work/ogr_result.dxf" "$work/drawing.dxf" -ct "${dpipeline[*]}"; }
run_dcopy() { measured dcopy dd if="$work/drawing.dxf" of="$work/drawing_copy.dxf" bs=1M conv=fsync status=none; }
# Seconds that `run_$1` takes, writing a new output file with nothing else waiting for the disk.
time_one() {
    rm -f "$work/$2"
    sync
    local start=$EPOCHREALTIME
    "run_$1"
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'
}

compare_drawings() {
    printf '%s\r\n' "$f" " $dX1 " " $dY1 " "$Dh" "$k" "$dX1N" "$dY1N" >"$work/drawing_parameters.txt"
    echo "Generating a drawing of $entities entities in $work ..."
    "$bin/tavrelo_generate_drawing" "$entities" "$work/drawing.dxf"
    echo "  $(du -h "$work/drawing.dxf" | cut -f1) bytes"
    local dtools=(dxf ogr2ogr dcopy)
    declare -A dout=([dxf]=dxf_result.dxf [ogr2ogr]=ogr_result.dxf [dcopy]=drawing_copy.dxf)
    declare -A dtimes
    run_dxf  # warm-up
    local load=$(cut -d' ' -f1-3 /proc/loadavg)
    for ((r = 0; r < drawing_rounds; r++)); do
        for ((i = 0; i < ${#dtools[@]}; i++)); do
            local t=${dtools[$(((i + r) % ${#dtools[@]}))]}
            dtimes[$t]+="$(time_one "$t" "${dout[$t]}") "
        done
    done
    echo
    echo "$entities entities, $drawing_rounds rounds, seconds (every round); load average before: $load, after: $(cut -d' ' -f1-3 /proc/loadavg)"
    for t in "${dtools[@]}"; do
        printf '  %-8s median %8.3f s   (%s)\n' "$t" "$(median "${dtimes[$t]}")" "${dtimes[$t]% }"
    done
    local d o c
    d=$(median "${dtimes[dxf]}") o=$(median "${dtimes[ogr2ogr]}") c=$(median "${dtimes[dcopy]}")
    awk -v d="$d" -v o="$o" -v c="$c" 'BEGIN {
        printf "  ogr2ogr / dxf   = %6.1f   (goal: 10 or more)\n", o / d
        printf "  dxf / copy      = %6.2f   (goal: 3 or less)\n", d / c }'
    local small_kb ogr_kb big_kb
    small_kb=$(tail -1 "$work/peak_dxf") ogr_kb=$(tail -1 "$work/peak_ogr2ogr")
    rm -f "$work"/*.dxf

    echo
    echo "Generating a drawing of $big_entities entities ..."
    "$bin/tavrelo_generate_drawing" "$big_entities" "$work/drawing.dxf"
    echo "  $(du -h "$work/drawing.dxf" | cut -f1) bytes"
    local big_dxf big_copy big_ogr="not run (--ogr-big)"
    big_dxf=$(time_one dxf dxf_result.dxf)
    big_copy=$(time_one dcopy drawing_copy.dxf)
    rm -f "$work/drawing_copy.dxf"
    [ $ogr_big = 1 ] && { big_ogr="$(time_one ogr2ogr ogr_result.dxf) s"; rm -f "$work/ogr_result.dxf"; }
    big_kb=$(tail -1 "$work/peak_dxf")
    rm -f "$work"/*.dxf
    echo "$big_entities entities, one run each: dxf $big_dxf s, copy $big_copy s, ogr2ogr $big_ogr"
    awk -v d="$big_dxf" -v c="$big_copy" 'BEGIN { printf "  dxf / copy      = %6.2f\n", d / c }'
    echo "peak memory of tavrelo-cli dxf (maximum resident set size):"
    awk -v n="$entities" -v s="$small_kb" -v N="$big_entities" -v b="$big_kb" -v o="$ogr_kb" 'BEGIN {
        printf "  %9d entities: %7d KB   (ogr2ogr: %d KB)\n  %9d entities: %7d KB   (%+.1f %%)\n", n, s, o, N, b, (b - s) * 100 / s }'
}

if [ $do_points = 0 ]; then
    compare_drawings
    exit 0
fi

echo "Generating $points points in $work ..."
"$bin/tavrelo_generate" "$points" "$work/points.txt"
"$bin/tavrelo_generate" "$points" "$work/columns.txt" --columns
"$bin/tavrelo_generate" "$points" "$work/layout10.txt" --layout 10
# The parameter file, as O.K. on the common points screen (or tavrelo-cli compute -p) writes it.
printf '%s\r\n' "$f" " $X1 " " $Y1 " "$Dh" "$k" "$X1N" "$Y1N" >"$work/parameters.txt"

run_cct() {
    cct -d 3 -c 2,3,4 -t 0 +proj=pipeline \
        +step +proj=affine +xoff=-$X1 +yoff=-$Y1 +zoff=-$Dh \
        +step +proj=affine +s11=$s11 +s12=$s12 +s21=$s21 +s22=$s22 +xoff=$X1N +yoff=$Y1N \
        "$work/columns.txt" >"$work/cct.txt"
}

# awk: the same sum, cut to three decimals towards minus infinity and printed as Tavrelo
# prints it, so its lines are Tavrelo's point lines byte for byte.
run_awk() {
    awk -F, -v f=$f -v X1=$X1 -v Y1=$Y1 -v Dh=$Dh -v k=$k -v X1N=$X1N -v Y1N=$Y1N 'BEGIN { t = f * 3.1415927 / 200; c = cos(-t); s = sin(-t) } { dx = $2 - X1; dy = $3 - Y1; x = (k*(dx*c - dy*s) + X1N) * 1000; y = (k*(dy*c + dx*s) + Y1N) * 1000; h = ($4 - Dh) * 1000; i = int(x); if (i > x) i--; j = int(y); if (j > y) j--; m = int(h); if (m > h) m--; x = i / 1000; y = j / 1000; h = m / 1000; printf "%s,  %s%.15G ,  %s%.15G ,  %s%.15G ,  %s\n", $1, (x < 0 ? "" : " "), x, (y < 0 ? "" : " "), y, (h < 0 ? "" : " "), h, $5 }' \
        "$work/points.txt" >"$work/awk.txt"
}

# The fit: 200 common points spread evenly through the coordinate file, carried into a target
# system by a turn, a scale and a shift, matched by point number and fitted with outlier dropping.
make_common() {
    awk -F, -v n="$(wc -l <"$work/points.txt")" 'BEGIN { e = int(n / 200); t = 0.2; k = 1.0003 }
        (NR - 1) % e == 0 && c < 200 { c++; x = $2 - 475000; y = $3 - 4200000
            printf "%s,%.3f,%.3f,%.3f,\r\n", $1, k * (x * cos(t) + y * sin(t)) + 470000, k * (y * cos(t) - x * sin(t)) + 4100000, $4 - 0.85 }' \
        "$work/points.txt" >"$work/common.txt"
}
make_common
run_fit() { "$cli" fit "$work/points.txt" "$work/common.txt" --scale --drop-outliers -p "$work/fit.tmp" >/dev/null; }

run_apply() { "$cli" apply "$work/parameters.txt" "$work/points.txt" "$work/result.txt" >/dev/null; }
run_convert() { "$cli" convert Y,X,Z,D "$work/layout10.txt" >/dev/null; }
# For scale, what no tool can go below: copying the coordinate file as it is, to the disk.
run_copy() { dd if="$work/points.txt" of="$work/copy.txt" bs=1M conv=fsync status=none; }

tools=(apply cct awk convert copy fit)
declare -A output=([apply]=result.txt [cct]=cct.txt [awk]=awk.txt [convert]=PENZD_layout10.txt [copy]=copy.txt [fit]=fit.tmp)

# One warm-up round, which also checks that the peers did the same work.
for t in "${tools[@]}"; do "run_$t"; done
if tail -n +13 "$work/result.txt" | cmp -s - "$work/awk.txt"; then
    echo "check: awk's lines are Tavrelo's point lines byte for byte"
else
    echo "check: awk's lines differ from Tavrelo's point lines" >&2
    exit 1
fi
tail -n +13 "$work/result.txt" | awk -F, -v cct="$work/cct.txt" '
    { getline line < cct; split(line, c, " "); for (i = 1; i <= 3; i++) { d = c[i] - $(i + 1); if (d < 0) d = -d; if (d > worst) worst = d } }
    END { printf "check: cct (rounded to three decimals) and Tavrelo (cut) differ by at most %.4f\n", worst }'

declare -A times
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((r = 0; r < rounds; r++)); do
    for ((i = 0; i < ${#tools[@]}; i++)); do
        t=${tools[$(((i + r) % ${#tools[@]}))]}
        # Every run writes a new file and starts with nothing of the runs before it still
        # waiting to be written to the disk.
        rm -f "$work/${output[$t]}"
        sync
        start=$EPOCHREALTIME
        "run_$t"
        end=$EPOCHREALTIME
        times[$t]+="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f ", b - a }')"
    done
done

echo
echo "$points points, $rounds rounds, seconds (every round); load average before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)"
for t in "${tools[@]}"; do
    m=$(median "${times[$t]}")
    declare "median_$t=$m"
    printf '  %-8s median %7.3f s   (%s)\n' "$t" "$m" "${times[$t]% }"
done
awk -v a="$median_apply" -v c="$median_cct" -v w="$median_awk" -v v="$median_convert" -v d="$median_copy" -v m="$median_fit" 'BEGIN {
    printf "  cct / apply     = %6.1f\n", c / a
    printf "  fit / apply     = %6.2f\n", m / a
    printf "  awk / apply     = %6.1f\n", w / a
    printf "  convert / apply = %6.2f\n", v / a
    printf "  apply / copy    = %6.2f\n", a / d }'

# Peak memory of the save step, small and large file.
peak() { /usr/bin/time -f '%M' "$cli" apply "$work/parameters.txt" "$work/points.txt" "$work/result.txt" 2>&1 >/dev/null | tail -1; }
peak_fit() { /usr/bin/time -f '%M' "$cli" fit "$work/points.txt" "$work/common.txt" --scale --drop-outliers -p "$work/fit.tmp" 2>&1 >/dev/null | tail -1; }
small_kb=$(peak)
small_fit_kb=$(peak_fit)
rm -f "$work/columns.txt" "$work/layout10.txt" "$work/cct.txt" "$work/awk.txt" "$work/PENZD_layout10.txt" "$work/copy.txt"
echo
echo "Generating $big_points points ..."
"$bin/tavrelo_generate" "$big_points" "$work/points.txt"
big_kb=$(peak)
make_common
# The whole-process times of the fit and the save step on the large file, once each.
start=$EPOCHREALTIME; run_fit; fit_big=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
start=$EPOCHREALTIME; run_apply; apply_big=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
big_fit_kb=$(peak_fit)
rm -f "$work/points.txt" "$work/result.txt"
echo "peak memory of apply (maximum resident set size):"
awk -v n="$points" -v s="$small_kb" -v N="$big_points" -v b="$big_kb" 'BEGIN {
    printf "  %9d points: %6d KB\n  %9d points: %6d KB   (%+.1f %%)\n", n, s, N, b, (b - s) * 100 / s }'
echo "peak memory of fit (200 common points):"
awk -v n="$points" -v s="$small_fit_kb" -v N="$big_points" -v b="$big_fit_kb" 'BEGIN {
    printf "  %9d points: %6d KB\n  %9d points: %6d KB   (%+.1f %%)\n", n, s, N, b, (b - s) * 100 / s }'
echo "$big_points points, one run each: fit $fit_big s, apply $apply_big s"

if [ $do_drawings = 1 ]; then
    echo
    compare_drawings
fi
