// Whole-process launch benchmark, run on a desktop (bench/run.sh provides one).
//   service: exec of the reference service to its first healthy answer;
//   shell:   exec of the shell to the service receiving the web view's request for "/".
// Both are measured in the same run, alternating, and reported as medians. The shell's resident
// memory and its web engine helpers' total are read once the page has loaded.
'use strict';
const { spawn, execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');

const [bundle, runsArg] = process.argv.slice(2);
const runs = Number(runsArg || 7);
const node = path.join(bundle, 'Contents/Resources/node/bin/node');
const script = path.join(bundle, 'Contents/Resources/app/server.js');
const shellExe = path.join(bundle, 'Contents/MacOS/QUENTRA');

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const now = () => Number(process.hrtime.bigint()) / 1e6;
const median = (xs) => { const s = [...xs].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };

function freePort() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

function healthy(port) {
  return new Promise((resolve) => {
    const req = http.get({ host: '127.0.0.1', port, path: '/api/health', timeout: 200 }, (res) => {
      let body = '';
      res.on('data', (c) => { body += c; });
      res.on('end', () => resolve(res.statusCode === 200 && body.includes('"QUENTRA"')));
    });
    req.on('error', () => resolve(false));
    req.on('timeout', () => { req.destroy(); resolve(false); });
  });
}

async function until(condition, limitMs) {
  const end = now() + limitMs;
  while (now() < end) {
    if (await condition()) return true;
    await sleep(2);
  }
  return false;
}

function stopAndWait(child) {
  return new Promise((resolve) => {
    if (child.exitCode !== null || child.signalCode !== null) return resolve();
    child.once('exit', resolve);
    child.kill('SIGTERM');
  });
}

async function serviceStartup() {
  const port = await freePort();
  const start = now();
  const child = spawn(node, [script], { cwd: path.dirname(script), env: { ...process.env, QUENTRA_PORT: String(port) }, stdio: 'ignore' });
  const ok = await until(() => healthy(port), 10000);
  const elapsed = now() - start;
  await stopAndWait(child);
  if (!ok) throw new Error('service did not answer');
  return elapsed;
}

function rssKiB(pid) {
  const status = fs.readFileSync(`/proc/${pid}/status`, 'utf8');
  return Number(/VmRSS:\s+(\d+)/.exec(status)[1]);
}

function descendants(pid) {
  const out = execFileSync('/bin/ps', ['-e', '-o', 'pid=,ppid=']).toString();
  const children = new Map();
  for (const line of out.trim().split('\n')) {
    const [p, pp] = line.trim().split(/\s+/).map(Number);
    if (!children.has(pp)) children.set(pp, []);
    children.get(pp).push(p);
  }
  const all = [];
  const walk = (p) => { for (const c of children.get(p) || []) { all.push(c); walk(c); } };
  walk(pid);
  return all;
}

async function shellToPage(measureMemory) {
  const port = await freePort();
  const dataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'qn-bench-'));
  const log = path.join(dataDir, 'logs/server.log');
  const start = now();
  const shell = spawn(shellExe, ['--port', String(port), '--data-dir', dataDir], { stdio: 'ignore' });
  const ok = await until(() => fs.existsSync(log) && fs.readFileSync(log, 'utf8').includes(' GET / '), 20000);
  const elapsed = now() - start;
  let memory = null;
  if (ok && measureMemory) {
    await sleep(1500);
    const servicePid = Number(fs.readFileSync(path.join(dataDir, 'service.pid'), 'utf8'));
    const helpers = descendants(shell.pid).filter((p) => p !== servicePid && !descendants(servicePid).includes(p));
    let helpersKiB = 0;
    for (const p of helpers) { try { helpersKiB += rssKiB(p); } catch { /* gone */ } }
    memory = { shellKiB: rssKiB(shell.pid), helpersKiB, helpers: helpers.length, serviceKiB: rssKiB(servicePid) };
  }
  await stopAndWait(shell);
  fs.rmSync(dataDir, { recursive: true, force: true });
  if (!ok) throw new Error('the shell did not load the page');
  return { elapsed, memory };
}

(async () => {
  const service = [];
  const shell = [];
  let memory = null;
  // One warm-up of each, not counted, so caches are alike for both.
  await serviceStartup();
  await shellToPage(false);
  for (let i = 0; i < runs; i++) {
    service.push(await serviceStartup());
    const result = await shellToPage(i === 0);
    shell.push(result.elapsed);
    if (result.memory) memory = result.memory;
  }
  const fmt = (x) => x.toFixed(1);
  console.log(`runs: ${runs}`);
  console.log(`service exec -> first healthy answer: median ${fmt(median(service))} ms  [${service.map(fmt).join(', ')}]`);
  console.log(`shell exec -> service gets "/":       median ${fmt(median(shell))} ms  [${shell.map(fmt).join(', ')}]`);
  console.log(`shell overhead over the service:      ${fmt(median(shell) - median(service))} ms (target: at most 250 ms)`);
  if (memory) {
    console.log(`resident memory at the loaded page: shell ${(memory.shellKiB / 1024).toFixed(1)} MiB, ` +
      `web engine helpers ${(memory.helpersKiB / 1024).toFixed(1)} MiB in ${memory.helpers} processes, ` +
      `service ${(memory.serviceKiB / 1024).toFixed(1)} MiB`);
  }
})().catch((e) => { console.error(e.message); process.exit(1); });
