#!/bin/bash
# Submits the shards of the series in series.conf as one Slurm job array and
# the merge as a job that starts when every shard has succeeded. Options given
# to it go to both sbatch calls and override the scripts' #SBATCH lines, e.g.
#
#   ./submit.sh --partition=short --cpus-per-task=4
set -euo pipefail
cd "$(dirname "$0")"
source ./series.conf

shards=$(sbatch --parsable "$@" --array="1-$SHARDS" iterate-shard.sbatch)
merge=$(sbatch --parsable "$@" --dependency="afterok:$shards" iterate-merge.sbatch)
echo "shards: job $shards (array 1-$SHARDS), merge: job $merge"
