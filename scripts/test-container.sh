#!/usr/bin/env bash
# Builds the container image of Containerfile with podman and runs examples/ through it as README's
# Kubernetes Job does: the Job's image, completions and command line are read from README.md, and
# each index runs at once as its pod would (read-only root file system, an empty /tmp of its own,
# the source mounted read-only, output and reports on one shared volume, no network). Checks that
# every index exits 0 with its report, and that the shards wrote exactly the PDFs of one whole run
# through the image, each once. No image registry is needed: the Debian 12 base is made with
# mmdebstrap from Debian's mirror. Image and base live in a storage of their own, removed at the
# end. Prints the time of each step. Root.
set -euo pipefail
cd "$(dirname "$0")/.."

[ "$(id -u)" -eq 0 ] || { echo "test-container.sh: run it as root" >&2; exit 2; }

started=$SECONDS
step_started=$SECONDS
took() {
    echo "time: $1 $((SECONDS - step_started)) s"
    step_started=$SECONDS
}

work=$(mktemp -d)
base=localhost/quillsheet-base:bookworm
image=
podman=(podman --root "$work/storage" --runroot "$work/run")
source scripts/checks.sh

finish() {
    local status=$?
    if [ -d "$work/storage" ]; then
        "${podman[@]}" rmi --force ${image:+"$image"} "$base" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
    echo "time: total $((SECONDS - started)) s"
    verdict "$status" "the image builds and converts examples/ in shards as README's Job does" container
}
trap finish EXIT

# README's Kubernetes Job: the one yaml block that is a Job.
manifest=$(awk '/^```yaml$/ { inside = 1; block = ""; next }
    inside && /^```$/ { inside = 0; if (block ~ /kind: Job/) printf "%s", block; next }
    inside { block = block $0 "\n" }' README.md)
image=$(sed -n 's/^ *image: *//p' <<<"$manifest")
completions=$(sed -n 's/^ *completions: *//p' <<<"$manifest")
command=$(sed -n 's/^ *command: *//p' <<<"$manifest")
if [ -z "$image" ] || [ -z "$completions" ] || [ -z "$command" ]; then
    echo "README.md has no Kubernetes Job with an image, completions and a command" >&2
    exit 1
fi
echo "Job: $completions × $image $command"

scripts/install-deps.sh podman runc mmdebstrap
took install

# Held to -Werror as test-package.sh builds it, so that after it nothing is rebuilt.
package=$(scripts/package.sh -DQUILLSHEET_WERROR=ON)
took package

# Two of this podman's defaults fail where CI runs (as root, in a virtual machine without
# CAP_SYS_RESOURCE, on cgroup v1 with controllers in the v2 hierarchy too): crun refuses such
# cgroups ("cgroups in hybrid mode not supported"), and the limits podman asks for as root lie above
# the machine's hard ones ("setrlimit RLIMIT_NOFILE: Operation not permitted"). runc and the limits
# this shell has work everywhere; podman holds its own process limit at 32768.
cat >"$work/containers.conf" <<EOF
[containers]
default_ulimits = ["nofile=$(ulimit -Hn):$(ulimit -Hn)", "nproc=32768:32768"]
[engine]
runtime = "runc"
EOF
export CONTAINERS_CONF=$work/containers.conf

mmdebstrap --variant=apt --quiet bookworm - \
    'deb http://deb.debian.org/debian bookworm main' \
    'deb http://deb.debian.org/debian bookworm-updates main' \
    'deb http://deb.debian.org/debian-security bookworm-security main' </dev/null |
    "${podman[@]}" import --quiet - "$base" >/dev/null
took base

# The build reaches Debian's mirror through the host's network: podman's bridge resolves no name
# here with netavark ("Temporary failure resolving 'deb.debian.org'").
if ! "${podman[@]}" build --pull=never --network host --from "$base" -f Containerfile \
    -t "$image" "$(dirname "$package")" >"$work/build.log" 2>&1; then
    tail -n 30 "$work/build.log"
    exit 1
fi
user=$("${podman[@]}" image inspect --format '{{.Config.User}}' "$image")
echo "Image: $image, user $user"
took image

# As a pod: nothing writable but its own /tmp (an emptyDir) and the volumes.
pod() {
    local tmp=$1
    shift
    mkdir -m 777 "$tmp"
    "${podman[@]}" run --rm --read-only --read-only-tmpfs=false --network none \
        -v "$tmp:/tmp" -v "$PWD/examples:/srv/in:ro" "$@"
}

# The Job's volume, writable by the image's user as fsGroup makes it; its in/ is examples/.
volume=$work/volume
mkdir -p "$volume/in"
chown "$user" "$volume"
whole=$work/whole
mkdir "$whole"
chown "$user" "$whole"

whole_status=0
pod "$work/tmp-whole" -v "$whole:/srv/out" "$image" --report /srv/out/report.json /srv/in \
    /srv/out/pdf >"$work/whole.log" 2>&1 || whole_status=$?
cat "$work/whole.log"
took "whole run"

pids=()
for ((index = 0; index < completions; index++)); do
    pod "$work/tmp-$index" -v "$volume:/srv" -e JOB_COMPLETION_INDEX="$index" \
        --entrypoint "$command" "$image" >"$work/pod-$index.log" 2>&1 &
    pids+=($!)
done
statuses=()
for pid in "${pids[@]}"; do
    status=0
    wait "$pid" || status=$?
    statuses+=("$status")
done
took "$completions shards"

whole_converts() {
    [ "$whole_status" -eq 0 ] && [ -n "$(find "$whole/pdf" -name '*.pdf')" ]
}

every_index_exits_0() {
    local index ok=0
    for ((index = 0; index < completions; index++)); do
        if [ "${statuses[index]}" -ne 0 ]; then
            echo "index $index: exit status ${statuses[index]}"
            cat "$work/pod-$index.log"
            # The report holds the office's own messages, which the log leaves out.
            cat "$volume/reports/$index.json" 2>/dev/null || true
            ok=1
        fi
    done
    return "$ok"
}

every_index_reports() {
    local index
    for ((index = 0; index < completions; index++)); do
        [ -s "$volume/reports/$index.json" ] || return 1
    done
}

# Every file below OUTPUT, so that a temporary file left behind counts too.
files_below() {
    (cd "$1" && find . -type f | sort)
}

same_pdfs_as_whole_run() {
    diff <(files_below "$whole/pdf") <(files_below "$volume/pdf")
}

# The PDFs the reports name, below their OUTPUT, one line for each time one was written.
reported_pdfs() {
    python3 -c '
import json, os, sys
for name in sys.argv[1:]:
    report = json.load(open(name))
    output = report["settings"]["output"]
    for workbook in report["workbooks"]:
        for pdf in workbook["pdfs"]:
            if pdf["path"] is not None:
                print(os.path.relpath(pdf["path"], output))
' "$@" | sort
}

reports_add_up() {
    diff <(reported_pdfs "$whole/report.json") <(reported_pdfs "$volume"/reports/*.json)
}

check "a whole run through the image converts examples/" whole_converts
check "each of the $completions indexes exits 0" every_index_exits_0
check "each index writes its report into the reports folder it makes" every_index_reports
check "the shards write exactly the files of a whole run" same_pdfs_as_whole_run
check "the shards' reports name each PDF of a whole run once" reports_add_up
[ "$failures" -eq 0 ]
