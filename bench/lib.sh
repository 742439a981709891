# Shared by the benchmark scripts: a work folder with the 60 benchmark workbooks, the office's own
# converter as the reference, and median timing. Source it after `cd` to the repository.
rounds=${ROUNDS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bench/make-workbooks.sh "$work/books"
mkdir -p "$work/profile"

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

# Prints a line: label, seconds, and the ratio to the reference.
report() {
    awk -v label="$1" -v t="$2" -v ref="$reference" \
        'BEGIN { printf "%-40s %6.2f s  ratio %.2f\n", label, t, t / ref }'
}
