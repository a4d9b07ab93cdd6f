// The Convert tab against ztr convert: the same pictures, display types and options must
// give the same bytes; a picture the engine refuses shows the engine's own message, the
// page goes on working, and nothing is ever requested from another address.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync, mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { execFileSync, spawnSync } from 'node:child_process';
import { servedPage, convertSettled, runZtr, removeFolder, readPpm, samples, testData, ztr } from './harness.mjs';

const sample = (name) => path.join(samples, name);
const data = (name) => path.join(testData, name);

// A GIMP palette file that both the page and ztr read.
const paletteFolder = mkdtempSync(path.join(tmpdir(), 'zentra-palette-'));
const PALETTE_FILE = path.join(paletteFolder, 'signs.gpl');
writeFileSync(PALETTE_FILE, 'GIMP Palette\nName: signs\n#\n 20  40  60 slate\n250 250 240 paper\n200  30  30\n 30 160  60\n');

// Each case: pictures in order, display types ({code} for a raw type code) in order, and
// the tone options as ztr's --KEY VALUE words.
const CASES = [
  { title: 'a 1-bit bitmap for two lay-outs', pictures: [sample('mono_128x64.bmp')],
    types: ['ssd1306', 'st7920'] },
  { title: 'a grey gradient at four depths, Floyd-Steinberg', pictures: [sample('grey_gradient_75x33.pgm')],
    types: ['ssd1322', 'uc1610', 'grey8', 'banded_columns'], options: { dither: 'floyd-steinberg' } },
  { title: 'a colour-table bitmap by luminance, automatic threshold, inverted',
    pictures: [sample('colours_61x37.bmp')], types: ['led_columns_reversed'],
    options: { tone: 'luminance', threshold: 'auto', invert: '1' } },
  { title: 'resized, fitted, rotated and mirrored on black', pictures: [sample('palette_67x41.bmp')],
    types: ['epaper_bottom_up', 'grey4_banded_rows'],
    options: { resize: '40x30', fit: 'cover', rotate: '90', mirror: 'xy', background: 'black' } },
  { title: 'a threshold and a raw type code', pictures: [sample('shapes_84x48.pbm')],
    types: [{ code: '0x10006' }, 'pcd8544'], options: { threshold: '90' } },
  { title: 'five frames as an animation with a delay',
    pictures: [0, 1, 2, 3, 4].map((i) => sample(`anim_${i}.pgm`)),
    types: ['ssd1306', 'grey8_columns'], animation: true, delay: '100' },
  { title: 'a GIF animation with its own delays, Bayer dithering', pictures: [data('im_anim9x7.gif')],
    types: ['ssd1306', 'grey2'], animation: true, options: { dither: 'bayer4' } },
  { title: 'pictures of other formats, one file each',
    pictures: [data('im_colour7x5_rgb.png'), data('netpbm_colour7x5.tga'), data('im_grey7x5.jpg')],
    types: ['grey4_columns'], animation: false, options: { resize: '9x6', fit: 'stretch' } },
  { title: 'a colour animation at 16 and 24 bits in both byte orders, dithered',
    pictures: [0, 1, 2].map((i) => sample(`colour_anim_${i}.png`)),
    types: ['st7735', 'ili9488', 'st7789_columns', 'rgb565_le', 'rgb888_le'], animation: true,
    delay: '40', options: { dither: 'floyd-steinberg' } },
  { title: 'a photo at 16 and 24 bits, resized, inverted', pictures: [sample('photo_43x29.png')],
    types: ['ili9341', 'ili9341_18bit', 'ssd1306'],
    options: { resize: '31x20', fit: 'contain', invert: '1', background: 'black' } },
  { title: 'a photo in a built-in palette, Floyd-Steinberg, packed, planar and 16-bit',
    pictures: [sample('photo_43x29.png')], types: ['ssd1680_bwr', { code: '0x20000' }, { code: '0x8000B' }, 'st7735'],
    options: { palette: 'bwr', dither: 'floyd-steinberg' } },
  { title: 'colour e-paper profiles in their own palettes, Bayer dithering',
    pictures: [sample('photo_43x29.png')], types: ['ssd1680_bwr', 'uc8151_bwy', 'spectra6', 'acep7'],
    options: { dither: 'bayer8' } },
  { title: 'colour e-paper matched half way to the colours its panels show, Floyd-Steinberg',
    pictures: [sample('photo_43x29.png')], types: ['acep7', 'ssd1680_bwr'],
    options: { saturation: '0.5', dither: 'floyd-steinberg' } },
  { title: 'an animation in one adaptive palette of 16 colours',
    pictures: [0, 1, 2].map((i) => sample(`colour_anim_${i}.png`)), types: ['grey8', 'ssd1322', 'st7735'],
    animation: true, delay: '40', options: { colours: '16' } },
  { title: 'a palette file', pictures: [sample('colours_61x37.bmp')], types: [{ code: '0x40008' }, 'grey8'],
    options: { palette: PALETTE_FILE } },
  { title: 'an animation in the smaller coding of each record',
    pictures: [0, 1, 2, 3, 4].map((i) => sample(`anim_${i}.pgm`)),
    types: ['ssd1306', 'grey8_columns', 'st7735'], animation: true, delay: '50',
    options: { coding: 'auto' } },
  { title: 'an OLED\'s own black margins and a TFT\'s white ones', pictures: [sample('photo_43x29.png')],
    types: ['ssd1306', 'ssd1322', 'st7735'], options: { resize: '60x29' } },
  { title: 'a photo squash coded at every depth', pictures: [sample('photo_43x29.png')],
    types: ['ssd1306', 'uc1610', 'ssd1322', 'grey8', 'st7735', 'ili9488'],
    options: { coding: 'squash' } },
];

