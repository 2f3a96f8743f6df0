'use strict';
// Tests of the reference service: each one runs the real server.js as a child process
// and talks to it over HTTP on 127.0.0.1.

const { describe, it, before, after } = require('node:test');
const assert = require('node:assert/strict');
const http = require('node:http');
const net = require('node:net');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { spawn, execFileSync } = require('node:child_process');

const SERVER = path.join(__dirname, 'server.js');
const STARTUP_LIMIT_MS = 5000;

function freePort() {
  return new Promise((resolve, reject) => {
    const srv = net.createServer();
    srv.on('error', reject);
    srv.listen(0, '127.0.0.1', () => {
      const { port } = srv.address();
      srv.close(() => resolve(port));
    });
  });
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

const children = new Set();
after(() => {
  for (const c of children) if (c.exitCode === null && c.signalCode === null) c.kill('SIGKILL');
});

// Starts server.js with the given extra environment. The result gathers the child's
// output and resolves `exited` with { code, signal } when it ends.
function spawnServer(extraEnv = {}) {
  const env = { ...process.env, ...extraEnv };
  for (const k of Object.keys(env)) if (env[k] === undefined) delete env[k];
  const child = spawn(process.execPath, [SERVER], {
    cwd: __dirname, env, stdio: ['ignore', 'pipe', 'pipe'],
  });
  children.add(child);
  const proc = { child, stdout: '', stderr: '' };
  child.stdout.setEncoding('utf8').on('data', (d) => { proc.stdout += d; });
  child.stderr.setEncoding('utf8').on('data', (d) => { proc.stderr += d; });
  proc.exited = new Promise((resolve) => {
    child.on('exit', (code, signal) => resolve({ code, signal, at: Date.now() }));
  });
  return proc;
}

// Sends one request on a fresh connection. `headers` replaces the default headers
// entirely, so odd or missing Host values go out as written.
function request(port, { method = 'GET', path: p = '/', headers, agent = false } = {}) {
  return new Promise((resolve, reject) => {
    const opts = { host: '127.0.0.1', port, method, path: p, agent };
    if (headers) { opts.headers = headers; opts.setHost = false; }
    const req = http.request(opts, (res) => {
      let body = '';
      res.setEncoding('utf8');
      res.on('data', (d) => { body += d; });
      res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body }));
    });
    req.setTimeout(5000, () => req.destroy(new Error('request timed out')));
    req.on('error', reject);
    req.end();
  });
}

async function waitForHealth(port, proc) {
  const deadline = Date.now() + STARTUP_LIMIT_MS;
  let last;
  while (Date.now() < deadline) {
    if (proc.child.exitCode !== null) break;
    try {
      const r = await request(port, { path: '/api/health' });
      if (r.status === 200) return JSON.parse(r.body);
      last = new Error(`status ${r.status}`);
    } catch (err) {
      last = err;
    }
    await sleep(50);
  }
  throw new Error(`service on port ${port} never became healthy (${last && last.message}); ` +
    `stdout=${proc.stdout} stderr=${proc.stderr}`);
}

async function startServer(extraEnv = {}) {
  const port = await freePort();
  const proc = spawnServer({ QUENTRA_PORT: String(port), ...extraEnv });
  proc.port = port;
  await waitForHealth(port, proc);
  return proc;
}

async function stopServer(proc) {
  if (proc.child.exitCode === null && proc.child.signalCode === null) proc.child.kill('SIGKILL');
  await proc.exited;
}

async function waitForOutput(proc, pattern, ms = 2000) {
  const deadline = Date.now() + ms;
  while (Date.now() < deadline) {
    if (pattern.test(proc.stdout)) return;
    await sleep(25);
  }
  assert.match(proc.stdout, pattern);
}

function hasTmux() {
  try {
    execFileSync('tmux', ['-V'], { stdio: 'ignore', timeout: 2000 });
    return true;
  } catch {
    return false;
  }
}

