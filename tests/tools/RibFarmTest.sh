#!/usr/bin/env bash
# rib-farm on a one-node Slurm cluster that the test starts in a temporary folder (munged with its
# own key and socket, slurmctld and slurmd on free ports, all as the test user), and on this
# machine: a 12-frame recording becomes 12 pictures identical byte for byte to rib-view's own
# snapshots and a video of 12 frames; a corrupt frame and a task cancelled from outside are named,
# with exit status 1. Its arguments are RibFarmLocalTest's.
#   RibFarmTest.sh RIB_FARM WOBBLERAMA_SIM RIB_VIEW      (exit 0 passed, 1 failed)
set -uo pipefail
farm=$1 sim=$2 view=$3
for program in munged slurmctld slurmd sbatch squeue scancel sinfo ffprobe; do
  command -v "$program" >/dev/null || { echo "FAIL: $program is not installed"; exit 1; }
done

tmp=$(mktemp -d)
chmod 755 "$tmp" # munged wants its socket's folders open to everyone
daemons=() ourConf=
stop() {
  # Jobs left by a failed check end with the cluster, not after it.
  [ -n "$ourConf" ] && SLURM_CONF=$ourConf scancel --user="$(id -un)" 2>/dev/null && sleep 1
  for ((i = ${#daemons[@]} - 1; i >= 0; i--)); do kill "${daemons[i]}" 2>/dev/null; done
  for pid in "${daemons[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap stop EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
waitFor() { # seconds, what, test command...
  local seconds=$1 what=$2
  shift 2
  for _ in $(seq $((seconds * 10))); do "$@" && return 0; sleep 0.1; done
  echo "FAIL: $what"; for log in "$tmp"/c/*.log; do echo "== $log"; tail -5 "$log"; done
  exit 1
}

# A free port: nothing answers on it.
freePort() {
  local port
  while :; do
    port=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
}

# The cluster: everything it keeps lives in $tmp/c.
c=$tmp/c
mkdir -m 755 "$c" "$c/socket" "$c/state" "$c/spool" && mkdir -m 700 "$c/key"
dd if=/dev/urandom of="$c/key/munge.key" bs=1024 count=1 status=none
chmod 400 "$c/key/munge.key"
munged --foreground --socket="$c/socket/munge" --key-file="$c/key/munge.key" \
  --pid-file="$c/munged.pid" --log-file="$c/munged.log" --seed-file="$c/key/seed" >/dev/null 2>&1 &
daemons+=($!)
waitFor 10 "munged did not start" test -S "$c/socket/munge"

node=$(hostname -s) user=$(id -un) ctld=$(freePort) slurmdPort=$(freePort)
while [ "$slurmdPort" = "$ctld" ]; do slurmdPort=$(freePort); done
export SLURM_CONF=$c/slurm.conf
ourConf=$SLURM_CONF
cat >"$SLURM_CONF" <<EOF
ClusterName=ribfarmtest
SlurmctldHost=$node(127.0.0.1)
SlurmUser=$user
SlurmdUser=$user
SlurmctldPort=$ctld
SlurmdPort=$slurmdPort
AuthType=auth/munge
AuthInfo=socket=$c/socket/munge
CredType=cred/munge
StateSaveLocation=$c/state
SlurmdSpoolDir=$c/spool
SlurmctldPidFile=$c/slurmctld.pid
SlurmdPidFile=$c/slurmd.pid
SlurmctldLogFile=$c/slurmctld.log
SlurmdLogFile=$c/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
SchedulerType=sched/builtin
SchedulerParameters=sched_min_interval=0,batch_sched_delay=0
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
JobAcctGatherType=jobacct_gather/none
MpiDefault=none
ReturnToService=2
SlurmdParameters=config_overrides
$(slurmd -C | head -1 | sed 's/ RealMemory=.*//') NodeAddr=127.0.0.1 State=UNKNOWN
PartitionName=main Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -D -i -f "$SLURM_CONF" >"$c/slurmctld.out" 2>&1 &
daemons+=($!)
slurmd -D -f "$SLURM_CONF" >"$c/slurmd.out" 2>&1 &
daemons+=($!)
nodeIdle() { [ "$(sinfo --noheader --format=%t 2>/dev/null)" = idle ]; }
waitFor 30 "the Slurm node did not become idle" nodeIdle

# A 12-frame recording, and rib-view's snapshot of each frame made directly.
cd "$tmp" && mkdir frames reference
"$sim" --steps 120 --every 10 --rib 'frames/wobble.%04d.rib' >/dev/null
frames=(frames/*.rib)
[ ${#frames[@]} -eq 12 ] || fail "the recording has ${#frames[@]} frames, not 12"
for file in "${frames[@]}"; do
  name=$(basename "$file" .rib)
  "$view" --snapshot "reference/$name.png" "$file" || fail "rib-view --snapshot $file: exit $?"
done

# Every picture of folder $1 is rib-view's, nothing else is there, and the run said nothing.
samePictures() { # folder, run's exit status, run's error output
  [ "$2" -eq 0 ] || fail "$1: exit status $2: $(head -3 "$3")"
  [ -s "$3" ] && fail "$1: error output: $(head -3 "$3")"
  [ "$(ls -A "$1")" = "$(ls -A reference)" ] || fail "$1 holds $(ls -A "$1" | tr '\n' ' ')"
  for picture in reference/*.png; do
    cmp -s "$picture" "$1/${picture#reference/}" || fail "$1/${picture#reference/} differs"
  done
}
videoFrames() {
  ffprobe -v error -count_frames -select_streams v:0 -of csv=p=0 \
    -show_entries stream=codec_name,pix_fmt,nb_read_frames "$1"
}

"$farm" --video wobble.mp4 --out slurm "${frames[@]}" 2>slurm.err
samePictures slurm $? slurm.err
[ "$(videoFrames wobble.mp4)" = "h264,yuv420p,12" ] || fail "video: $(videoFrames wobble.mp4)"

"$farm" --local --out local "${frames[@]}" 2>local.err
samePictures local $? local.err

# A corrupt frame: named with rib-view's exit status and first line, the others kept, no video.
mkdir bad && cp frames/*.rib bad/
head -c 1500 frames/wobble.0005.rib >bad/wobble.0005.rib
"$farm" --video bad.mp4 --out bad-out bad/*.rib 2>bad.err
status=$?
"$view" --snapshot bad-direct.png "$PWD/bad/wobble.0005.rib" 2>direct.err
direct=$?
[ $direct -ne 0 ] || fail "rib-view takes the corrupt frame"
expected="rib-farm: bad/wobble.0005.rib: exit status $direct: $(head -1 direct.err)
rib-farm: video 'bad.mp4': not made, as not every frame rendered"
[ $status -eq 1 ] || fail "a corrupt frame: exit status $status"
[ "$(cat bad.err)" = "$expected" ] || fail "a corrupt frame: $(cat bad.err)"
[ "$(ls -A bad-out | wc -l)" -eq 11 ] && [ ! -e bad-out/wobble.0005.png ] && [ ! -e bad.mp4 ] ||
  fail "a corrupt frame leaves $(ls -A bad-out bad.mp4 | tr '\n' ' ')"

# A task cancelled from outside while it renders is a failed frame, named with its state.
"$farm" --render "case {in} in *0003*) sleep 60;; esac; '$view' --snapshot {out} {in}" \
  --out cancelled "${frames[@]}" 2>cancelled.err &
farmPid=$!
sleeper() { squeue --noheader --array --states=RUNNING --format=%i | grep '_2$'; }
waitFor 30 "frame 3's task never ran" sleeper >/dev/null
task=$(sleeper)
scancel "$task"
wait $farmPid
status=$?
[ $status -eq 1 ] || fail "a cancelled task: exit status $status"
[ "$(cat cancelled.err)" = "rib-farm: frames/wobble.0003.rib: Slurm task $task ended CANCELLED without a result" ] ||
  fail "a cancelled task: $(cat cancelled.err)"
[ "$(ls -A cancelled | wc -l)" -eq 11 ] || fail "a cancelled task leaves $(ls -A cancelled | tr '\n' ' ')"

[ $failures -eq 0 ] && echo "ok" && exit 0
exit 1
