#!/bin/bash
# The same split without a scheduler: GNU parallel runs one shard at a time
# on each host of hosts.txt over ssh (torqwell-cli on every host's PATH, and
# rsync on every host, which parallel uses to copy files to and fro),
# copies the engine file there, brings each shard record back, then merges.
#
#   ./parallel-ssh.sh hosts.txt chevy-350-street.trq 8
#
# hosts.txt holds one ssh login per line, as "1/user@host" (one shard at a
# time: each shard uses every core of its host). ":" is this machine.
set -euo pipefail
hosts=${1:?hosts file}
engine=${2:?engine file}
shards=${3:-8}
sweeps="--sweep bore=3.9:4.1:0.01 --sweep stroke=3.3:3.6:0.01 --sweep ivc=56:76:1"

parallel --sshloginfile "$hosts" --basefile "$engine" --return "shard-{}-of-$shards.json" --cleanup \
    --halt now,fail=1 \
    "torqwell-cli iterate $(basename "$engine") $sweeps --shard {}/$shards > shard-{}-of-$shards.json" \
    ::: $(seq "$shards")
torqwell-cli iterate-merge shard-*-of-"$shards".json --format json
