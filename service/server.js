'use strict';
// QUENTRA reference service.
//
// A small, dependency-free HTTP service that the QUENTRA shell runs as its child:
//   node server.js            (working directory: the folder holding this file)
// It relies on nothing but Node.js itself, so the file can be copied on its own into
// the application bundle.
//
// Environment:
//   QUENTRA_PORT          TCP port on 127.0.0.1 (default 47681)
//   QUENTRA_TTYD_PORT     port reserved for the terminal web server (shown only)
//   QUENTRA_DATA_DIR      data directory (shown only)
//   QUENTRA_TMUX_SOCKET   tmux socket name, as given to "tmux -L" (default "quentra")
//   QUENTRA_APP_PATH      path of the application bundle that started us (shown only)
//   QUENTRA_APP_BUNDLE    "1" when started from the bundle
//   QUENTRA_UPDATE_URL    optional update source (shown only)
//
// Test hook: when QUENTRA_TEST_EXIT_CODE holds an integer, the process exits with that
// code QUENTRA_TEST_EXIT_AFTER_MS milliseconds (default 0) after it starts listening.
// The shell's tests use it to provoke an exit status such as 75 (update hand-off).

const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { execFile } = require('node:child_process');

const PRODUCT = 'QUENTRA';
const DEFAULT_PORT = 47681;
const TMUX_TIMEOUT_MS = 1000;

const env = process.env;

function parsePort(text, fallback) {
  if (text === undefined) return fallback;
  if (!/^\d{1,5}$/.test(text)) return NaN;
  const n = Number(text);
  return n <= 65535 ? n : NaN;
}

const config = {
  port: parsePort(env.QUENTRA_PORT, DEFAULT_PORT),
  ttydPort: env.QUENTRA_TTYD_PORT ?? '',
  dataDir: env.QUENTRA_DATA_DIR ??
    path.join(os.homedir(), 'Library', 'Application Support', PRODUCT),
  tmuxSocket: env.QUENTRA_TMUX_SOCKET ?? 'quentra',
  appPath: env.QUENTRA_APP_PATH ?? '',
  appBundle: env.QUENTRA_APP_BUNDLE === '1',
  updateUrl: env.QUENTRA_UPDATE_URL ?? '',
};

// Only loopback names are served; anything else (including DNS-rebinding names such
// as "localhost.evil.com") is refused.
const ALLOWED_HOST = /^(?:127\.0\.0\.1|localhost)(?::\d{1,5})?$/i;

function hostAllowed(host) {
  return typeof host === 'string' && ALLOWED_HOST.test(host);
}

