// Whole-process benchmark of the companion guarding a real worker window, run on a desktop with
// a window manager (bench/run.sh provides one).
//   guard:  CPU per cent of the companion over 60 s while it keeps a hidden GTK worker hidden
//           (the guard ticks 50 times a second), against the same companion with no worker;
//   show:   from writing {"cmd":"show"} to the X server naming the worker's window active, and
//           from {"cmd":"hide"} to the user's window being active again; medians of 10.
'use strict';
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');

const [brinket, testWindow, secondsArg] = process.argv.slice(2);
const guardSeconds = Number(secondsArg || 60);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const now = () => Number(process.hrtime.bigint()) / 1e6;
const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };

function cpuTicks(pid) {
  const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return Number(fields[11]) + Number(fields[12]);
}

async function cpuPercent(pid, seconds) {
  const c0 = cpuTicks(pid);
  const t0 = now();
  await sleep(seconds * 1000);
  return ((cpuTicks(pid) - c0) / 100 / ((now() - t0) / 1000)) * 100;
}

// The window of a process with this title, once the window manager lists it.
async function windowOf(pid, title) {
  for (let i = 0; i < 100; ++i) {
    try {
      const ids = execFileSync('xdotool', ['search', '--onlyvisible', '--pid', String(pid), '--name', title])
        .toString().trim().split('\n').filter(Boolean);
      if (ids.length) return Number(ids[0]);
    } catch { /* not there yet */ }
    await sleep(50);
  }
  throw new Error(`no window for ${pid}`);
}

// Follows _NET_ACTIVE_WINDOW as the X server announces it.
function activeWindowSpy() {
  const spy = spawn('xprop', ['-root', '-spy', '_NET_ACTIVE_WINDOW']);
  const state = { active: 0, waiters: [] };
  let buffer = '';
  spy.stdout.on('data', (chunk) => {
    buffer += chunk;
    let at;
    while ((at = buffer.indexOf('\n')) >= 0) {
      const match = buffer.slice(0, at).match(/# (0x[0-9a-f]+)/);
      buffer = buffer.slice(at + 1);
      if (!match) continue;
      state.active = Number(match[1]);
      state.waiters = state.waiters.filter((w) => !w());
    }
  });
  state.until = (id) => new Promise((resolve) => {
    const check = () => { if (state.active !== id) return false; resolve(now()); return true; };
    if (!check()) state.waiters.push(check);
  });
  state.stop = () => spy.kill();
  return state;
}

function companion() {
  const child = spawn(brinket, [], { stdio: ['pipe', 'ignore', 'inherit'] });
  child.send = (command) => child.stdin.write(JSON.stringify(command) + '\n');
  return child;
}

async function main() {
  const user = spawn(testWindow, [], { stdio: 'ignore' });
  const worker = spawn(testWindow, [], { stdio: 'ignore' });
  const userWindow = await windowOf(user.pid, 'qn-worker');
  const workerWindow = await windowOf(worker.pid, 'qn-worker');
  const spy = activeWindowSpy();
  execFileSync('xdotool', ['windowactivate', '--sync', String(userWindow)]);

  const idle = companion();
  await sleep(1500);
  const baseline = await cpuPercent(idle.pid, Math.min(guardSeconds, 20));
  idle.kill();

  const guard = companion();
  guard.send({ cmd: 'init', pid: worker.pid, app: 0 });
  await sleep(1500);
  const guarding = await cpuPercent(guard.pid, guardSeconds);

  const shows = [];
  const hides = [];
  for (let i = 0; i < 10; ++i) {
    let t0 = now();
    guard.send({ cmd: 'show', reason: 'user' });
    shows.push((await spy.until(workerWindow)) - t0);
    await sleep(300);
    t0 = now();
    guard.send({ cmd: 'hide' });
    hides.push((await spy.until(userWindow)) - t0);
    await sleep(300);
  }
  console.log(JSON.stringify({
    cpuPercentNoWorker: Number(baseline.toFixed(3)),
    cpuPercentGuardingHiddenWorker: Number(guarding.toFixed(3)),
    guardSeconds,
    showToActiveMsMedian: Number(median(shows).toFixed(1)),
    hideToUserActiveMsMedian: Number(median(hides).toFixed(1)),
  }));
  guard.kill();
  spy.stop();
  user.kill();
  worker.kill();
}

main().catch((error) => { console.error(error); process.exit(1); });