// Pictures the engine refuses; each must show what ztr prints on standard error.
// Each with the outcome the engine gives the page for it, which marks the picture refused.
const REFUSED = [
  { name: 'text.pgm', bytes: Buffer.from('this is not a picture\n'), outcome: 'invalidPnmImage' },
  { name: 'cut.png', bytes: readFileSync(data('im_grey7x5.png')).subarray(0, 40), outcome: 'notValidPicture' },
  { name: 'empty.bmp', bytes: Buffer.alloc(0), outcome: 'unsupportedFormat' },
];

const served = servedPage({ cleanUp: () => removeFolder(paletteFolder) });

function ztrArgs(c) {
  const args = ['convert'];
  if (c.animation) {
    args.push('--animation');
  }
  if (c.delay !== undefined) {
    args.push('--delay', c.delay);
  }
  for (const [key, value] of Object.entries(c.options || {})) {
    args.push(...(key === 'invert' ? ['--invert'] : [`--${key}`, value]));
  }
  for (const type of c.types) {
    args.push(...(typeof type === 'string' ? ['--type', type] : ['--code', type.code]));
  }
  return [...args, ...c.pictures.map((p) => path.basename(p))];
}

// Adds pictures and waits until the page lists them (it reads them asynchronously).
async function addPictures(pictures) {
  await served.page.setInputFiles('#picture-input', pictures);
  await served.page.waitForFunction((count) =>
    document.querySelectorAll('#picture-list li').length === count, pictures.length);
}

const settled = () => convertSettled(served.page);

async function setNumber(selector, value) {
  await served.page.fill(selector, value);
  await served.page.dispatchEvent(selector, 'change');
}

