# Shared by the benchmark scripts: a work folder with the 60 benchmark workbooks, the office's own
# converter as the reference, and median timing. Source it after `cd` to the repository.
rounds=${ROUNDS:-3}
work=$(mktemp -d)
# CPU time is counted in a cgroup of our own where one can be made: the offices' processes are
# counted there whoever reaps them (in the sandbox, a killed office's parent may never).
cgroup=""
cgroup_root=$(awk '$3 == "cgroup2" { print $2; exit }' /proc/mounts)
if [[ -n $cgroup_root ]] && mkdir "$cgroup_root/quillsheet-bench-$$" 2> /dev/null; then
    cgroup="$cgroup_root/quillsheet-bench-$$"
fi
trap 'rm -rf "$work"; [[ -z $cgroup ]] || rmdir "$cgroup" 2> /dev/null || true' EXIT

bench/make-workbooks.sh "$work/books"
mkdir -p "$work/profile"
# Our set-up profile is kept in the user's cache: the benchmark's own, set up as the reference's.
export XDG_CACHE_HOME="$work/cache"

# The reference: soffice --convert-to pdf over all workbooks in one invocation.
soffice_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/lib/libreoffice/program/soffice -env:UserInstallation="file://$work/profile" \
        --headless --norestore --convert-to pdf --outdir "$work/out" "$work"/books/* > /dev/null
}
soffice_run # sets its profile up, as a user's would be

# The median wall time of $rounds runs of a command, in seconds.
seconds() {
    for ((r = 0; r < rounds; r++)); do
        local start end
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
    done | sort -n | sed -n "$(((rounds + 1) / 2))p"
}

# The median wall and CPU seconds (user and system, of every process the command started) of
# $rounds runs of a command, as "wall cpu". Without a cgroup, the CPU seconds are those of the
# children the command waited for.
measure() {
    local TIMEFORMAT='%R %U %S' r before timed
    for ((r = 0; r < rounds; r++)); do
        if [[ -n $cgroup ]]; then
            before=$(awk '$1 == "usage_usec" { print $2 }' "$cgroup/cpu.stat")
            timed=$({ time (echo "$BASHPID" > "$cgroup/cgroup.procs" && "$@" > /dev/null 2>&1); } 2>&1)
            awk -v t="${timed%% *}" -v before="$before" \
                '$1 == "usage_usec" { print t, ($2 - before) / 1e6 }' "$cgroup/cpu.stat"
        else
            { time "$@" > /dev/null 2>&1; } 2>&1 | awk '{ print $1, $2 + $3 }'
        fi
    done > "$work/times"
    echo "$(cut -d' ' -f1 "$work/times" | sort -n | sed -n "$(((rounds + 1) / 2))p")" \
        "$(cut -d' ' -f2 "$work/times" | sort -n | sed -n "$(((rounds + 1) / 2))p")"
}

# Prints a line: label, seconds, and the ratio to the reference.
report() {
    awk -v label="$1" -v t="$2" -v ref="$reference" \
        'BEGIN { printf "%-40s %6.2f s  ratio %.2f\n", label, t, t / ref }'
}
