// Whole-process live-mirror benchmark, run on a desktop (bench/run.sh provides one): the
// companion opens its mirror and gets 1280 x 800 JPEG "frame" lines (quality 85) at 30 a
// second, each followed by a "keys" line whose answer shows when the frame before it was
// handled. A companion that keeps up answers each within a frame's time, and the lag does not
// grow from the first frames to the last; resident memory is read before and after.
'use strict';
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');

const [brinket, framesArg] = process.argv.slice(2);
const frames = Number(framesArg || 3000);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const now = () => Number(process.hrtime.bigint()) / 1e6;
const percentile = (xs, p) => { const s = [...xs].sort((a, b) => a - b); return s[Math.floor(s.length * p)]; };
const rssMiB = (pid) => Number(fs.readFileSync(`/proc/${pid}/status`, 'utf8').match(/VmRSS:\s+(\d+)/)[1]) / 1024;

// Two different pictures, so no frame equals the one before it.
const picture = (seed) => execFileSync('convert', ['-seed', String(seed), '-size', '1280x800',
  'plasma:', '-quality', '85', 'jpg:-']).toString('base64');
const lines = [picture(1), picture(2)].map((d) => JSON.stringify({ cmd: 'frame', w: 1280, h: 800, d }));

async function main() {
  const child = spawn(brinket, [], { stdio: ['pipe', 'pipe', 'inherit'] });
  const sentAt = new Map();
  const lag = [];
  let buffer = '';
  child.stdout.on('data', (chunk) => {
    buffer += chunk;
    let at;
    while ((at = buffer.indexOf('\n')) >= 0) {
      const event = JSON.parse(buffer.slice(0, at));
      buffer = buffer.slice(at + 1);
      if (event.ev === 'keys' && sentAt.has(event.seq)) lag[event.seq] = now() - sentAt.get(event.seq);
    }
  });
  child.stdin.write('{"cmd":"mirror","on":true}\n');
  const send = (n) => {
    sentAt.set(n, now());
    child.stdin.write(`${lines[n % 2]}\n{"cmd":"keys","seq":${n}}\n`);
  };
  const warmUp = 30;
  for (let n = 0; n < warmUp; n++) { send(n); await sleep(1000 / 30); }
  await sleep(500);
  const rssBefore = rssMiB(child.pid);
  const t0 = now();
  for (let n = warmUp; n < warmUp + frames; n++) {
    send(n);
    const due = t0 + ((n - warmUp + 1) * 1000) / 30;
    await sleep(Math.max(0, due - now()));
  }
  await sleep(1000);
  const rssAfter = rssMiB(child.pid);
  child.stdin.end();
  await new Promise((resolve) => child.on('exit', resolve));

  const measured = lag.slice(warmUp);
  const answered = measured.filter((x) => x !== undefined).length;
  const first = measured.slice(0, 300);
  const last = measured.slice(-300);
  console.log(`frames: ${frames} at 30/s, ${answered} answered, line ${(lines[0].length / 1024).toFixed(0)} KiB`);
  console.log(`lag first 300: median ${percentile(first, 0.5).toFixed(2)} ms, p99 ${percentile(first, 0.99).toFixed(2)} ms`);
  console.log(`lag last 300:  median ${percentile(last, 0.5).toFixed(2)} ms, p99 ${percentile(last, 0.99).toFixed(2)} ms`);
  console.log(`resident memory: ${rssBefore.toFixed(1)} MiB before, ${rssAfter.toFixed(1)} MiB after`);
  if (answered !== frames) process.exit(1);
}

main().catch((error) => { console.error(error); process.exit(1); });
