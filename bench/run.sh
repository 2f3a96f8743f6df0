#!/usr/bin/env bash
# Runs the benchmarks against a build: the probe micro-benchmarks, then the whole-process launch
# benchmark on a private virtual desktop. Report medians; the machine is shared and noisy.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
"$build/bench/health_probe_bench" --benchmark_min_time=0.5
"$root/tests/e2e/with-desktop.sh" node "$root/bench/launch_bench.js" "$build/QUENTRA.app" "${QN_BENCH_RUNS:-7}"
"$build/bench/companion_reader_bench" --benchmark_min_time=0.5 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$root/tests/e2e/with-desktop.sh" node "$root/bench/companion_process_bench.js" "$build/bin/brinket" 10000
"$build/bench/frame_bench" --benchmark_min_time=0.5 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$root/tests/e2e/with-desktop.sh" node "$root/bench/frame_process_bench.js" "$build/bin/brinket" 3000
"$root/tests/e2e/with-desktop.sh" "$build/bench/drawer_controls_bench" --benchmark_min_time=0.5 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$root/tests/e2e/with-desktop.sh" "$build/bench/bubble_bench" --benchmark_min_time=0.5 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$build/bench/guard_bench" --benchmark_min_time=0.5 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$root/tests/e2e/with-desktop.sh" "$build/bench/worker_ports_bench" --benchmark_min_time=0.5 --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$root/tests/e2e/with-desktop.sh" node "$root/bench/worker_guard_process_bench.js" "$build/bin/brinket" "$build/tests/e2e/companion/qn_test_window" 60
