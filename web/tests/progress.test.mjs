// A long conversion runs in the page's worker: it shows how far it has got, the page
// answers meanwhile, Cancel stops it and leaves nothing to download, and the next
// conversion runs in a fresh worker and is written whole.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { servedPage, convertSettled, removeFolder, samples } from './harness.mjs';

const FRAMES = 48;
const WIDTH = 641;
const HEIGHT = 479;

// Frame k of a grey animation: a diagonal ramp with a dark bar that moves to the right,
// so that every delta record has a rectangle of its own.
function framePgm(k) {
  const header = Buffer.from(`P5\n${WIDTH} ${HEIGHT}\n255\n`);
  const pixels = Buffer.alloc(WIDTH * HEIGHT);
  for (let y = 0; y < HEIGHT; ++y) {
    for (let x = 0; x < WIDTH; ++x) {
      const bar = Math.abs(x - k * 13) < 9;
      pixels[y * WIDTH + x] = bar ? 12 : (x * 3 + y * 5) % 256;
    }
  }
  return Buffer.concat([header, pixels]);
}

const folder = mkdtempSync(path.join(tmpdir(), 'zentra-progress-'));
const frames = [];
for (let k = 0; k < FRAMES; ++k) {
  const file = path.join(folder, `frame${String(k).padStart(2, '0')}.pgm`);
  writeFileSync(file, framePgm(k));
  frames.push(file);
}

const served = servedPage({ cleanUp: () => removeFolder(folder) });

const settled = () => convertSettled(served.page);

const progressText = () => served.page.textContent('#convert-progress-text');

test('progress: a long animation shows its progress, the page answers, Cancel stops it', async () => {
  await served.page.selectOption('#opt-dither', 'floyd-steinberg');
  for (const type of ['ssd1306', 'grey8', 'st7735']) {
    await served.page.check(`#type-list input[value="${type}"]`);
  }
  await served.page.setInputFiles('#picture-input', frames);
  await served.page.waitForSelector('#convert-progress:not([hidden])');

  // The frames counted are those of one display type's sequence: every picture and the
  // closing frame.
  await served.page.waitForFunction(() => /^Frame [1-9]\d* of \d+ of display type \d of 3$/
    .test(document.getElementById('convert-progress-text').textContent));
  const first = await progressText();
  assert.match(first, new RegExp(`of ${FRAMES + 1} of display type`));
  await served.page.waitForFunction((before) =>
    document.getElementById('convert-progress-text').textContent !== before, first);
  const bar = await served.page.$eval('#convert-progress-bar', (b) => b.value);
  assert.ok(bar > 0 && bar < 1, `the bar stands at ${bar}`);

  // The page answers while the worker converts: the type search filters the list at once.
  await served.page.fill('#type-search', 'st7735');
  const meanwhile = await served.page.evaluate(() => ({
    types: [...document.querySelectorAll('#type-list input')].map((box) => box.value),
    converting: !document.getElementById('convert-progress').hidden,
  }));
  assert.ok(meanwhile.types.length >= 1 && meanwhile.types.every((name) => name.includes('st7735')),
    meanwhile.types.join(' '));
  assert.equal(meanwhile.converting, true);

  await served.page.click('#convert-cancel');
  await settled();
  assert.equal(await served.page.$eval('#convert-progress', (box) => box.hidden), true);
  assert.deepEqual(await served.page.$$eval('#convert-messages p', (lines) => lines.map((l) => l.textContent)),
    ['The conversion was cancelled.']);
  assert.equal(await served.page.$$eval('#convert-downloads button', (b) => b.length), 0);

  // The next conversion starts a new worker and writes its file.
  await served.page.click('#picture-clear');
  await served.page.setInputFiles('#picture-input', [path.join(samples, 'mono_128x64.bmp')]);
  await settled();
  assert.deepEqual(await served.page.$$eval('#convert-messages p', (lines) => lines.map((l) => l.textContent)), []);
  assert.equal(await served.page.$$eval('#convert-downloads button[data-file="mono_128x64.ztr"]', (b) => b.length), 1);
});

test('progress: no request left the page\'s own address, no script error', () => {
  assert.deepEqual(served.offsite, []);
  assert.deepEqual(served.errors, []);
});
