// The lay-out view of the View tab: a record's bytes drawn as every lay-out of its size
// and depth reads them, each canvas labelled with its type code, and each equal to what
// ztr render draws of the same record with its lay-out byte changed to that lay-out.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { servedPage, runZtr, removeFolder, readPpm, canvasRgb, testData, ztr } from './harness.mjs';
import { execFileSync } from 'node:child_process';

// 10 x 3 pixels, odd and asymmetric, so that a flipped axis or a swapped bit shows.
const PICTURE = path.join(testData, 'netpbm_bits10x3_raw.pbm');
const WRITTEN = '0x10006'; // banded rows, reversed pixel order, depth 1

let converted;
const served = servedPage({
  setUp: async () => {
    converted = runZtr(['convert', '--code', WRITTEN, 'netpbm_bits10x3_raw.pbm'], [PICTURE]);
    assert.equal(converted.status, 0, converted.stderr);
  },
  cleanUp: () => converted && removeFolder(converted.folder),
});

test('layouts: every lay-out of depth 1 drawn as ztr renders the record re-labelled', async () => {
  const file = path.join(converted.folder, 'netpbm_bits10x3_raw.ztr');
  await served.page.click('#tab-view');
  await served.page.setInputFiles('#ztr-input', file);
  await served.page.waitForSelector('#record-list li');
  await served.page.check('input[name="view-zoom"][value="1"]');
  await served.page.check('#view-layouts');
  await served.page.waitForSelector('#layout-grid canvas');

  const codes = await served.page.$$eval('#layout-grid canvas', (canvases) => canvases.map((c) => c.dataset.code));
  const expected = [];
  for (let layout = 0; layout < 0x20; ++layout) {
    if ((layout & 0x08) === 0) {
      expected.push(`0x${(0x10000 | layout).toString(16)}`);
    }
  }
  assert.deepEqual(codes, expected);
  assert.deepEqual(await served.page.$$eval('#layout-grid figure.own figcaption', (c) => c.map((x) => x.textContent)),
    [`${WRITTEN} (as written)`]);

  const bytes = readFileSync(file);
  let differing = 0;
  for (const code of codes) {
    const relabelled = Buffer.from(bytes);
    relabelled[6] = (relabelled[6] & ~0x1f) | (Number(code) & 0x1f);
    const relabelledFile = path.join(converted.folder, `as-${code}.ztr`);
    const rendered = path.join(converted.folder, `as-${code}.ppm`);
    writeFileSync(relabelledFile, relabelled);
    execFileSync(ztr, ['render', relabelledFile, '0', '-o', rendered]);
    const reference = readPpm(rendered);
    const shown = await canvasRgb(served.page, `#layout-grid canvas[data-code="${code}"]`);
    assert.equal(shown.width, reference.width, code);
    assert.equal(shown.height, reference.height, code);
    assert.deepEqual(shown.rgb, Buffer.from(reference.rgb), code);
    differing += code === WRITTEN ? 0 : Number(!shown.rgb.equals(
      (await canvasRgb(served.page, `#layout-grid canvas[data-code="${WRITTEN}"]`)).rgb));
  }
  // The picture is asymmetric enough that most other lay-outs read it differently.
  assert.ok(differing >= 12, `${differing} lay-outs differ from the written one`);

  await served.page.uncheck('#view-layouts');
  assert.equal(await served.page.$$eval('#layout-grid canvas', (c) => c.length), 0);
});

test('layouts: no request left the page\'s own address, no script error', () => {
  assert.deepEqual(served.offsite, []);
  assert.deepEqual(served.errors, []);
});
