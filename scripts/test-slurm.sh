#!/usr/bin/env bash
# Runs README's Slurm job script (the block after "<!-- slurm job script -->", with /srv/in and
# /srv/pdf pointed at folders of its own) on a one-node Slurm that it starts itself: munged,
# slurmctld and slurmd on localhost, with their own key, socket, configuration and logs in a
# temporary folder and their state in /var/spool/quillsheet-slurm. Checks that a job array
# converts examples/ plus a few failing workbooks exactly as one whole run does (the same PDFs
# with the same pages, each written once by one task; the tasks' report totals add up; each
# task's exit code says whether it failed), and that a task stopped mid-run by scancel, by
# scancel --batch --signal=TERM or by the script's --signal under a time limit exits 143 with its
# summary and "stopped": true in its report, leaving no temporary PDF and no process (the latter
# two, with the CLI alone signalled, no failed workbook and no office file either). Stops every
# daemon it started, however it ends. Root, Debian 12: installs munge, Slurm and jq, and builds
# quillsheet-cli into build-slurm/ unless given one: scripts/test-slurm.sh [QUILLSHEET_CLI].
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -ne 0 ]; then
    echo "scripts/test-slurm.sh runs Slurm's daemons as root: run it as root" >&2
    exit 2
fi

started=$SECONDS
phase_name=
phase_started=$SECONDS
# Ends the phase in progress, printing its time, and starts the one named.
phase() {
    [ -z "$phase_name" ] || echo "== $phase_name: $((SECONDS - phase_started)) s"
    phase_name=$1
    phase_started=$SECONDS
    [ -z "$phase_name" ] || echo "== $phase_name"
}

# The summaries checked are the CLI's Chinese ones, whatever this machine's locale; the jobs
# inherit it.
unset LANGUAGE LC_ALL LC_MESSAGES
export LANG=C.UTF-8
work=$(mktemp -d)
spool=/var/spool/quillsheet-slurm
export SLURM_CONF=$work/slurm.conf
daemons=()
controller=
source scripts/checks.sh

# The processes of this cluster's jobs whose environment holds the variable given (NAME=VALUE):
# the CLI and its offices, in their sandbox or not, carry their task's environment.
task_processes() {
    grep -lzx "$1" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3 || true
}