// Sets one option on the page the way a user does.
async function setOption(key, value) {
  if (key === 'invert') {
    await served.page.setChecked('#opt-invert', value === '1');
  } else if (key === 'threshold' && value === 'auto') {
    await served.page.setChecked('#opt-auto-threshold', true);
  } else if (key === 'threshold') {
    await setNumber('#opt-threshold', value);
  } else if (key === 'palette' && value.includes(path.sep)) {
    await served.page.selectOption('#opt-palette', 'file');
    await served.page.setInputFiles('#palette-file', value);
  } else if (key === 'saturation') {
    await setNumber('#opt-saturation', value);
  } else if (key === 'colours') {
    await served.page.selectOption('#opt-palette', 'adaptive');
    await setNumber('#opt-colours', value);
  } else if (key === 'resize') {
    const [width, height] = value.split('x');
    await setNumber('#opt-width', width);
    await setNumber('#opt-height', height);
  } else {
    await served.page.selectOption(`#opt-${key}`, value);
  }
}

async function freshPage() {
  await served.page.reload();
  await served.page.waitForSelector('body[data-ready="yes"]');
}

async function chooseTypes(types) {
  for (const type of types) {
    if (typeof type === 'string') {
      await served.page.check(`#type-list input[value="${type}"]`);
    } else {
      await served.page.fill('#type-code', type.code);
      await served.page.click('#type-code-add');
    }
  }
}

async function download(name) {
  const [file] = await Promise.all([
    served.page.waitForEvent('download'),
    served.page.click(`#convert-downloads button[data-file="${name}"]`),
  ]);
  return readFileSync(await file.path());
}

// Each listed picture's outcome from the last conversion, and whether it is marked refused.
async function pictureMarks() {
  return served.page.$$eval('#picture-list li', (items) =>
    items.map((item) => [item.dataset.outcome ?? null, item.classList.contains('refused')]));
}

async function pageMessages() {
  return served.page.$$eval('#convert-messages p', (lines) => lines.map((line) => line.textContent));
}

for (const c of CASES) {
  test(`convert: ${c.title}`, async () => {
    await freshPage();
    for (const [key, value] of Object.entries(c.options || {})) {
      await setOption(key, value);
    }
    await addPictures(c.pictures);
    await served.page.setChecked('#opt-animation', Boolean(c.animation));
    if (c.delay !== undefined) {
      await setNumber('#opt-delay', c.delay);
    }
    await chooseTypes(c.types);
    await settled();
    assert.deepEqual(await pageMessages(), []);

    const reference = runZtr(ztrArgs(c), c.pictures);
    try {
      assert.equal(reference.status, 0, reference.stderr);
      const firsts = c.animation ? [c.pictures[0]] : c.pictures;
      for (const picture of firsts) {
        const name = path.basename(picture).replace(/\.[^.]*$/, '.ztr');
        const expected = readFileSync(path.join(reference.folder, name));
        assert.ok((await download(name)).equals(expected), `${name} differs from ztr's`);
      }
      const shown = await served.page.$$eval('#preview canvas', (canvases) => canvases.length);
      assert.ok(shown > 0, 'the preview shows the written records');
    } finally {
      removeFolder(reference.folder);
    }
  });
}

test('convert: the C header is the one ztr export writes', async () => {
  await freshPage();
  const picture = sample('shapes_84x48.pbm');
  await addPictures([picture]);
  await chooseTypes(['pcd8544', 'grey2']);
  await settled();
  const reference = runZtr(['convert', '--type', 'pcd8544', '--type', 'grey2', 'shapes_84x48.pbm'], [picture]);
  try {
    const exported = runZtr(['export', path.join(reference.folder, 'shapes_84x48.ztr'), '-o',
      path.join(reference.folder, 'shapes_84x48.h')]);
    removeFolder(exported.folder);
    assert.equal(exported.status, 0, exported.stderr);
    const expected = readFileSync(path.join(reference.folder, 'shapes_84x48.h'));
    assert.ok((await download('shapes_84x48.h')).equals(expected));
  } finally {
    removeFolder(reference.folder);
  }
});

