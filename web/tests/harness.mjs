// What every browser test needs: the built page served on the loopback address by the
// same one-line server as scripts/demo --web, headless Debian chromium with every request
// off that address blocked and remembered, ztr for the reference bytes, and PPM reading.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, copyFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { before, after } from 'node:test';
import { chromium } from 'playwright-core';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const pageDir = process.env.ZENTRA_PAGE_DIR || path.join(root, 'build/web/page');
export const ztr = process.env.ZENTRA_ZTR || path.join(root, 'build/native/cli/ztr');
export const samples = path.join(root, 'data/samples');
export const testData = path.join(root, 'tests/data');

// Starts python's static server on a free loopback port; resolves to {url, stop}.
export function startServer() {
  return new Promise((resolve, reject) => {
    const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0',
      '--directory', pageDir], { stdio: ['ignore', 'pipe', 'ignore'] });
    let output = '';
    server.stdout.on('data', (chunk) => {
      output += chunk;
      const match = output.match(/port (\d+)/);
      if (match) {
        resolve({ url: `http://127.0.0.1:${match[1]}/`, stop: () => server.kill() });
      }
    });
    server.on('exit', (code) => reject(new Error(`the page server ended (${code})`)));
  });
}

// A browser page on the served page; `offsite` collects every request that went elsewhere
// (each was aborted).
export async function openPage(url) {
  const browser = await chromium.launch({
    executablePath: process.env.ZENTRA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
      '--disable-sync', '--disable-background-networking', '--disable-component-update'],
  });
  const context = await browser.newContext({ acceptDownloads: true, serviceWorkers: 'block' });
  const offsite = [];
  await context.route('**/*', (route) => {
    const requested = route.request().url();
    if (requested.startsWith(url)) {
      return route.continue();
    }
    offsite.push(requested);
    return route.abort('blockedbyclient');
  });
  const page = await context.newPage();
  context.on('request', (request) => {
    const requested = request.url();
    if (!requested.startsWith(url) && !requested.startsWith('blob:') && !requested.startsWith('data:')) {
      offsite.push(requested);
    }
  });
  page.on('websocket', (socket) => offsite.push(socket.url()));
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="yes"]');
  return { browser, page, offsite, errors };
}

// The page of a test file, served and open from before its first test to after its last:
// registers both with node:test and returns an object whose browser, page, offsite and
// errors are filled in before the first test. setUp runs once the page is open, in the same
// hook (node runs a file's top-level before hooks side by side, not one after the other);
// cleanUp runs after the browser has closed.
export function servedPage({ setUp = async () => {}, cleanUp = () => {} } = {}) {
  const served = {};
  let server;
  before(async () => {
    server = await startServer();
    Object.assign(served, await openPage(server.url));
    await setUp();
  });
  after(async () => {
    await served.browser?.close();
    server?.stop();
    cleanUp();
  });
  return served;
}

// Resolves once the page has finished the last conversion it was asked for.
export function convertSettled(page) {
  return page.waitForFunction(() =>
    document.body.dataset.convertDone === document.body.dataset.convertRequested);
}

// Runs ztr in a fresh folder holding copies of the pictures; returns {status, stderr,
// folder}. Arguments naming a picture's base name refer to its copy.
export function runZtr(args, pictures = []) {
  const folder = mkdtempSync(path.join(tmpdir(), 'zentra-web-'));
  for (const picture of pictures) {
    copyFileSync(picture, path.join(folder, path.basename(picture)));
  }
  try {
    execFileSync(ztr, args, { cwd: folder, stdio: ['ignore', 'ignore', 'pipe'] });
    return { status: 0, stderr: '', folder };
  } catch (error) {
    return { status: error.status, stderr: String(error.stderr), folder };
  }
}

export function removeFolder(folder) {
  rmSync(folder, { recursive: true, force: true });
}

// A binary PPM (P6, maxval 255) as {width, height, rgb}.
export function readPpm(file) {
  const bytes = readFileSync(file);
  const header = bytes.subarray(0, 64).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!header) {
    throw new Error(`${file} is not a binary PPM`);
  }
  return { width: Number(header[1]), height: Number(header[2]),
    rgb: bytes.subarray(header[0].length) };
}

// The canvas's pixels as RGB, for comparison with a PPM.
export async function canvasRgb(page, selector) {
  const data = await page.$eval(selector, (canvas) => {
    const { width, height } = canvas;
    const rgba = canvas.getContext('2d').getImageData(0, 0, width, height).data;
    const rgb = [];
    for (let i = 0; i < rgba.length; i += 4) {
      rgb.push(rgba[i], rgba[i + 1], rgba[i + 2]);
    }
    return { width, height, rgb };
  });
  return { width: data.width, height: data.height, rgb: Buffer.from(data.rgb) };
}