# Ends the jobs still queued or running, and whatever of them escaped Slurm, then the daemons.
stop_daemons() {
    if [ -n "$controller" ] && squeue -h -o %i 2>/dev/null | grep -q .; then
        scancel --partition=quillsheet || true
        for _ in $(seq 60); do
            squeue -h -o %i 2>/dev/null | grep -q . || break
            sleep 1
        done
    fi
    local pid
    for pid in $(task_processes SLURM_CLUSTER_NAME=quillsheet); do
        kill -KILL "$pid" 2>/dev/null || true
    done
    local index
    for ((index = ${#daemons[@]} - 1; index >= 0; index--)); do
        kill "${daemons[index]}" 2>/dev/null || true
        wait "${daemons[index]}" 2>/dev/null || true
    done
}

# Whatever stopped the script, no daemon of it runs on and its files are gone.
finish() {
    local status=$?
    stop_daemons
    if [ "$status" -ne 0 ]; then
        for log in "$work"/*.log; do
            [ -f "$log" ] && echo "--- $log" && tail -n 20 "$log"
        done
    fi
    rm -rf "$work" "$spool"
    phase ""
    echo "== total: $((SECONDS - started)) s"
    verdict "$status" "README's Slurm job script converts the tree once over its shards and stops cleanly" Slurm
}
trap finish EXIT

# Waits up to the seconds given for a command to succeed.
wait_for() {
    local seconds=$1
    shift
    local until=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.5
    done
}

phase "install"
packages=(munge slurmctld slurmd slurm-client jq poppler-utils)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -q
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}"
fi

phase "build"
if [ $# -gt 0 ]; then
    cli=$(realpath "$1")
else
    scripts/install-deps.sh
    cmake -S . -B build-slurm -DCMAKE_BUILD_TYPE=Release -DQUILLSHEET_TESTS=OFF \
        -DQUILLSHEET_SANITIZE=OFF >/dev/null
    cmake --build build-slurm -j2 --target quillsheet-cli
    cli=$PWD/build-slurm/cli/quillsheet-cli
fi
# The jobs run with this environment, so they find the CLI by the name README's script gives.
PATH=$(dirname "$cli"):$PATH
export PATH

phase "daemons"
# A key and a socket of this test's own, so that a munged of the machine is neither used nor
# disturbed. munged wants everyone to be able to reach its socket's folder.
chmod 711 "$work"
mkdir -m 711 "$work/munge"
mungekey --create --keyfile "$work/munge/munge.key"
munged --foreground --key-file "$work/munge/munge.key" --socket "$work/munge/socket" \
    --pid-file "$work/munge/pid" --seed-file "$work/munge/seed" 2>"$work/munged.log" &
daemons+=($!)
wait_for 10 test -S "$work/munge/socket"

# The node as slurmd finds this machine: its CPUs, their layout and its memory.
node=$(slurmd -C | sed -n 's/^NodeName=[^ ]* /NodeName=localhost /p')
rm -rf "$spool"
mkdir -p "$spool/slurmctld" "$spool/slurmd"
cat >"$SLURM_CONF" <<EOF
ClusterName=quillsheet
SlurmctldHost=localhost
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$work/munge/socket
SlurmUser=root
SlurmdUser=root
StateSaveLocation=$spool/slurmctld
SlurmdSpoolDir=$spool/slurmd
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
ReturnToService=2
$node State=UNKNOWN
PartitionName=quillsheet Nodes=localhost Default=YES MaxTime=INFINITE State=UP
EOF
# In the foreground, each daemon logs to its standard error.
slurmctld -D 2>"$work/slurmctld.log" &
controller=$!
daemons+=("$controller")
slurmd -D -N localhost 2>"$work/slurmd.log" &
daemons+=($!)
node_is_idle() {
    [ "$(sinfo -h -n localhost -o %t 2>/dev/null)" = idle ]
}
wait_for 30 node_is_idle
echo "idle: $node"

phase "whole run"
# The job script exactly as README prints it, but for the folders it converts.
script=$work/convert.sh
awk '/^<!-- slurm job script -->$/ { marked = 1; next }
     marked && /^```/ { if (inside) exit; inside = 1; next }
     inside { print }' README.md >"$script"
grep -q ' /srv/in /srv/pdf$' "$script" || {
    echo "README's Slurm job script does not end in /srv/in /srv/pdf:" >&2
    cat "$script" >&2
    exit 1
}
echo "--- README's job script"
cat "$script"
echo "---"

# Runs README's script over one tree into one output folder; the remaining arguments go to
# sbatch. Prints the job's id.
submit() {
    local source=$1 output=$2 reports=$3
    shift 3
    mkdir -p "$reports"
    sed "s| /srv/in /srv/pdf$| $source $output|" "$script" >"$reports/convert.sh"
    sbatch --parsable --chdir "$reports" --output "$reports/%a.out" "$@" "$reports/convert.sh"
}

job_is_done() {
    ! squeue -h -j "$1" -o %i 2>/dev/null | grep -q .
}

# Each array task's id and exit code ("143:0": exited 143), one line each, in task order.
exit_codes() {
    scontrol -o show job "$1" |
        sed -n 's/.*ArrayTaskId=\([0-9]*\) .*ExitCode=\([0-9:]*\).*/\1 \2/p' | sort -n
}

mkdir "$work/in"
cp -r examples/. "$work/in"
mkdir "$work/in/broken"
: >"$work/in/broken/empty.xlsx"
echo "not a workbook" >"$work/in/broken/notes.xls"
whole_status=0
"$cli" --quiet --report "$work/whole.json" "$work/in" "$work/whole" || whole_status=$?
echo "whole run: exit $whole_status, $(jq -c .totals "$work/whole.json")"

phase "job array"
shards=3
array=$(submit "$work/in" "$work/pdf" "$work/reports" --array "1-$shards")
echo "job $array: $shards tasks"
wait_for 600 job_is_done "$array"
exit_codes "$array"
for task in $(seq "$shards"); do
    echo "--- task $task"
    cat "$work/reports/$task.out"
done

# Each PDF that the reports name, below the output folder given, one line each, sorted.
reported_pdfs() {
    local output=$1
    shift
    jq -r '.workbooks[].pdfs[].path // empty' "$@" | sed "s|^$output/||" | sort
}

# Each PDF below a folder with its pages, one line each, sorted.
pdf_pages() {
    local pdf
    while IFS= read -r -d '' pdf; do
        echo "${pdf#"$1"/} $(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')"
    done < <(find "$1" -type f -name '*.pdf' -print0) | sort
}

all_tasks_reported() {
    local task
    for task in $(seq "$shards"); do
        [ -s "$work/reports/report-$task.json" ] || return 1
    done
}

each_pdf_written_once() {
    local written
    written=$(reported_pdfs "$work/pdf" "$work"/reports/report-*.json)
    [ -n "$written" ] && [ -z "$(uniq -d <<<"$written")" ] &&
        [ "$written" = "$(reported_pdfs "$work/whole" "$work/whole.json")" ]
}

same_pdfs_as_whole_run() {
    local shards_pdfs whole_pdfs
    shards_pdfs=$(pdf_pages "$work/pdf")
    whole_pdfs=$(pdf_pages "$work/whole")
    echo "$(wc -l <<<"$whole_pdfs") PDFs in the whole run"
    [ -n "$whole_pdfs" ] || return 1
    diff <(echo "$whole_pdfs") <(echo "$shards_pdfs")
}

each_workbook_in_one_shard() {
    local listed
    listed=$(jq -r '.workbooks[].path' "$work"/reports/report-*.json | sed "s|^$work/in/||" | sort)
    [ -z "$(uniq -d <<<"$listed")" ] &&
        [ "$listed" = "$(jq -r '.workbooks[].path' "$work/whole.json" | sed "s|^$work/in/||" | sort)" ]
}

totals_add_up() {
    local summed whole
    summed=$(jq -s -S 'map(.totals) | reduce .[] as $t ({}; reduce ($t | keys[]) as $k
        (.; .[$k] += $t[$k]))' "$work"/reports/report-*.json)
    whole=$(jq -S .totals "$work/whole.json")
    echo "summed totals: $(jq -c . <<<"$summed")"
    [ "$summed" = "$whole" ]
}

# 1 for a task whose report has failures, 0 for the others, as for afterok.
exit_codes_tell_failures() {
    local task code expected
    while read -r task code; do
        expected=0
        [ "$(jq '.totals.failed' "$work/reports/report-$task.json")" -eq 0 ] || expected=1
        [ "$code" = "$expected:0" ] || return 1
    done < <(exit_codes "$array")
    [ "$(exit_codes "$array" | wc -l)" -eq "$shards" ]
}

check "the whole run converts the good workbooks and fails the broken ones (exit 1)" \
    test "$whole_status" -eq 1
check "each of the $shards tasks wrote its report" all_tasks_reported
check "the shards list each workbook once, as the whole run does" each_workbook_in_one_shard
check "the shards' reports name each PDF of the whole run once" each_pdf_written_once
check "the shards wrote the whole run's PDFs, with the same pages" same_pdfs_as_whole_run
check "the shards' report totals add up to the whole run's" totals_add_up
check "each task's exit code is 1 where a workbook failed, 0 elsewhere" exit_codes_tell_failures

phase "stopped tasks"
mkdir "$work/slow"
for copy in $(seq -w 3000); do
    cp examples/inventory.xlsx "$work/slow/inventory-$copy.xlsx"
done

has_a_pdf() {
    find "$1" -name '*.pdf' 2>/dev/null | grep -q .
}

exits_143() {
    [ "$(exit_codes "$job")" = "1 143:0" ]
}

report_says_stopped() {
    echo "report: stopped $(jq .stopped "$report"), $(jq -c .totals "$report")"
    [ "$(jq .stopped "$report")" = true ] && [ "$(jq .totals.notConverted "$report")" -gt 0 ]
}

# Files found below the output folder by the find tests given, printed.
none_left() {
    local left
    left=$(find "$output" "$@")
    [ -z "$left" ] || echo "left: $left"
    [ -z "$left" ]
}

nothing_runs_on() {
    local left
    left=$(task_processes "SLURM_ARRAY_JOB_ID=$job")
    [ -z "$left" ] || echo "still running: $left"
    [ -z "$left" ]
}

nothing_failed() {
    [ "$(jq .totals.failed "$report")" -eq 0 ]
}

# Runs README's script over the slow workbooks, with the time limit given in minutes, and once a
# PDF is there stops it with the command given (the job's id follows its arguments); then checks
# how the task ended, and with "true" that its offices were left to finish the workbooks in work:
# none failed and no office file is left.
stop_mid_run() {
    local how=$1 offices_finish=$2 minutes=$3
    shift 3
    stops=$((stops + 1))
    local output=$work/stopped-$stops-pdf reports=$work/stopped-$stops-reports job
    local report=$reports/report-1.json
    job=$(submit "$work/slow" "$output" "$reports" --array 1 --time "$minutes")
    wait_for 120 has_a_pdf "$output"
    "$@" "$job"
    wait_for 240 job_is_done "$job"
    echo "job $job: stopped by $how after $(find "$output" -name '*.pdf' | wc -l) PDFs"
    exit_codes "$job"
    cat "$reports/1.out"
    check "$how: the task exits 143" exits_143
    check "$how: the task prints its summary and its stop line" \
        grep -q '^转换已中止：[0-9]*个excel文件未转换。' "$reports/1.out"
    check "$how: the task's report says it stopped before the end" report_says_stopped
    check "$how: the task leaves no temporary PDF in its output" none_left -name '.quillsheet-*'
    check "$how: nothing of the task runs on" nothing_runs_on
    if [ "$offices_finish" = true ]; then
        check "$how: the workbooks in work finish" nothing_failed
        check "$how: no office file (lu*.tmp) is left in the output" none_left -name 'lu*.tmp'
    fi
}

# A plain scancel signals every process of the task, the offices too: the workbooks in work fail,
# and an office ended while it writes may leave its lu*.tmp. Signalled alone, the CLI lets them
# finish: so does the --signal of README's script, due at once under a time limit of 1 minute.
stops=0
stop_mid_run scancel false 10 scancel
stop_mid_run "scancel --batch --signal=TERM" true 10 scancel --batch --signal=TERM
stop_mid_run "the time limit's --signal" true 1 true
[ "$failures" -eq 0 ]