for (const refused of REFUSED) {
  test(`convert: a refused picture (${refused.name}) shows the engine's message and the page goes on`, async () => {
    await freshPage();
    const folder = mkdtempSync(path.join(tmpdir(), 'zentra-refused-'));
    const file = path.join(folder, refused.name);
    writeFileSync(file, refused.bytes);
    try {
      await addPictures([file]);
      await chooseTypes(['ssd1306']);
      await settled();
      const reference = runZtr(['convert', '--type', 'ssd1306', refused.name], [file]);
      removeFolder(reference.folder);
      assert.equal(reference.status, 1);
      // A message of two lines (the engine's line, then the file and the cause) is one box.
      const shown = (await pageMessages()).flatMap((message) => message.split('\n'));
      assert.deepEqual(shown, reference.stderr.trimEnd().split('\n'));
      assert.equal(await served.page.$$eval('#convert-downloads button', (b) => b.length), 0);
      assert.deepEqual(await pictureMarks(), [[refused.outcome, true]]);

      await served.page.click('#picture-clear');
      await addPictures([sample('mono_128x64.bmp')]);
      await settled();
      assert.deepEqual(await pageMessages(), []);
      assert.deepEqual(await pictureMarks(), [[null, false]]);
      assert.equal((await download('mono_128x64.ztr')).length > 0, true);
    } finally {
      removeFolder(folder);
    }
  });
}

// A code that makes no records is refused as ztr refuses it on its command line, and is
// not taken into the chosen types.
test('convert: a type code of a depth without records is refused with ztr\'s reason', async () => {
  await freshPage();
  const picture = sample('shapes_84x48.pbm');
  await addPictures([picture]);
  await chooseTypes([{ code: '0x30000' }]);
  await settled();
  const reference = runZtr(['convert', '--code', '0x30000', 'shapes_84x48.pbm'], [picture]);
  removeFolder(reference.folder);
  assert.equal(reference.status, 2);
  const refusal = reference.stderr.split('\n')[0].replace(/^ztr: /, '');
  assert.deepEqual(await pageMessages(), [refusal]);
  assert.equal(await served.page.$$eval('#chosen-types li', (items) => items.length), 0);
});

// A picture the browser cannot read (gone or locked since it was chosen): the engine's line
// for a file it cannot open, and the browser's reason on the line after it.
test('convert: a picture the browser cannot read shows ztr\'s line and the reason', async () => {
  await freshPage();
  await served.page.evaluate(() => {
    const read = File.prototype.arrayBuffer;
    File.prototype.arrayBuffer = function arrayBuffer() {
      return this.name === 'anim_1.pgm'
        ? Promise.reject(new DOMException('The requested file could not be read.', 'NotReadableError'))
        : read.call(this);
    };
  });
  await served.page.setInputFiles('#picture-input', [sample('anim_0.pgm'), sample('anim_1.pgm')]);
  await served.page.waitForSelector('#convert-messages p');
  await settled();
  assert.deepEqual(await pageMessages(),
    ["ERROR: failed to open file 'anim_1.pgm' for reading\n  The requested file could not be read."]);
  assert.equal(await served.page.$$eval('#picture-list li', (items) => items.length), 1);
});

// Pictures of an animation with delays of their own (empty: the common delay): the
// records' delays as ztr lists them. Each delta record carries the delay of the picture
// it completes; the closing one the first picture's.
const OWN_DELAYS = [
  { own: ['40', '', '250'], common: '70', listed: [70, 250, 40] },
  { own: ['', '', '0'], common: '', listed: [0, 0, 0] },
  { own: ['65535', '1', ''], common: '9', listed: [1, 9, 65535] },
];

for (const { own, common, listed } of OWN_DELAYS) {
  test(`convert: pictures' own delays ${JSON.stringify(own)} over ${common || 'none'}`, async () => {
    await freshPage();
    await addPictures([0, 1, 2].map((i) => sample(`anim_${i}.pgm`)));
    await chooseTypes(['ssd1306']);
    await setNumber('#opt-delay', common);
    const fields = await served.page.$$('#picture-list .frame-delay');
    for (let i = 0; i < own.length; ++i) {
      await fields[i].fill(own[i]);
      await fields[i].dispatchEvent('change');
    }
    await settled();
    assert.deepEqual(await pageMessages(), []);
    const folder = mkdtempSync(path.join(tmpdir(), 'zentra-delays-'));
    try {
      const file = path.join(folder, 'anim_0.ztr');
      writeFileSync(file, await download('anim_0.ztr'));
      const lines = execFileSync(ztr, ['list', file]).toString().trimEnd().split('\n');
      const delays = lines.slice(1).map((line) => Number(line.match(/delta frame (\d+)ms/)[1]));
      assert.deepEqual(delays, listed);
    } finally {
      removeFolder(folder);
    }
  });
}

