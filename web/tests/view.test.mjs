// The View tab against ztr list and ztr render: the record list reads as ztr lists it, the
// canvas holds what ztr renders (built up, inverted, zoomed), and playing an animation
// shows its frames in order.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { servedPage, runZtr, removeFolder, readPpm, canvasRgb, samples, ztr } from './harness.mjs';

const anim = [0, 1, 2, 3, 4].map((i) => path.join(samples, `anim_${i}.pgm`));

// Files made by ztr once for all cases.
const FILES = {
  anim: { args: ['convert', '--animation', '--delay', '100', '--type', 'ssd1306', '--type',
    'grey8_columns', ...anim.map((p) => path.basename(p))], pictures: anim, name: 'anim_0.ztr' },
  grey: { args: ['convert', '--type', 'ssd1322', '--type', 'uc1610', '--type', 'grey2_banded_columns',
    '--type', 'ssd1306_flipped', 'grey_gradient_75x33.pgm'],
  pictures: [path.join(samples, 'grey_gradient_75x33.pgm')], name: 'grey_gradient_75x33.ztr' },
  colour: { args: ['convert', '--type', 'st7735', '--type', 'ili9488', '--type', 'st7789_columns',
    '--type', 'rgb888_le', 'photo_43x29.png'],
  pictures: [path.join(samples, 'photo_43x29.png')], name: 'photo_43x29.ztr' },
  // The same two files with each record in the smaller coding: they must show exactly
  // what the run-length files above show.
  animAuto: { args: ['convert', '--coding', 'auto', '--animation', '--delay', '100', '--type',
    'ssd1306', '--type', 'grey8_columns', ...anim.map((p) => path.basename(p))], pictures: anim,
  name: 'anim_0.ztr', same: 'anim' },
  colourAuto: { args: ['convert', '--coding', 'auto', '--type', 'st7735', '--type', 'ili9488',
    '--type', 'st7789_columns', '--type', 'rgb888_le', 'photo_43x29.png'],
  pictures: [path.join(samples, 'photo_43x29.png')], name: 'photo_43x29.ztr', same: 'colour' },
};

// Which record, and how it is shown.
const CASES = [
  { file: 'grey', index: 0, zoom: 1 },
  { file: 'grey', index: 1, zoom: 2, invert: true },
  { file: 'grey', index: 2, zoom: 4 },
  { file: 'grey', index: 3, zoom: 1 },
  { file: 'anim', index: 3, zoom: 1, buildUp: false },
  { file: 'anim', index: 3, zoom: 2, buildUp: true },
  { file: 'anim', index: 9, zoom: 4, buildUp: true, invert: true },
  { file: 'colour', index: 0, zoom: 1 },
  { file: 'colour', index: 1, zoom: 2 },
  { file: 'colour', index: 2, zoom: 1, invert: true },
  { file: 'colour', index: 3, zoom: 4 },
];

const made = {};
const served = servedPage({
  setUp: async () => {
    for (const [key, file] of Object.entries(FILES)) {
      const result = runZtr(file.args, file.pictures);
      assert.equal(result.status, 0, result.stderr);
      made[key] = { folder: result.folder, path: path.join(result.folder, file.name) };
    }
    await served.page.click('#tab-view');
  },
  cleanUp: () => Object.values(made).forEach((file) => removeFolder(file.folder)),
});

async function open(key) {
  await served.page.$eval('#view-canvas', (canvas) => delete canvas.dataset.record);
  await served.page.setInputFiles('#ztr-input', made[key].path);
  await served.page.waitForFunction(() => document.querySelector('#view-canvas').dataset.record === '0');
}

function rendered(key, index, { buildUp = false, invert = false, zoom = 1 }) {
  const out = path.join(made[key].folder, `render-${index}.ppm`);
  const args = ['render', made[key].path, String(index), '--zoom', String(zoom), '-o', out];
  execFileSync(ztr, [...args, ...(buildUp ? ['--buildup'] : []), ...(invert ? ['--invert'] : [])]);
  return readPpm(out);
}

test('view: the record list reads as ztr list prints it', async () => {
  for (const key of Object.keys(FILES)) {
    await open(key);
    const expected = execFileSync(ztr, ['list', made[key].path]).toString().trimEnd().split('\n');
    const listed = await served.page.$$eval('#record-list li', (items) => items.map((i) => i.textContent));
    assert.deepEqual(listed, expected);
  }
});

