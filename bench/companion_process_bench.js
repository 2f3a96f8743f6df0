// Whole-process companion benchmark, run on a desktop (bench/run.sh provides one).
//   round trip: 10,000 {"cmd":"keys","seq":n} lines, each written after the previous answer;
//               every answer must come, in order; median and 99th percentile latency;
//   idle:       wake-ups per second (context switches) and CPU per cent with no worker and a
//               tab that does not animate, then while the tab animates ("running");
//   memory:     resident set size after start-up.
'use strict';
const { spawn } = require('node:child_process');
const fs = require('node:fs');

const [brinket, roundsArg] = process.argv.slice(2);
const rounds = Number(roundsArg || 10000);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const now = () => Number(process.hrtime.bigint()) / 1e6;
const percentile = (xs, p) => { const s = [...xs].sort((a, b) => a - b); return s[Math.floor(s.length * p)]; };

function procStatus(pid) {
  const text = fs.readFileSync(`/proc/${pid}/status`, 'utf8');
  const field = (name) => Number((text.match(new RegExp(`${name}:\\s+(\\d+)`)) || [0, 0])[1]);
  return { rssKb: field('VmRSS'), switches: field('voluntary_ctxt_switches') + field('nonvoluntary_ctxt_switches') };
}

function cpuTicks(pid) {
  // Also the threads: /proc/<pid>/stat counts the whole process.
  const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return Number(fields[11]) + Number(fields[12]);
}

async function sample(pid, seconds) {
  const s0 = procStatus(pid).switches;
  const c0 = cpuTicks(pid);
  const t0 = now();
  await sleep(seconds * 1000);
  const elapsed = (now() - t0) / 1000;
  return {
    wakeupsPerSecond: (procStatus(pid).switches - s0) / elapsed,
    cpuPercent: ((cpuTicks(pid) - c0) / 100 / elapsed) * 100,
  };
}

async function main() {
  const child = spawn(brinket, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  let buffer = '';
  let waiting = null;
  child.stdout.on('data', (chunk) => {
    buffer += chunk;
    let at;
    while ((at = buffer.indexOf('\n')) >= 0) {
      const line = buffer.slice(0, at);
      buffer = buffer.slice(at + 1);
      if (waiting) { const w = waiting; waiting = null; w(line); }
    }
  });
  const ask = (line) => new Promise((resolve) => { waiting = resolve; child.stdin.write(line + '\n'); });

  await ask('{"cmd":"keys","seq":-1}');
  await sleep(1000);
  const rssKb = procStatus(child.pid).rssKb;

  const latencies = [];
  for (let n = 0; n < rounds; n++) {
    const t0 = now();
    const answer = JSON.parse(await ask(`{"cmd":"keys","seq":${n}}`));
    latencies.push(now() - t0);
    if (answer.seq !== n) throw new Error(`answer ${answer.seq} for ${n}`);
  }

  await ask('{"cmd":"state","state":"done"}\n{"cmd":"keys","seq":"idle"}');
  await sleep(500);
  const idle = await sample(child.pid, 5);
  await ask('{"cmd":"state","state":"running"}\n{"cmd":"keys","seq":"anim"}');
  await sleep(500);
  const animating = await sample(child.pid, 5);
  child.stdin.end();
  await new Promise((resolve) => child.on('exit', resolve));

  console.log(`round trip: ${rounds} answered in order; median ${percentile(latencies, 0.5).toFixed(3)} ms, p99 ${percentile(latencies, 0.99).toFixed(3)} ms`);
  console.log(`idle: ${idle.wakeupsPerSecond.toFixed(1)} wake-ups/s, ${idle.cpuPercent.toFixed(2)} % CPU`);
  console.log(`animating: ${animating.wakeupsPerSecond.toFixed(1)} wake-ups/s, ${animating.cpuPercent.toFixed(2)} % CPU`);
  console.log(`resident memory after start-up: ${(rssKb / 1024).toFixed(1)} MiB`);
}

main().catch((error) => { console.error(error); process.exit(1); });