// Delays outside the 16-bit field reach the engine, which refuses them; others stay on the page.
const DELAYS = [
  { delay: '65536', message: 'ERROR: the delay must be between 0 and 65535 ms' },
  { delay: '-3', message: 'ERROR: the delay must be between 0 and 65535 ms' },
  { delay: '99999999999', message: 'ERROR: the delay must be between 0 and 65535 ms' },
  { delay: '2.5', message: 'The delay is a whole number of milliseconds.' },
];

for (const { delay, message } of DELAYS) {
  test(`convert: a delay of ${delay} is refused with a message`, async () => {
    await freshPage();
    await addPictures([sample('anim_0.pgm'), sample('anim_1.pgm')]);
    await chooseTypes(['ssd1306']);
    await setNumber('#opt-delay', delay);
    await settled();
    assert.deepEqual(await pageMessages(), [message]);
    await setNumber('#opt-delay', '65535');
    await settled();
    assert.deepEqual(await pageMessages(), []);
  });
}

// The page's option lists and limits come from the engine module, from the same tables
// as ztr's help and messages: the dithering methods and built-in palettes in their order,
// the delay and side limits, the default threshold.
test('convert: the option lists and limits come from the engine, as ztr names them', async () => {
  await freshPage();
  const help = execFileSync(ztr, ['--help'], { encoding: 'utf8' });
  const dithers = await served.page.$$eval('#opt-dither option', (options) =>
    options.map((o) => [o.value, o.textContent]));
  assert.deepEqual(dithers.map(([word]) => word), help.match(/^ {2}--dither (\S+)$/m)[1].split('|'));
  const words = await served.page.evaluate(async () => (await import('./engine.js')).engineWords());
  assert.deepEqual(dithers.map(([, label]) => label), words.dithers.map((method) => method.label));
  const paletteHelp = help.slice(help.indexOf('--palette'), help.indexOf('--colours')).replace(/\s+/g, ' ');
  const names = paletteHelp.match(/in index order: (.*?), #RRGGBB/)[1].split(', ');
  const palettes = await served.page.$$eval('#opt-palette option', (options) => options.map((o) => o.value));
  assert.deepEqual(palettes, ['', ...names, 'adaptive', 'file']);
  assert.equal(await served.page.$eval('#opt-palette option[value="bwry"]', (o) => o.textContent),
    'bwry: black, white, red, yellow');
  assert.equal(await served.page.inputValue('#opt-threshold'), help.match(/grey N \(default (\d+)\)/)[1]);
  assert.equal(await served.page.getAttribute('#opt-delay', 'max'), help.match(/0 to (\d+) \(default 0\)/)[1]);
  const refusal = spawnSync(ztr, ['convert', '--resize', '0x1', '--code', '0x10000', 'x.pbm'], { encoding: 'utf8' });
  const side = refusal.stderr.match(/each side 1 to (\d+)/)[1];
  assert.equal(await served.page.getAttribute('#opt-width', 'max'), side);
  assert.equal(await served.page.getAttribute('#opt-height', 'max'), side);
  const accepted = (await served.page.getAttribute('#picture-input', 'accept')).split(',');
  for (const extension of ['.bmp', '.dib', '.png', '.gif', '.jpg', '.jpeg', '.jpe', '.tga', '.pbm', '.pgm', '.ppm', '.pnm', 'image/*']) {
    assert.ok(accepted.includes(extension), extension);
  }
});

// The preview's Play: every previewed sequence plays at once, each in the engine's order
// with its full frame again after its last record, each frame as ztr render --buildup
// draws it at the preview's zoom and inversion, under a caption naming the record.
test('convert: the preview plays every sequence at once, built up, and loops', async () => {
  await freshPage();
  await served.page.check('input[name="convert-zoom"][value="2"]');
  await served.page.setChecked('#convert-invert-view', true);
  const pictures = [0, 1, 2, 3, 4].map((i) => sample(`anim_${i}.pgm`));
  await addPictures(pictures);
  await setNumber('#opt-delay', '30');
  await chooseTypes(['ssd1306', 'grey8_columns']);
  await settled();
  assert.deepEqual(await served.page.$$eval('#preview canvas', (canvases) =>
    canvases.map((canvas) => [canvas.dataset.record, canvas.width])), [['0', 194], ['6', 194]]);

  // Every frame each canvas shows while playing: its record, caption and pixels.
  await served.page.evaluate(() => {
    window.previewFrames = {};
    for (const canvas of document.querySelectorAll('#preview canvas')) {
      const frames = [];
      window.previewFrames[canvas.dataset.record] = frames;
      new MutationObserver(() => {
        const { width, height } = canvas;
        const rgba = canvas.getContext('2d').getImageData(0, 0, width, height).data;
        const rgb = [];
        for (let i = 0; i < rgba.length; i += 4) {
          rgb.push(rgba[i], rgba[i + 1], rgba[i + 2]);
        }
        frames.push({ index: Number(canvas.dataset.shown), width, height, rgb,
          caption: canvas.nextElementSibling.textContent });
      }).observe(canvas, { attributes: true, attributeFilter: ['data-shown'] });
    }
  });
  await served.page.click('#convert-play');
  await served.page.waitForFunction(() =>
    Object.values(window.previewFrames).every((frames) => frames.length >= 8));
  await served.page.click('#convert-play');
  assert.equal(await served.page.textContent('#convert-play'), 'Play');
  const played = await served.page.evaluate(() => Object.fromEntries(Object.entries(window.previewFrames)
    .map(([start, frames]) => [start, frames.slice(0, 8)])));

  const reference = runZtr(['convert', '--animation', '--delay', '30', '--type', 'ssd1306',
    '--type', 'grey8_columns', ...pictures.map((p) => path.basename(p))], pictures);
  try {
    assert.equal(reference.status, 0, reference.stderr);
    const file = path.join(reference.folder, 'anim_0.ztr');
    const listed = execFileSync(ztr, ['list', file]).toString().trimEnd().split('\n');
    // Records 0-5 and 6-11: each display type's full frame and five delta records, the
    // last leading back to the first picture.
    assert.deepEqual(played['0'].map((f) => f.index), [0, 1, 2, 3, 4, 5, 0, 1]);
    assert.deepEqual(played['6'].map((f) => f.index), [6, 7, 8, 9, 10, 11, 6, 7]);
    for (const frames of Object.values(played)) {
      for (const frame of frames) {
        const out = path.join(reference.folder, `frame-${frame.index}.ppm`);
        execFileSync(ztr, ['render', file, String(frame.index), '--buildup', '--zoom', '2',
          '--invert', '-o', out]);
        const expected = readPpm(out);
        assert.deepEqual([frame.width, frame.height], [expected.width, expected.height]);
        assert.ok(Buffer.from(frame.rgb).equals(expected.rgb), `record ${frame.index} differs`);
        assert.equal(frame.caption, `anim_0.ztr #${frame.index}: ${listed[frame.index]}`);
      }
      const distinct = new Set(frames.slice(0, 5).map((f) => Buffer.from(f.rgb).toString('base64')));
      assert.equal(distinct.size, 5, 'the frames change');
    }
  } finally {
    removeFolder(reference.folder);
  }
});

test('convert: no request left the page\'s own address, no script error', () => {
  assert.deepEqual(served.offsite, []);
  assert.deepEqual(served.errors, []);
});