for (const c of CASES) {
  const how = `zoom ${c.zoom}${c.invert ? ', inverted' : ''}${c.buildUp ? ', built up' : ''}`;
  test(`view: ${c.file} record ${c.index} (${how}) is drawn as ztr renders it`, async () => {
    await open(c.file);
    await served.page.setChecked('#view-buildup', Boolean(c.buildUp));
    await served.page.setChecked('#view-invert', Boolean(c.invert));
    await served.page.check(`input[name="view-zoom"][value="${c.zoom}"]`);
    await served.page.click(`#record-list li[data-index="${c.index}"]`);
    await served.page.waitForFunction((index) =>
      document.querySelector('#view-canvas').dataset.record === String(index), c.index);
    const expected = rendered(c.file, c.index, c);
    const shown = await canvasRgb(served.page, '#view-canvas');
    assert.deepEqual([shown.width, shown.height], [expected.width, expected.height]);
    assert.ok(shown.rgb.equals(expected.rgb), 'the canvas differs from ztr render');
  });
}

// Files in the smaller coding of each record show every record, built up or not, exactly
// as the run-length files of the same pictures show it.
for (const key of Object.keys(FILES).filter((k) => FILES[k].same)) {
  test(`view: ${key} draws every record as the run-length file does`, async () => {
    await open(key);
    await served.page.setChecked('#view-invert', false);
    await served.page.check('input[name="view-zoom"][value="1"]');
    const records = await served.page.$$eval('#record-list li', (items) => items.length);
    assert.ok(records > 0);
    for (const buildUp of [false, true]) {
      await served.page.setChecked('#view-buildup', buildUp);
      for (let index = 0; index < records; ++index) {
        await served.page.click(`#record-list li[data-index="${index}"]`);
        await served.page.waitForFunction((i) =>
          document.querySelector('#view-canvas').dataset.record === String(i), index);
        const expected = rendered(FILES[key].same, index, { buildUp });
        const shown = await canvasRgb(served.page, '#view-canvas');
        assert.ok(shown.rgb.equals(expected.rgb), `record ${index} differs${buildUp ? ', built up' : ''}`);
      }
    }
  });
}

test('view: playing shows the sequence built up, in order, then its full frame again', async () => {
  await open('anim');
  await served.page.check('input[name="view-zoom"][value="1"]');
  await served.page.setChecked('#view-invert', false);
  // Every frame drawn while playing, as its record index and pixels.
  await served.page.evaluate(() => {
    const canvas = document.querySelector('#view-canvas');
    window.playedFrames = [];
    new MutationObserver(() => {
      const { width, height } = canvas;
      const rgba = canvas.getContext('2d').getImageData(0, 0, width, height).data;
      const rgb = [];
      for (let i = 0; i < rgba.length; i += 4) {
        rgb.push(rgba[i], rgba[i + 1], rgba[i + 2]);
      }
      window.playedFrames.push({ index: Number(canvas.dataset.record), rgb });
    }).observe(canvas, { attributes: true, attributeFilter: ['data-record'] });
  });
  await served.page.click('#view-play');
  await served.page.waitForFunction(() => window.playedFrames.length >= 8);
  await served.page.click('#view-play');
  const played = await served.page.evaluate(() => window.playedFrames.slice(0, 8));
  // Records 0-5 are the first display type's sequence: a full frame and five deltas,
  // the last leading back to the first picture.
  assert.deepEqual(played.map((f) => f.index), [0, 1, 2, 3, 4, 5, 0, 1]);
  for (const frame of played) {
    const expected = rendered('anim', frame.index, { buildUp: true });
    assert.ok(Buffer.from(frame.rgb).equals(expected.rgb), `frame ${frame.index} differs`);
  }
  const distinct = new Set(played.slice(0, 5).map((f) => Buffer.from(f.rgb).toString('base64')));
  assert.equal(distinct.size, 5, 'the frames change');
});

test('view: no request left the page\'s own address, no script error', () => {
  assert.deepEqual(served.offsite, []);
  assert.deepEqual(served.errors, []);
});