describe('routes', () => {
  let proc;
  let dataDir;
  before(async () => {
    dataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'qn data <&>"\'-'));
    proc = await startServer({
      QUENTRA_DATA_DIR: dataDir,
      QUENTRA_TMUX_SOCKET: `qn-test-none-${process.pid}`,
    });
  });
  after(async () => {
    await stopServer(proc);
    fs.rmSync(dataDir, { recursive: true, force: true });
  });

  it('prints the start-up line with port, data dir and pid', () => {
    const line = `QUENTRA service listening on http://127.0.0.1:${proc.port} ` +
      `(data dir ${dataDir}, pid ${proc.child.pid})`;
    assert.ok(proc.stdout.split('\n').includes(line), `missing "${line}" in:\n${proc.stdout}`);
  });

  it('health answers with the product as JSON', async () => {
    const r = await request(proc.port, { path: '/api/health' });
    assert.equal(r.status, 200);
    assert.match(r.headers['content-type'], /^application\/json(;|$)/);
    const body = JSON.parse(r.body);
    assert.equal(body.product, 'QUENTRA');
    assert.equal(body.port, proc.port);
    assert.equal(body.pid, proc.child.pid);
  });

  it('routes by path and ignores the query string', async () => {
    const r = await request(proc.port, { path: '/api/health?probe=1' });
    assert.equal(r.status, 200);
    assert.equal(JSON.parse(r.body).product, 'QUENTRA');
  });

  it('the page is dark HTML showing the port and the escaped data dir', async () => {
    const r = await request(proc.port, { path: '/' });
    assert.equal(r.status, 200);
    assert.match(r.headers['content-type'], /^text\/html/);
    assert.match(r.body, /<title>QUENTRA<\/title>/);
    assert.match(r.body, /background:\s*#1c1c1e/);
    assert.match(r.body, /background:\s*#30d158/);
    assert.match(r.body, /service running/);
    assert.ok(r.body.includes(`<td>${proc.port}</td>`), 'port not shown');
    const escaped = dataDir.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
      .replace(/"/g, '&quot;').replace(/'/g, '&#39;');
    assert.ok(r.body.includes(escaped), 'escaped data dir not shown');
    assert.ok(!r.body.includes('<&>'), 'raw data dir leaked into the page');
    assert.doesNotMatch(r.body, /<(link|img|iframe)\b|<script[^>]*\bsrc=|url\(|https?:\/\//i,
      'page must not load external resources');
  });

  it('HEAD gets headers without a body', async () => {
    const r = await request(proc.port, { method: 'HEAD', path: '/api/health' });
    assert.equal(r.status, 200);
    assert.match(r.headers['content-type'], /^application\/json/);
    assert.equal(r.body, '');
  });

  it('unknown paths get 404 JSON', async () => {
    for (const p of ['/nope', '/api/health/extra', '/api', '/index.html', '//']) {
      const r = await request(proc.port, { path: p });
      assert.equal(r.status, 404, p);
      assert.match(r.headers['content-type'], /^application\/json/, p);
      assert.deepEqual(JSON.parse(r.body), { error: 'not found' }, p);
    }
  });

  it('methods other than GET and HEAD get 405', async () => {
    for (const [method, p] of [['POST', '/api/health'], ['PUT', '/'], ['DELETE', '/'],
      ['PATCH', '/api/tmux-keep/state'], ['OPTIONS', '/nope']]) {
      const r = await request(proc.port, { method, path: p });
      assert.equal(r.status, 405, `${method} ${p}`);
    }
  });

  describe('Host header', () => {
    const cases = [
      { host: '127.0.0.1', ok: true },
      { host: 'localhost', ok: true },
      { host: 'LOCALHOST:123', ok: true },
      { host: '127.0.0.1:9', ok: true },
      { host: 'LocalHost', ok: true },
      { host: 'example.com', ok: false },
      { host: '127.0.0.2', ok: false },
      { host: '[::1]', ok: false },
      { host: '[::1]:47681', ok: false },
      { host: 'localhost.evil.com', ok: false },
      { host: 'evil.com:127.0.0.1', ok: false },
      { host: 'localhost:80x', ok: false },
      { host: '', ok: false },
      { host: null, ok: false }, // no Host header at all
    ];
    for (const { host, ok } of cases) {
      it(`${host === null ? '(missing)' : JSON.stringify(host)} is ${ok ? 'accepted' : 'refused'}`,
        async () => {
          const headers = host === null ? {} : { Host: host };
          const r = await request(proc.port, { path: '/api/health', headers });
          if (ok) {
            assert.equal(r.status, 200);
            assert.equal(JSON.parse(r.body).product, 'QUENTRA');
          } else {
            assert.equal(r.status, 403);
            assert.ok(r.body.length > 0 && !r.body.includes('QUENTRA'));
          }
        });
    }
  });

  it('logs what the page reports back from a link, on one line', async () => {
    const data = JSON.stringify({ action: 'ask', q: 'two\nlines "quoted"' });
    const r = await request(proc.port, { path: '/api/page-event?data=' + encodeURIComponent(data) });
    assert.equal(r.status, 204);
    await waitForOutput(proc, /^page event \{"action":"ask","q":"two\\nlines \\"quoted\\""\}$/m);
  });

  it('logs every request on stdout', async () => {
    await request(proc.port, { path: '/' });
    await request(proc.port, { path: '/missing?x=1' });
    await waitForOutput(proc, /^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z GET \/ 200$/m);
    await waitForOutput(proc, /^\S+Z GET \/missing 404$/m);
  });

  it('counts no sessions on a socket without a tmux server', async () => {
    const r = await request(proc.port, { path: '/api/tmux-keep/state' });
    assert.equal(r.status, 200);
    assert.match(r.headers['content-type'], /^application\/json/);
    assert.deepEqual(JSON.parse(r.body), { running: 0 });
  });
});

describe('tmux session count', () => {
  const socket = `qn-test-${process.pid}`;
  const tmuxEnv = { ...process.env };
  delete tmuxEnv.TMUX;
  const tmux = (...args) => execFileSync('tmux', ['-L', socket, ...args],
    { env: tmuxEnv, stdio: 'ignore', timeout: 5000 });
  let proc;

  before(async () => { proc = await startServer({ QUENTRA_TMUX_SOCKET: socket }); });
  after(async () => {
    try { tmux('kill-server'); } catch { /* already gone */ }
    await stopServer(proc);
  });

  const running = async () => {
    const r = await request(proc.port, { path: '/api/tmux-keep/state' });
    assert.equal(r.status, 200);
    return JSON.parse(r.body).running;
  };

  it('follows the sessions of the server on its socket', { skip: !hasTmux() && 'tmux missing' },
    async () => {
      assert.equal(await running(), 0);
      tmux('new-session', '-d', '-s', 'a');
      assert.equal(await running(), 1);
      tmux('new-session', '-d', '-s', 'b');
      assert.equal(await running(), 2);
      tmux('kill-server');
      assert.equal(await running(), 0);
    });

  it('answers 0 when tmux is not installed', async () => {
    const emptyBin = fs.mkdtempSync(path.join(os.tmpdir(), 'qn-nobin-'));
    const p = await startServer({ QUENTRA_TMUX_SOCKET: socket, PATH: emptyBin });
    try {
      const r = await request(p.port, { path: '/api/tmux-keep/state' });
      assert.equal(r.status, 200);
      assert.deepEqual(JSON.parse(r.body), { running: 0 });
    } finally {
      await stopServer(p);
      fs.rmSync(emptyBin, { recursive: true, force: true });
    }
  });

  it('keeps serving other requests while tmux is slow', async () => {
    // A fake tmux that hangs: the count must give up after its time-out, and health
    // must answer meanwhile.
    const bin = fs.mkdtempSync(path.join(os.tmpdir(), 'qn-slowbin-'));
    fs.writeFileSync(path.join(bin, 'tmux'), '#!/bin/sh\nexec sleep 10\n', { mode: 0o755 });
    const p = await startServer({ PATH: `${bin}:/usr/bin:/bin` });
    try {
      const t0 = Date.now();
      const state = request(p.port, { path: '/api/tmux-keep/state' });
      await sleep(100);
      const health = await request(p.port, { path: '/api/health' });
      assert.equal(health.status, 200);
      assert.ok(Date.now() - t0 < 900, 'health waited for tmux');
      const r = await state;
      assert.deepEqual(JSON.parse(r.body), { running: 0 });
      assert.ok(Date.now() - t0 < 3000, 'tmux time-out not applied');
    } finally {
      await stopServer(p);
      fs.rmSync(bin, { recursive: true, force: true });
    }
  });
});

describe('lifecycle', () => {
  for (const signal of ['SIGTERM', 'SIGINT']) {
    it(`${signal} ends the service with code 0 despite an open keep-alive connection`,
      async () => {
        const proc = await startServer();
        const agent = new http.Agent({ keepAlive: true, maxSockets: 1 });
        try {
          const r = await request(proc.port, { path: '/api/health', agent });
          assert.equal(r.status, 200);
          assert.equal(agent.freeSockets[Object.keys(agent.freeSockets)[0]]?.length, 1,
            'keep-alive socket not held open');
          const t0 = Date.now();
          proc.child.kill(signal);
          const result = await Promise.race([proc.exited, sleep(2000).then(() => null)]);
          assert.ok(result, `service still running 2 s after ${signal}`);
          assert.deepEqual([result.code, result.signal], [0, null]);
          assert.ok(result.at - t0 < 2000);
        } finally {
          agent.destroy();
          await stopServer(proc);
        }
      });
  }

  it('SIGTERM ends the service promptly while a request is only half sent', async () => {
    // A connection in the middle of a request is not idle, so closing the listener
    // alone would wait for it.
    const proc = await startServer();
    const sock = net.connect({ host: '127.0.0.1', port: proc.port });
    try {
      await new Promise((resolve, reject) => { sock.on('connect', resolve); sock.on('error', reject); });
      sock.on('error', () => {});
      sock.write('GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n');
      await sleep(100);
      const t0 = Date.now();
      proc.child.kill('SIGTERM');
      const result = await Promise.race([proc.exited, sleep(2000).then(() => null)]);
      assert.ok(result, 'service still running 2 s after SIGTERM');
      assert.deepEqual([result.code, result.signal], [0, null]);
      assert.ok(result.at - t0 < 2000);
    } finally {
      sock.destroy();
      await stopServer(proc);
    }
  });

  it('exits 1 when the port is taken', async () => {
    const blocker = net.createServer();
    await new Promise((r) => blocker.listen(0, '127.0.0.1', r));
    try {
      const proc = spawnServer({ QUENTRA_PORT: String(blocker.address().port) });
      const result = await Promise.race([proc.exited, sleep(5000).then(() => null)]);
      if (!result) await stopServer(proc);
      assert.ok(result, 'service did not exit');
      assert.equal(result.code, 1);
      assert.match(proc.stderr, /EADDRINUSE/);
    } finally {
      blocker.close();
    }
  });

  it('exits 1 on a malformed port', async () => {
    for (const value of ['abc', '70000', ' 8080', '-1']) {
      const proc = spawnServer({ QUENTRA_PORT: value });
      const result = await Promise.race([proc.exited, sleep(5000).then(() => null)]);
      if (!result) await stopServer(proc);
      assert.ok(result, `service did not exit for ${JSON.stringify(value)}`);
      assert.equal(result.code, 1, value);
    }
  });

  it('test hook exits with the requested code after serving', async () => {
    const proc = await startServer({
      QUENTRA_TEST_EXIT_CODE: '75', QUENTRA_TEST_EXIT_AFTER_MS: '1500',
    });
    const result = await Promise.race([proc.exited, sleep(5000).then(() => null)]);
    if (!result) await stopServer(proc);
    assert.ok(result, 'service did not exit');
    assert.equal(result.code, 75);
  });

});