function escapeHtml(value) {
  return String(value)
    .replace(/&/g, '&amp;')
    .replace(/</g, '&lt;')
    .replace(/>/g, '&gt;')
    .replace(/"/g, '&quot;')
    .replace(/'/g, '&#39;');
}

// Counts the sessions of the tmux server on our socket; 0 when tmux fails (no server,
// tmux missing, time-out).
function countTmuxSessions() {
  return new Promise((resolve) => {
    execFile('tmux', ['-L', config.tmuxSocket, 'list-sessions', '-F', '#{session_name}'],
      { timeout: TMUX_TIMEOUT_MS, windowsHide: true },
      (err, stdout) => {
        if (err) return resolve(0);
        resolve(String(stdout).split('\n').filter((line) => line.trim() !== '').length);
      });
  });
}

function send(res, status, type, body, extraHeaders = {}) {
  const data = Buffer.from(body, 'utf8');
  res.writeHead(status, {
    'Content-Type': type,
    'Content-Length': data.length,
    'Cache-Control': 'no-store',
    'X-Content-Type-Options': 'nosniff',
    ...extraHeaders,
  });
  res.end(data); // Node drops the body itself for HEAD requests
}

function sendJson(res, status, value, extraHeaders) {
  send(res, status, 'application/json', JSON.stringify(value), extraHeaders);
}

function renderPage(port) {
  const rows = [
    ['Port', port],
    ['Data directory', config.dataDir],
    ['tmux socket', config.tmuxSocket],
    ['Terminal port', config.ttydPort || '\u2014'],
    ['Process', process.pid],
  ];
  const table = rows.map(([k, v]) =>
    `      <tr><th>${escapeHtml(k)}</th><td>${escapeHtml(v)}</td></tr>`).join('\n');
  return `<!DOCTYPE html>
<html lang="en">
<head>
  <meta charset="utf-8">
  <meta name="viewport" content="width=device-width, initial-scale=1">
  <title>QUENTRA</title>
  <style>
    html, body { margin: 0; height: 100%; }
    body {
      background: #1c1c1e; color: #f2f2f7;
      font: 15px/1.5 -apple-system, "Helvetica Neue", Arial, sans-serif;
      display: flex; align-items: center; justify-content: center;
    }
    main { width: min(560px, 90vw); }
    h2 { font-size: 15px; color: #8e8e93; font-weight: 500; margin: 24px 0 4px; }
    pre { font: 13px ui-monospace, Menlo, monospace; white-space: pre-wrap; margin: 0; }
    h1 { font-size: 34px; letter-spacing: 0.08em; margin: 0 0 12px; font-weight: 600; }
    #status {
      display: inline-block; background: #30d158; color: #0b2e15;
      padding: 6px 16px; border-radius: 14px; font-weight: 600; margin-bottom: 24px;
    }
    table { border-collapse: collapse; width: 100%; }
    th, td { text-align: left; padding: 6px 0; border-bottom: 1px solid #3a3a3c; }
    th { color: #8e8e93; font-weight: 500; width: 40%; }
    td { font-family: ui-monospace, Menlo, monospace; word-break: break-all; }
  </style>
</head>
<body>
  <main>
    <h1>QUENTRA</h1>
    <div id="status">service running</div>
    <table>
${table}
    </table>
    <h2>Links from other apps</h2>
    <pre id="protocol"></pre>
  </main>
  <script>
    // The shell hands quentra: links to the page here; each one is shown and reported back, so
    // the service log records exactly what arrived.
    window.__handleQuentraProtocol = function (payload) {
      const line = JSON.stringify(payload);
      document.getElementById('protocol').textContent += line + '\\n';
      fetch('/api/page-event?data=' + encodeURIComponent(line));
    };
  </script>
</body>
</html>
`;
}

function pathOf(url) {
  const q = url.search(/[?#]/);
  return q === -1 ? url : url.slice(0, q);
}

async function handle(req, res, port) {
  if (!hostAllowed(req.headers.host)) {
    send(res, 403, 'text/plain; charset=utf-8', 'forbidden host\n');
    return;
  }
  if (req.method !== 'GET' && req.method !== 'HEAD') {
    sendJson(res, 405, { error: 'method not allowed' }, { Allow: 'GET, HEAD' });
    return;
  }
  switch (pathOf(req.url)) {
    case '/':
      send(res, 200, 'text/html; charset=utf-8', renderPage(port));
      return;
    case '/api/health':
      sendJson(res, 200, { product: PRODUCT, port, pid: process.pid });
      return;
    case '/api/page-event': {
      const data = new URL(req.url, 'http://127.0.0.1').searchParams.get('data');
      console.log(`page event ${data}`);
      send(res, 204, 'text/plain; charset=utf-8', '');
      return;
    }
    case '/api/tmux-keep/state': {
      const running = await countTmuxSessions();
      if (!res.destroyed) sendJson(res, 200, { running });
      return;
    }
    default:
      sendJson(res, 404, { error: 'not found' });
  }
}

function main() {
  if (Number.isNaN(config.port)) {
    console.error(`QUENTRA service: invalid QUENTRA_PORT ${JSON.stringify(env.QUENTRA_PORT)}`);
    process.exit(1);
  }

  // Host checking is done by hand so that a missing Host header gets the same 403.
  const server = http.createServer({ requireHostHeader: false });
  let port = config.port;

  server.on('request', (req, res) => {
    res.on('finish', () => {
      console.log(`${new Date().toISOString()} ${req.method} ${pathOf(req.url)} ${res.statusCode}`);
    });
    handle(req, res, port).catch((err) => {
      console.error(`QUENTRA service: request failed: ${err && err.stack || err}`);
      if (!res.headersSent) sendJson(res, 500, { error: 'internal error' });
      else res.destroy();
    });
  });

  server.on('error', (err) => {
    console.error(`QUENTRA service: cannot listen on 127.0.0.1:${config.port}: ${err.message}`);
    process.exit(1);
  });

  server.listen(port, '127.0.0.1', () => {
    port = server.address().port;
    console.log(`QUENTRA service listening on http://127.0.0.1:${port} ` +
      `(data dir ${config.dataDir}, pid ${process.pid})`);

    const code = env.QUENTRA_TEST_EXIT_CODE;
    if (code !== undefined && /^-?\d+$/.test(code)) {
      const after = Number.parseInt(env.QUENTRA_TEST_EXIT_AFTER_MS ?? '0', 10);
      setTimeout(() => {
        console.log(`QUENTRA service: test exit with code ${code}`);
        process.exit(Number(code));
      }, Number.isFinite(after) && after > 0 ? after : 0);
    }
  });

  let stopping = false;
  const stop = (signal) => {
    if (stopping) return;
    stopping = true;
    console.log(`QUENTRA service stopping on ${signal}`);
    server.close(() => process.exit(0));
    server.closeAllConnections(); // keep-alive sockets must not hold us up
    setTimeout(() => process.exit(0), 500).unref();
  };
  process.on('SIGTERM', () => stop('SIGTERM'));
  process.on('SIGINT', () => stop('SIGINT'));
}

main();
