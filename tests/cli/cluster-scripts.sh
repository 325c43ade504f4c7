#!/bin/bash
# The Slurm scripts of examples/cluster, run by hand as a scheduler would run
# them, give the ten best of the whole series, byte for byte. Each shard task
# runs as "sbatch --array=K" runs it again after a failure: an array of one
# task, so the shard count must come from series.conf.
#
#   cluster-scripts.sh SOURCE_DIR TORQWELL_CLI
set -euo pipefail
source_dir=${1:?source dir}
cli=${2:?torqwell-cli}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir"/examples/cluster/*.sbatch "$work"
cd "$work"
cat > series.conf <<EOF
ENGINE="$source_dir/examples/chevy-350-street.trq"
SWEEPS=(--sweep bore=3.9:4.1:0.1 --sweep stroke=3.3:3.6:0.1)
SCORING=(--criterion torque --band 2500-5000)
SHARDS=3
OUT=series
EOF
source ./series.conf
mkdir bin
ln -s "$cli" bin/torqwell-cli
export PATH="$work/bin:$PATH"

for k in 3 1 2; do
    SLURM_ARRAY_TASK_ID=$k SLURM_ARRAY_TASK_COUNT=1 SLURM_CPUS_PER_TASK=2 bash iterate-shard.sbatch
done
bash iterate-merge.sbatch

torqwell-cli iterate "$ENGINE" "${SWEEPS[@]}" "${SCORING[@]}" --format json > whole.json
if ! cmp -s series/best.json whole.json; then
    echo "the merged shards differ from the whole series:" >&2
    diff series/best.json whole.json >&2 || true
    exit 1
fi
kept=$(find series/best -name 'Best*-chevy-350-street.trq' | wc -l)
if [ "$kept" -ne 10 ]; then
    echo "the merge saved $kept Best engines, not 10" >&2
    exit 1
fi
echo "3 shards merged into the whole series' ten best"
